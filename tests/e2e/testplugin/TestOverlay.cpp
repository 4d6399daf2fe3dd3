#include "TestOverlay.h"

#include "TestPluginNames.h"

#include "ofx/support/DrawSuite.h"
#include "ofx/support/ImageEffect.h"

#include <cmath>

namespace testplugin {

namespace {
constexpr double kHalfSide = 10.0; // canonical units
constexpr double kHitRadius = 10.0;
} // namespace

TestOverlay::TestOverlay(OfxInteractHandle handle, OFX::ImageEffect* effect)
    : OverlayInteract(handle, effect) {}

bool TestOverlay::centreAt(OfxTime time, OfxPointD& centre) const {
    OFX::Double2DParam* param =
        getEffect() != nullptr ? getEffect()->fetchDouble2DParam(kCenter) : nullptr;
    if (param == nullptr) {
        return false;
    }
    centre = param->getValueAtTime(time);
    return true;
}

bool TestOverlay::draw(const OFX::DrawArgs& args) {
    const OFX::DrawSuite drawing(args);
    OfxPointD centre{0.0, 0.0};
    if (!drawing.isAvailable() || !centreAt(args.time, centre)) {
        return false;
    }
    drawing.setColour(1.0f, 0.0f, 0.0f, 1.0f);
    const OfxPointD square[] = {{centre.x - kHalfSide, centre.y - kHalfSide},
                                {centre.x + kHalfSide, centre.y - kHalfSide},
                                {centre.x + kHalfSide, centre.y + kHalfSide},
                                {centre.x - kHalfSide, centre.y + kHalfSide}};
    drawing.draw(kOfxDrawPrimitiveLineLoop, square, 4);
    drawing.drawText(kCenter, centre, kOfxDrawTextAlignmentCenterH | kOfxDrawTextAlignmentCenterV);
    return true;
}

bool TestOverlay::penDown(const OFX::PenArgs& args) {
    OfxPointD centre{0.0, 0.0};
    if (!centreAt(args.time, centre)) {
        return false;
    }
    return std::hypot(args.penPosition.x - centre.x, args.penPosition.y - centre.y) <= kHitRadius;
}

} // namespace testplugin
