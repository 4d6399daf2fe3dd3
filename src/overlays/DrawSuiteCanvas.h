#pragma once

#include "overlays/OverlayCanvas.h"

#include "ofx/support/DrawSuite.h"

namespace OFX {

// The host's draw suite, valid only inside the draw action it was made for.
class DrawSuiteCanvas : public OverlayCanvas {
public:
    explicit DrawSuiteCanvas(const DrawArgs& args) : suite_(args) {}

    bool isAvailable() const override { return suite_.isAvailable(); }
    void setColour(const OfxRGBAColourF& colour) override;
    void setLineWidth(float width) override;
    void setLineStipple(OfxDrawLineStipplePattern pattern) override;
    void draw(OfxDrawPrimitive primitive, const std::vector<OfxPointD>& points) override;
    void drawText(const std::string& text, const OfxPointD& position, int alignment) override;

private:
    DrawSuite suite_;
};

} // namespace OFX
