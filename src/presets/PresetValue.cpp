#include "presets/PresetValue.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

double parseLeadingDouble(const std::string& text) {
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || errno == ERANGE) {
        return 0.0;
    }
    return value;
}

int parseLeadingInt(const std::string& text) {
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || errno == ERANGE || value < INT_MIN || value > INT_MAX) {
        return 0;
    }
    return static_cast<int>(value);
}

std::string fixed(double value) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%f", value);
    return buffer;
}

} // namespace

PresetValue PresetValue::number(double value) {
    PresetValue v;
    v.kind_ = Number;
    v.number_ = value;
    return v;
}

PresetValue PresetValue::integer(int value) {
    PresetValue v;
    v.kind_ = Integer;
    v.integer_ = value;
    return v;
}

PresetValue PresetValue::boolean(bool value) {
    PresetValue v;
    v.kind_ = Boolean;
    v.boolean_ = value;
    return v;
}

PresetValue PresetValue::text(std::string value) {
    PresetValue v;
    v.kind_ = Text;
    v.text_ = std::move(value);
    return v;
}

PresetValue PresetValue::vec2(double x, double y) {
    PresetValue v;
    v.kind_ = Vec2;
    v.components_ = {x, y, 0.0, 0.0};
    return v;
}

PresetValue PresetValue::vec3(double x, double y, double z) {
    PresetValue v;
    v.kind_ = Vec3;
    v.components_ = {x, y, z, 0.0};
    return v;
}

PresetValue PresetValue::vec4(double x, double y, double z, double w) {
    PresetValue v;
    v.kind_ = Vec4;
    v.components_ = {x, y, z, w};
    return v;
}

int PresetValue::componentCount() const {
    switch (kind_) {
    case Vec2:
        return 2;
    case Vec3:
        return 3;
    case Vec4:
        return 4;
    default:
        return 0;
    }
}

double PresetValue::asDouble() const {
    switch (kind_) {
    case Number:
        return number_;
    case Integer:
        return integer_;
    case Boolean:
        return boolean_ ? 1.0 : 0.0;
    case Text:
        return parseLeadingDouble(text_);
    default:
        return 0.0;
    }
}

int PresetValue::asInt() const {
    switch (kind_) {
    case Number:
        // Out-of-range doubles would be undefined behaviour to convert.
        if (std::isnan(number_) || number_ >= 2147483648.0 || number_ <= -2147483649.0) {
            return 0;
        }
        return static_cast<int>(number_);
    case Integer:
        return integer_;
    case Boolean:
        return boolean_ ? 1 : 0;
    case Text:
        return parseLeadingInt(text_);
    default:
        return 0;
    }
}

bool PresetValue::asBool() const {
    switch (kind_) {
    case Number:
        return number_ != 0.0; // NaN compares unequal, so it is true
    case Integer:
        return integer_ != 0;
    case Boolean:
        return boolean_;
    case Text:
        if (text_ == "false" || text_ == "False" || text_ == "FALSE" || text_ == "0") {
            return false;
        }
        return !text_.empty();
    default:
        return false;
    }
}

std::array<float, 4> PresetValue::asComponents() const {
    std::array<float, 4> result{};
    for (int i = 0; i < componentCount(); ++i) {
        result[i] = static_cast<float>(components_[i]);
    }
    return result;
}

std::string PresetValue::asText() const {
    switch (kind_) {
    case Number:
        return fixed(number_);
    case Integer:
        return std::to_string(integer_);
    case Boolean:
        return boolean_ ? "true" : "false";
    case Text:
        return text_;
    default: {
        std::string text = "(";
        for (int i = 0; i < componentCount(); ++i) {
            text += (i == 0 ? "" : ", ") + fixed(components_[i]);
        }
        return text + ")";
    }
    }
}

bool PresetValue::operator==(const PresetValue& other) const {
    if (kind_ != other.kind_) {
        return false;
    }
    switch (kind_) {
    case Number:
        return number_ == other.number_;
    case Integer:
        return integer_ == other.integer_;
    case Boolean:
        return boolean_ == other.boolean_;
    case Text:
        return text_ == other.text_;
    default:
        return components_ == other.components_;
    }
}
