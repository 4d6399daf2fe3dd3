#pragma once

#include "ofx/ofxDrawSuite.h"

#include <string>
#include <vector>

namespace OFX {

// Where overlays draw: the host's draw suite during a draw action (DrawSuiteCanvas), or a
// recording stand-in. Positions are canonical coordinates.
class OverlayCanvas {
public:
    virtual ~OverlayCanvas() = default;

    // false when the host gave no draw suite or no draw context.
    virtual bool isAvailable() const = 0;
    virtual void setColour(const OfxRGBAColourF& colour) = 0;
    // Screen pixels; 0 is a single-pixel line.
    virtual void setLineWidth(float width) = 0;
    virtual void setLineStipple(OfxDrawLineStipplePattern pattern) = 0;
    virtual void draw(OfxDrawPrimitive primitive, const std::vector<OfxPointD>& points) = 0;
    // alignment is an OR of OfxDrawTextAlignment flags.
    virtual void drawText(const std::string& text, const OfxPointD& position, int alignment) = 0;
};

} // namespace OFX
