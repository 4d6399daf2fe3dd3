#pragma once

#include "overlays/OverlayCanvas.h"

#include "ofx/support/InteractArgs.h"

#include <memory>

namespace OFX {

struct GlFunctions;

// Overlay drawing with OpenGL 1.x immediate-mode calls into the context the host made current
// for the draw action: what hosts without the draw suite expect. Canonical coordinates go to
// GL as they are (the host's matrices map them to its viewport); line widths, stipples and
// text are in screen pixels, through the pixel scale. The GL state the canvas touches is saved
// when it is made and restored when it is destroyed.
class GlCanvas : public OverlayCanvas {
public:
    // The GL entry points from the OpenGL library already loaded in the host's process
    // (nothing is loaded or linked for it); nullptr when there is none. Looked up once.
    static const GlFunctions* functions();

    GlCanvas(const GlFunctions& gl, const DrawArgs& args);
    ~GlCanvas() override;
    GlCanvas(const GlCanvas&) = delete;
    GlCanvas& operator=(const GlCanvas&) = delete;

    bool isAvailable() const override { return true; }
    void setColour(const OfxRGBAColourF& colour) override;
    void setLineWidth(float width) override;
    void setLineStipple(OfxDrawLineStipplePattern pattern) override;
    void draw(OfxDrawPrimitive primitive, const std::vector<OfxPointD>& points) override;
    void drawText(const std::string& text, const OfxPointD& position, int alignment) override;

private:
    void vertices(unsigned mode, const std::vector<OfxPointD>& points) const;

    const GlFunctions& gl_;
    OfxPointD pixelScale_;
    // What the overlay set, for text to put back: text is drawn with thin solid lines.
    float lineWidth_ = 0.0f;
    OfxDrawLineStipplePattern stipple_ = kOfxDrawLineStipplePatternSolid;
};

// The canvas of one draw action: the host's draw suite where it gave one, else OpenGL, else
// one that draws nothing. The choice is logged the first time for each interact (logged).
std::unique_ptr<OverlayCanvas> openOverlayCanvas(const DrawArgs& args, bool& logged);

} // namespace OFX
