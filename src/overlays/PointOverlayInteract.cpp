#include "overlays/PointOverlayInteract.h"

#include "overlays/GlCanvas.h"

namespace OFX {

namespace {

const char* const kCenter = "center";
const char* const kEditLabel = "Drag center";
constexpr double kArm = 15.0;               // px
constexpr double kCircleRadius = 10.5;      // px
constexpr double kLabelOffset = 15.0 * 1.5; // px below the centre
constexpr double kHitTolerance = 15.0;      // canonical units, not scaled

} // namespace

PointOverlayInteract::PointOverlayInteract(OfxInteractHandle handle, ImageEffect* effect)
    : OverlayInteract(handle, effect),
      params_(effect != nullptr ? std::make_unique<EffectOverlayParams>(*effect) : nullptr) {}

PointOverlayInteract::~PointOverlayInteract() {
    endDrag();
}

OfxPointD PointOverlayInteract::position(OfxTime time) {
    frame_.update(params_.get(), time);
    const std::optional<OfxPointD> centre =
        params_ != nullptr ? params_->getDouble2D(kCenter, time) : std::nullopt;
    return frame_.toCanonical(centre.value_or(OfxPointD{0.5, 0.5}));
}

void PointOverlayInteract::endDrag() {
    if (!dragging_) {
        return;
    }
    dragging_ = false;
    if (params_ != nullptr) {
        params_->endEditBlock();
    }
}

bool PointOverlayInteract::draw(const DrawArgs& args) {
    const OfxPointD p = position(args.time);
    const std::unique_ptr<OverlayCanvas> canvas = openOverlayCanvas(args, canvasLogged_);
    if (!canvas->isAvailable()) {
        return false;
    }
    OverlayCanvas& ctx = *canvas;
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
    // A press while dragging means the release never came.
    endDrag();
    if (!OverlayBase::isWithin(args.penPosition, position(args.time), kHitTolerance)) {
        return false;
    }
    dragging_ = true;
    if (params_ != nullptr) {
        params_->beginEditBlock(kEditLabel);
    }
    return true;
}

bool PointOverlayInteract::penMotion(const PenArgs& args) {
    position(args.time);
    if (!dragging_) {
        return false;
    }
    const OfxPointD uv = frame_.toNormalized(args.penPosition);
    if (params_ != nullptr) {
        params_->setDouble2D(kCenter, uv.x, uv.y);
    }
    requestRedraw();
    return true;
}

bool PointOverlayInteract::penUp(const PenArgs& args) {
    position(args.time);
    if (!dragging_) {
        return false;
    }
    endDrag();
    requestRedraw();
    return true;
}

bool PointOverlayInteract::gainFocus(const FocusArgs& /*args*/) {
    requestRedraw();
    return true;
}

bool PointOverlayInteract::loseFocus(const FocusArgs& /*args*/) {
    if (dragging_) {
        endDrag();
        requestRedraw();
    }
    return true;
}

} // namespace OFX
