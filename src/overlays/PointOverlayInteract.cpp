#include "overlays/PointOverlayInteract.h"

#include "overlays/DrawSuiteCanvas.h"
#include "overlays/OverlayBase.h"

namespace OFX {

namespace {

const char* const kCenter = "center";
constexpr double kArm = 15.0;               // px
constexpr double kCircleRadius = 10.5;      // px
constexpr double kLabelOffset = 15.0 * 1.5; // px below the centre
constexpr double kHitTolerance = 15.0;      // canonical units, not scaled

} // namespace

PointOverlayInteract::PointOverlayInteract(OfxInteractHandle handle, ImageEffect* effect)
    : OverlayInteract(handle, effect),
      params_(effect != nullptr ? std::make_unique<EffectOverlayParams>(*effect) : nullptr) {}

OfxPointD PointOverlayInteract::position(OfxTime time) {
    OverlayBase::readFrameSize(params_.get(), time, frameWidth_, frameHeight_);
    const std::optional<OfxPointD> centre =
        params_ != nullptr ? params_->getDouble2D(kCenter, time) : std::nullopt;
    const OfxPointD uv = centre.value_or(OfxPointD{0.5, 0.5});
    return OfxPointD{uv.x * frameWidth_, uv.y * frameHeight_};
}

bool PointOverlayInteract::draw(const DrawArgs& args) {
    const OfxPointD p = position(args.time);
    DrawSuiteCanvas ctx(args);
    if (!ctx.isAvailable()) {
        return false;
    }
    const OfxPointD scale = args.pixelScale;
    ctx.setColour(dragging_ ? OfxRGBAColourF{0.0f, 1.0f, 0.0f, 1.0f}
                            : OfxRGBAColourF{1.0f, 1.0f, 1.0f, 1.0f});
    OverlayBase::applyLineWidth(ctx, 2.0f);
    ctx.draw(kOfxDrawPrimitiveLines, {{p.x - kArm * scale.x, p.y},
                                      {p.x + kArm * scale.x, p.y},
                                      {p.x, p.y - kArm * scale.y},
                                      {p.x, p.y + kArm * scale.y}});
    OverlayBase::drawCircle(ctx, p, kCircleRadius, scale);
    ctx.drawText(kCenter, {p.x, p.y - kLabelOffset * scale.y},
                 kOfxDrawTextAlignmentCenterH | kOfxDrawTextAlignmentTop);
    return true;
}

bool PointOverlayInteract::penDown(const PenArgs& args) {
    if (!OverlayBase::isWithin(args.penPosition, position(args.time), kHitTolerance)) {
        return false;
    }
    dragging_ = true;
    return true;
}

bool PointOverlayInteract::penMotion(const PenArgs& args) {
    position(args.time);
    if (!dragging_) {
        return false;
    }
    const double u = frameWidth_ > 0.0 ? args.penPosition.x / frameWidth_ : 0.5;
    const double v = frameHeight_ > 0.0 ? args.penPosition.y / frameHeight_ : 0.5;
    if (params_ != nullptr) {
        params_->setDouble2D(kCenter, u, v);
    }
    requestRedraw();
    return true;
}

bool PointOverlayInteract::penUp(const PenArgs& args) {
    position(args.time);
    if (!dragging_) {
        return false;
    }
    dragging_ = false;
    requestRedraw();
    return true;
}

bool PointOverlayInteract::gainFocus(const FocusArgs& /*args*/) {
    requestRedraw();
    return true;
}

bool PointOverlayInteract::loseFocus(const FocusArgs& /*args*/) {
    if (dragging_) {
        dragging_ = false;
        requestRedraw();
    }
    return true;
}

} // namespace OFX
