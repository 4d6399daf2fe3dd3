#include "host/json/JsonWriter.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace ofxhost {

std::string JsonWriter::quote(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (byte < 0x20 || byte == 0x7f) {
                char escaped[8];
                std::snprintf(escaped, sizeof(escaped), "\\u%04x", byte);
                out += escaped;
            } else {
                // UTF-8 sequences pass through unchanged.
                out += c;
            }
        }
    }
    out += '"';
    return out;
}

std::string JsonWriter::number(double value) {
    if (!std::isfinite(value)) {
        return "null";
    }
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof(buffer), value);
    return std::string(buffer, result.ptr);
}

void JsonWriter::newline() {
    out_ += '\n';
    out_.append(static_cast<size_t>(indent_) * stack_.size(), ' ');
}

void JsonWriter::beforeValue() {
    if (stack_.empty()) {
        if (!out_.empty()) {
            throw std::logic_error("JSON document already complete");
        }
        return;
    }
    Level& level = stack_.back();
    if (level.object) {
        if (!keyPending_) {
            throw std::logic_error("JSON object value without a key");
        }
        keyPending_ = false;
        return;
    }
    if (level.count++ > 0) {
        out_ += level.layout == Layout::Inline ? ", " : ",";
    }
    if (level.layout == Layout::Indented) {
        newline();
    }
}

void JsonWriter::raw(const std::string& text) {
    beforeValue();
    out_ += text;
}

JsonWriter& JsonWriter::beginObject() {
    beforeValue();
    out_ += '{';
    stack_.push_back({true, Layout::Indented, 0});
    return *this;
}

JsonWriter& JsonWriter::beginArray(Layout layout) {
    beforeValue();
    out_ += '[';
    stack_.push_back({false, layout, 0});
    return *this;
}

void JsonWriter::close(bool object) {
    if (stack_.empty() || stack_.back().object != object || keyPending_) {
        throw std::logic_error("unbalanced JSON document");
    }
    const Level level = stack_.back();
    stack_.pop_back();
    if (level.count > 0 && level.layout == Layout::Indented) {
        newline();
    }
    out_ += object ? '}' : ']';
}

JsonWriter& JsonWriter::endObject() {
    close(true);
    return *this;
}

JsonWriter& JsonWriter::endArray() {
    close(false);
    return *this;
}

JsonWriter& JsonWriter::key(const std::string& name) {
    if (stack_.empty() || !stack_.back().object || keyPending_) {
        throw std::logic_error("JSON key outside an object");
    }
    if (stack_.back().count++ > 0) {
        out_ += ',';
    }
    newline();
    out_ += quote(name) + ": ";
    keyPending_ = true;
    return *this;
}

JsonWriter& JsonWriter::value(const std::string& text) {
    raw(quote(text));
    return *this;
}

JsonWriter& JsonWriter::value(const char* text) {
    return text ? value(std::string(text)) : null();
}

JsonWriter& JsonWriter::value(double number) {
    raw(JsonWriter::number(number));
    return *this;
}

JsonWriter& JsonWriter::value(int number) {
    raw(std::to_string(number));
    return *this;
}

JsonWriter& JsonWriter::value(bool flag) {
    raw(flag ? "true" : "false");
    return *this;
}

JsonWriter& JsonWriter::null() {
    raw("null");
    return *this;
}

} // namespace ofxhost
