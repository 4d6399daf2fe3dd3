#pragma once

#include "host/cli/OverlayCapture.h"

#include <string>

namespace ofxhost {

// An overlay's draw as JSON, for people and scripts to read:
//   {"frame": T, "width": W, "height": H, "calls": [...]}
// with one object per draw-suite call in call order: setColour (colour), setLineWidth (width),
// setLineStipple (pattern), draw (primitive, points), drawText (text, position, alignment) and
// getColour (standardColour). Points are canonical coordinates.
class OverlayJson {
public:
    static std::string write(const OverlayDrawing& drawing);
};

} // namespace ofxhost
