#include "ofx/support/DrawSuite.h"

#include "ofx/support/HostSuites.h"

namespace OFX {

DrawSuite::DrawSuite(OfxDrawContextHandle context) : suite_(suites().draw), context_(context) {}

OfxStatus DrawSuite::getColour(OfxStandardColour which, OfxRGBAColourF& colour) const {
    return isAvailable() ? suite_->getColour(context_, which, &colour) : kOfxStatReplyDefault;
}

OfxStatus DrawSuite::setColour(const OfxRGBAColourF& colour) const {
    return isAvailable() ? suite_->setColour(context_, &colour) : kOfxStatReplyDefault;
}

OfxStatus DrawSuite::setColour(float r, float g, float b, float a) const {
    return setColour(OfxRGBAColourF{r, g, b, a});
}

OfxStatus DrawSuite::setLineWidth(float width) const {
    return isAvailable() ? suite_->setLineWidth(context_, width) : kOfxStatReplyDefault;
}

OfxStatus DrawSuite::setLineStipple(OfxDrawLineStipplePattern pattern) const {
    return isAvailable() ? suite_->setLineStipple(context_, pattern) : kOfxStatReplyDefault;
}

OfxStatus DrawSuite::draw(OfxDrawPrimitive primitive, const OfxPointD* points, int count) const {
    return isAvailable() ? suite_->draw(context_, primitive, points, count) : kOfxStatReplyDefault;
}

OfxStatus DrawSuite::draw(OfxDrawPrimitive primitive, const std::vector<OfxPointD>& points) const {
    return draw(primitive, points.data(), static_cast<int>(points.size()));
}

OfxStatus DrawSuite::drawText(const std::string& text, const OfxPointD& pos, int alignment) const {
    return isAvailable() ? suite_->drawText(context_, text.c_str(), &pos, alignment)
                         : kOfxStatReplyDefault;
}

} // namespace OFX
