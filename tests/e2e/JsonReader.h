#pragma once

#include <cstdlib>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace teste2e {

// A minimal JSON reader for checking documents the host writes: objects keep their key order.
struct JsonValue {
    enum class Kind { Null, Bool, Number, String, Array, Object };
    Kind kind = Kind::Null;
    bool flag = false;
    double number = 0.0;
    std::string text;
    std::vector<JsonValue> items;
    std::vector<std::pair<std::string, JsonValue>> members;

    bool isNull() const { return kind == Kind::Null; }
    const JsonValue& operator[](const std::string& key) const {
        for (const auto& member : members) {
            if (member.first == key) {
                return member.second;
            }
        }
        throw std::out_of_range("no key " + key);
    }
    const JsonValue& operator[](size_t index) const { return items.at(index); }
    std::vector<std::string> keys() const {
        std::vector<std::string> names;
        for (const auto& member : members) {
            names.push_back(member.first);
        }
        return names;
    }
    std::vector<std::string> strings() const {
        std::vector<std::string> result;
        for (const auto& item : items) {
            result.push_back(item.text);
        }
        return result;
    }
    std::vector<double> numbers() const {
        std::vector<double> result;
        for (const auto& item : items) {
            result.push_back(item.number);
        }
        return result;
    }
};

class JsonReader {
public:
    // Throws std::runtime_error on anything that is not one complete JSON document.
    static JsonValue parse(const std::string& text) {
        JsonReader reader(text);
        JsonValue value = reader.value();
        reader.skipSpace();
        if (reader.at_ != text.size()) {
            reader.fail("trailing text");
        }
        return value;
    }

private:
    explicit JsonReader(const std::string& text) : text_(text) {}

    [[noreturn]] void fail(const std::string& why) const {
        throw std::runtime_error("JSON " + why + " at offset " + std::to_string(at_));
    }
    void skipSpace() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\n' ||
                                      text_[at_] == '\r' || text_[at_] == '\t')) {
            ++at_;
        }
    }
    bool take(char c) {
        skipSpace();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    void expect(char c) {
        if (!take(c)) {
            fail(std::string("expected '") + c + "'");
        }
    }
    bool word(const char* literal) {
        const std::string w = literal;
        if (text_.compare(at_, w.size(), w) == 0) {
            at_ += w.size();
            return true;
        }
        return false;
    }

    std::string string() {
        expect('"');
        std::string out;
        while (at_ < text_.size() && text_[at_] != '"') {
            char c = text_[at_++];
            if (static_cast<unsigned char>(c) < 0x20) {
                fail("raw control character in string");
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (at_ >= text_.size()) {
                fail("truncated escape");
            }
            c = text_[at_++];
            if (c == 'u') {
                const unsigned long code = std::strtoul(text_.substr(at_, 4).c_str(), nullptr, 16);
                at_ += 4;
                if (code >= 0x80) {
                    fail("non-ASCII \\u escape (not written by the host)");
                }
                out += static_cast<char>(code);
                continue;
            }
            // n, t, r, b and f name control characters; any other escaped one stands for itself.
            const std::string escapes = "n\nt\tr\rb\bf\f";
            const size_t found = escapes.find(c);
            out += found != std::string::npos && found % 2 == 0 ? escapes[found + 1] : c;
        }
        expect('"');
        return out;
    }

    JsonValue value() {
        skipSpace();
        JsonValue result;
        if (at_ >= text_.size()) {
            fail("unexpected end");
        }
        const char c = text_[at_];
        if (c == '{') {
            result.kind = JsonValue::Kind::Object;
            expect('{');
            if (!take('}')) {
                do {
                    std::string key = string();
                    expect(':');
                    result.members.emplace_back(std::move(key), value());
                } while (take(','));
                expect('}');
            }
        } else if (c == '[') {
            result.kind = JsonValue::Kind::Array;
            expect('[');
            if (!take(']')) {
                do {
                    result.items.push_back(value());
                } while (take(','));
                expect(']');
            }
        } else if (c == '"') {
            result.kind = JsonValue::Kind::String;
            result.text = string();
        } else if (word("true")) {
            result.kind = JsonValue::Kind::Bool;
            result.flag = true;
        } else if (word("false")) {
            result.kind = JsonValue::Kind::Bool;
        } else if (word("null")) {
            result.kind = JsonValue::Kind::Null;
        } else {
            const char* start = text_.c_str() + at_;
            char* end = nullptr;
            result.number = std::strtod(start, &end);
            if (end == start) {
                fail("unexpected character");
            }
            result.kind = JsonValue::Kind::Number;
            at_ += static_cast<size_t>(end - start);
        }
        return result;
    }

    const std::string& text_;
    size_t at_ = 0;
};

} // namespace teste2e
