#pragma once

#include "ofx/ofxDrawSuite.h"
#include "ofx/ofxPixels.h"

#include <string>

namespace OFX {

// Arguments of the interact actions. Positions are canonical coordinates; pixelScale is the
// size of one screen pixel in canonical units. What the action's inArgs leave out is taken from
// the interact's own property set, else keeps the defaults below.
struct InteractArgs {
    OfxTime time = 0.0;
    OfxPointD renderScale{1.0, 1.0};
    OfxPointD pixelScale{1.0, 1.0};
    OfxRGBColourD backgroundColour{0.0, 0.0, 0.0};
    OfxPointI viewportSize{0, 0}; // screen pixels, where the host reports it

    void read(OfxPropertySetHandle inArgs, OfxPropertySetHandle interactProps);
};

struct DrawArgs : InteractArgs {
    // For OfxDrawSuiteV1; nullptr on hosts that draw overlays with OpenGL only.
    OfxDrawContextHandle drawContext = nullptr;

    static DrawArgs read(OfxPropertySetHandle inArgs, OfxPropertySetHandle interactProps);
};

struct PenArgs : InteractArgs {
    OfxPointD penPosition{0.0, 0.0};
    OfxPointI penViewportPosition{0, 0}; // viewport pixels, origin bottom-left
    double penPressure = 0.0;            // 0..1; a mouse gives 0 or 1

    static PenArgs read(OfxPropertySetHandle inArgs, OfxPropertySetHandle interactProps);
};

struct KeyArgs {
    OfxTime time = 0.0;
    OfxPointD renderScale{1.0, 1.0};
    int keySymbol = 0;     // X11-style key symbol, 0 = unknown
    std::string keyString; // the typed character as UTF-8, or ""

    static KeyArgs read(OfxPropertySetHandle inArgs);
};

struct FocusArgs : InteractArgs {
    static FocusArgs read(OfxPropertySetHandle inArgs, OfxPropertySetHandle interactProps);
};

} // namespace OFX
