#pragma once

#include <string>

namespace OFX {

// The shapes a point overlay can take (the definition's `style`).
enum class PointStyle {
    Crosshair = 0,
    Target = 1,
    Cross = 2,
    Diamond = 3,
    Axis = 4,
    Dot = 5,
    Sun = 6
};

// Any letter case; empty or unknown text is a crosshair.
PointStyle pointStyleFromText(const std::string& text);

} // namespace OFX
