#include "definition/DefinitionRecords.h"

#include "log/Logger.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace {

struct NamedColor {
    const char* name;
    float r, g, b;
};

constexpr NamedColor kNamedColors[] = {
    {"red", 1.0f, 0.0f, 0.0f},   {"green", 0.0f, 1.0f, 0.0f},   {"blue", 0.0f, 0.0f, 1.0f},
    {"cyan", 0.0f, 1.0f, 1.0f},  {"magenta", 1.0f, 0.0f, 1.0f}, {"yellow", 1.0f, 1.0f, 0.0f},
    {"white", 1.0f, 1.0f, 1.0f}, {"black", 0.0f, 0.0f, 0.0f},   {"gray", 0.5f, 0.5f, 0.5f},
    {"grey", 0.5f, 0.5f, 0.5f},  {"orange", 1.0f, 0.5f, 0.0f},  {"purple", 0.5f, 0.0f, 0.5f},
    {"pink", 1.0f, 0.5f, 0.5f},
};

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower >= 'a' && lower <= 'f') {
        return lower - 'a' + 10;
    }
    return -1;
}

// "#rrggbb" or "#rgb"; false for any other length or a non-hex digit.
bool parseHex(const std::string& text, OverlayColor& color) {
    int bytes[3];
    if (text.size() == 7) {
        for (int i = 0; i < 3; ++i) {
            const int high = hexDigit(text[1 + 2 * i]);
            const int low = hexDigit(text[2 + 2 * i]);
            if (high < 0 || low < 0) {
                return false;
            }
            bytes[i] = high * 16 + low;
        }
    } else if (text.size() == 4) {
        for (int i = 0; i < 3; ++i) {
            const int digit = hexDigit(text[1 + i]);
            if (digit < 0) {
                return false;
            }
            bytes[i] = digit * 17;
        }
    } else {
        return false;
    }
    color.r = static_cast<float>(bytes[0]) / 255.0f;
    color.g = static_cast<float>(bytes[1]) / 255.0f;
    color.b = static_cast<float>(bytes[2]) / 255.0f;
    return true;
}

// "r,g,b" in 0..1; a missing or unreadable component stays 1.
void parseComponents(const std::string& text, OverlayColor& color) {
    float* channels[3] = {&color.r, &color.g, &color.b};
    std::string::size_type start = 0;
    for (float* channel : channels) {
        if (start > text.size()) {
            break;
        }
        const std::string::size_type comma = text.find(',', start);
        const std::string piece = text.substr(start, comma - start);
        char* end = nullptr;
        const double value = std::strtod(piece.c_str(), &end);
        if (end != piece.c_str()) {
            *channel = static_cast<float>(value);
        }
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
}

} // namespace

OverlayColor parseOverlayColor(const std::string& text) {
    OverlayColor color;
    if (text.empty()) {
        return color;
    }
    color.given = true;
    if (text[0] == '#') {
        OverlayColor parsed = color;
        return parseHex(text, parsed) ? parsed : color;
    }
    if (text.find(',') != std::string::npos) {
        parseComponents(text, color);
        return color;
    }
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const NamedColor& named : kNamedColors) {
        if (lower == named.name) {
            color.r = named.r;
            color.g = named.g;
            color.b = named.b;
            return color;
        }
    }
    HALDEN_LOG_INFO("Unknown overlay color '%s', using white", text.c_str());
    return color;
}
