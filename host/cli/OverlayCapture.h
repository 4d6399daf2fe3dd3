#pragma once

#include "host/cli/RgbaImage.h"
#include "host/record/Records.h"

#include <string>
#include <vector>

namespace ofxhost {

class EffectInstance;

// One draw of an effect's overlay.
struct OverlayDrawing {
    int frame = 0;
    // The full-size frame in canonical units: its pixels at render scale 1.
    int width = 0;
    int height = 0;
    // The draw-suite calls, in call order.
    std::vector<DrawCall> calls;
    // Why nothing could be drawn, for a note; empty when the overlay was drawn.
    std::string note;
};

// The overlay of an instance as a viewer showing the frame at 100 % draws it: created, drawn
// once with a pixel scale of 1, destroyed. capture records the draw-suite calls; captureGl
// draws it with OpenGL, as a host without the draw suite does (GlViewer).
class OverlayCapture {
public:
    // viewport: the picture's size in pixels. Throws HostError when the plug-in fails to
    // create or draw its overlay.
    static OverlayDrawing capture(EffectInstance& instance, int frame, double renderScale,
                                  int viewportWidth, int viewportHeight);

    // The picture with the overlay drawn on it in an OpenGL context; note says why there is
    // none. GL state the overlay leaves changed is a breach of the host's rules, recorded as
    // a violation of the draw action.
    struct GlDrawing {
        RgbaImage picture;
        std::string note;
    };
    static GlDrawing captureGl(EffectInstance& instance, int frame, double renderScale,
                               const RgbaImage& picture);
};

} // namespace ofxhost
