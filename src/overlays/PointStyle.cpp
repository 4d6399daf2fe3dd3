#include "overlays/PointStyle.h"

#include <cctype>

namespace OFX {

PointStyle pointStyleFromText(const std::string& text) {
    std::string lower;
    for (const char c : text) {
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    static const struct {
        const char* name;
        PointStyle style;
    } kStyles[] = {{"crosshair", PointStyle::Crosshair},
                   {"target", PointStyle::Target},
                   {"cross", PointStyle::Cross},
                   {"diamond", PointStyle::Diamond},
                   {"axis", PointStyle::Axis},
                   {"dot", PointStyle::Dot},
                   {"sun", PointStyle::Sun}};
    for (const auto& entry : kStyles) {
        if (lower == entry.name) {
            return entry.style;
        }
    }
    return PointStyle::Crosshair;
}

} // namespace OFX
