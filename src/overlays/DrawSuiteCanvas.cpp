#include "overlays/DrawSuiteCanvas.h"

namespace OFX {

// Statuses are dropped: a host that refuses one primitive should still get the rest.

void DrawSuiteCanvas::setColour(const OfxRGBAColourF& colour) {
    suite_.setColour(colour);
}

void DrawSuiteCanvas::setLineWidth(float width) {
    suite_.setLineWidth(width);
}

void DrawSuiteCanvas::setLineStipple(OfxDrawLineStipplePattern pattern) {
    suite_.setLineStipple(pattern);
}

void DrawSuiteCanvas::draw(OfxDrawPrimitive primitive, const std::vector<OfxPointD>& points) {
    suite_.draw(primitive, points);
}

void DrawSuiteCanvas::drawText(const std::string& text, const OfxPointD& position, int alignment) {
    suite_.drawText(text, position, alignment);
}

} // namespace OFX
