#pragma once

#include "ofx/ofxDrawSuite.h"
#include "ofx/support/InteractArgs.h"

#include <string>
#include <vector>

namespace OFX {

// Drawing for overlays through OfxDrawSuiteV1, valid only inside the draw action. On a host
// without the draw suite (or a draw action without a context) every call does nothing and
// answers kOfxStatReplyDefault, so overlay code needs no special case.
class DrawSuite {
public:
    explicit DrawSuite(OfxDrawContextHandle context);
    explicit DrawSuite(const DrawArgs& args) : DrawSuite(args.drawContext) {}

    bool isAvailable() const { return suite_ != nullptr && context_ != nullptr; }

    OfxStatus getColour(OfxStandardColour which, OfxRGBAColourF& colour) const;
    OfxStatus setColour(const OfxRGBAColourF& colour) const;
    OfxStatus setColour(float r, float g, float b, float a) const;
    // 0 = single-pixel line, > 0 = smooth line of that width in screen pixels.
    OfxStatus setLineWidth(float width) const;
    OfxStatus setLineStipple(OfxDrawLineStipplePattern pattern) const;
    OfxStatus draw(OfxDrawPrimitive primitive, const OfxPointD* points, int count) const;
    OfxStatus draw(OfxDrawPrimitive primitive, const std::vector<OfxPointD>& points) const;
    // pos is canonical; alignment is an OR of OfxDrawTextAlignment flags.
    OfxStatus drawText(const std::string& text, const OfxPointD& pos, int alignment) const;

private:
    const OfxDrawSuiteV1* suite_;
    OfxDrawContextHandle context_;
};

} // namespace OFX
