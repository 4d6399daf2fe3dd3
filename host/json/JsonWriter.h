#pragma once

#include <string>
#include <vector>

namespace ofxhost {

// A small streaming JSON writer: indented objects, arrays inline or indented, UTF-8 strings
// passed through and control characters escaped. Misuse (a value where a key is due) is a
// programming error and throws std::logic_error.
class JsonWriter {
public:
    enum class Layout { Indented, Inline };

    explicit JsonWriter(int indent = 2) : indent_(indent) {}

    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray(Layout layout = Layout::Indented);
    JsonWriter& endArray();
    JsonWriter& key(const std::string& name);

    JsonWriter& value(const std::string& text);
    JsonWriter& value(const char* text);
    JsonWriter& value(double number);
    JsonWriter& value(int number);
    JsonWriter& value(bool flag);
    JsonWriter& null();

    // The document so far; complete once every object and array is closed.
    const std::string& text() const { return out_; }
    bool complete() const { return stack_.empty() && !out_.empty(); }

    // A JSON string literal, quotes included.
    static std::string quote(const std::string& text);
    // Shortest text that reads back as the same double; null for NaN and infinities.
    static std::string number(double value);

private:
    struct Level {
        bool object;
        Layout layout;
        int count;
    };
    void beforeValue();
    void newline();
    void raw(const std::string& text);
    void close(bool object);

    int indent_;
    std::string out_;
    std::vector<Level> stack_;
    bool keyPending_ = false;
};

} // namespace ofxhost
