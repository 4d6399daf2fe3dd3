#pragma once

#include "ofx/ofxCore.h"

#include <string>

namespace ofxhost {

// The viewer an overlay is drawn in.
struct InteractSettings {
    // Canonical units per screen pixel.
    double pixelScale[2] = {1.0, 1.0};
    double backgroundColour[3] = {0.0, 0.0, 0.0};
    double suggestedColour[3] = {1.0, 1.0, 1.0};
    // Viewport size in screen pixels.
    int viewport[2] = {1920, 1080};
    bool hasAlpha = false;
    int bitDepth = 8;
};

// What every interact action carries.
struct InteractArgs {
    OfxTime time = 0.0;
    double renderScale[2] = {1.0, 1.0};
};

struct PenArgs : InteractArgs {
    // Canonical coordinates.
    OfxPointD position{0.0, 0.0};
    // Viewport pixels, origin bottom-left.
    OfxPointI viewportPosition{0, 0};
    double pressure = 1.0;
};

struct KeyArgs : InteractArgs {
    int keySym = 0;
    std::string keyString;
};

} // namespace ofxhost
