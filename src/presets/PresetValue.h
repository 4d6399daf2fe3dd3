#pragma once

#include <array>
#include <map>
#include <string>

// One parameter's value, tagged with its kind: the currency between preset files, definition
// defaults, the instance's parameters and the kernel packing.
class PresetValue {
public:
    enum Kind : int {
        Number = 0,
        Integer = 1,
        Boolean = 2,
        Text = 3,
        Vec2 = 4,
        Vec3 = 5,
        Vec4 = 6
    };

    PresetValue() = default;
    static PresetValue number(double value);
    static PresetValue integer(int value);
    static PresetValue boolean(bool value);
    static PresetValue text(std::string value);
    static PresetValue vec2(double x, double y);
    static PresetValue vec3(double x, double y, double z);
    static PresetValue vec4(double x, double y, double z, double w);

    Kind kind() const { return kind_; }
    bool isVector() const { return kind_ == Vec2 || kind_ == Vec3 || kind_ == Vec4; }
    // Number of vector components: 2, 3 or 4; 0 for scalars and text.
    int componentCount() const;

    // Conversions; none throws. Text is read as a leading number (0 when there is none or it
    // overflows); vectors convert to 0 / false as scalars.
    double asDouble() const;
    int asInt() const;
    // Numbers are true when non-zero or NaN; text is false for "false"/"False"/"FALSE"/"0",
    // true for any other non-empty text.
    bool asBool() const;
    // Vector components narrowed to 32-bit floats; zeros beyond componentCount().
    std::array<float, 4> asComponents() const;
    // Numbers in "%f" form, booleans as "true"/"false", vectors as "(x, y, ...)".
    std::string asText() const;

    bool operator==(const PresetValue& other) const;
    bool operator!=(const PresetValue& other) const { return !(*this == other); }

private:
    Kind kind_ = Number;
    double number_ = 0.0;
    int integer_ = 0;
    bool boolean_ = false;
    std::string text_;
    std::array<double, 4> components_{};
};

// Parameter name -> value, ordered by name.
using PresetValues = std::map<std::string, PresetValue>;
