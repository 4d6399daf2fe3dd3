#pragma once

#include "ofx/ofxCore.h"
#include "ofx/ofxImageEffect.h"

#include <string>

namespace ofxhost {

// The arguments of one render (and of isIdentity, which shares them).
struct RenderArgs {
    OfxTime time = 0.0;
    // Pixel coordinates at renderScale, half-open.
    OfxRectI window{0, 0, 0, 0};
    double renderScale[2] = {1.0, 1.0};
    std::string field = kOfxImageFieldNone;
    bool sequential = true;
    bool interactive = false;
    bool draft = false;
    // GPU rendering: when enabled the arguments say so (and carry the stream when both sides
    // support streams); the clip images must then be device memory.
    bool cudaEnabled = false;
    void* cudaStream = nullptr;
};

// What isIdentity answered.
struct IdentityResult {
    OfxStatus status = kOfxStatReplyDefault;
    bool identity = false;
    std::string clip;
    OfxTime time = 0.0;
};

} // namespace ofxhost
