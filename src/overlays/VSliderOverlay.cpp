#include "overlays/VSliderOverlay.h"

#include <algorithm>
#include <cmath>

namespace OFX {

namespace {

constexpr double kEndTick = 8.0;                 // px to each side
constexpr double kMiddleTick = 8.0 * 0.7;        // px
constexpr double kHandleHalfWidth = 12.0;        // px
constexpr double kHandleHalfHeight = 12.0 * 0.5; // px, y pixel scale
constexpr double kLabelOffset = 15.0;            // px above the track

} // namespace

VSliderOverlay::VSliderOverlay(OverlayParams* effect, std::string param, double fixedX)
    : OverlayBase(effect), param_(std::move(param)), fixedX_(fixedX) {}

VSliderOverlay::Track VSliderOverlay::track() const {
    const OfxPointD bottom = toPixel({fixedX_, 0.1});
    return Track{bottom.x, bottom.y, toPixel({fixedX_, 0.9}).y};
}

bool VSliderOverlay::draw(OverlayCanvas& ctx, const DrawArgs& args) {
    if (!isVisible(args.time)) {
        return false;
    }
    updateFrameSize(args.time);
    const Track t = track();
    const std::optional<double> value =
        effect() != nullptr ? effect()->getDouble(param_, args.time) : std::nullopt;
    const double v = std::clamp(value.value_or(0.5), 0.0, 1.0);
    const double sx = args.pixelScale.x;
    const double middle = (t.y0 + t.y1) / 2.0;
    const double handleY = t.y0 + (t.y1 - t.y0) * v;

    applyColour(ctx);
    applyLineWidth(ctx, 2.0f);
    ctx.draw(kOfxDrawPrimitiveLines, {{t.x, t.y0},
                                      {t.x, t.y1},
                                      {t.x - kEndTick * sx, t.y0},
                                      {t.x + kEndTick * sx, t.y0},
                                      {t.x - kEndTick * sx, t.y1},
                                      {t.x + kEndTick * sx, t.y1},
                                      {t.x - kMiddleTick * sx, middle},
                                      {t.x + kMiddleTick * sx, middle}});
    const double hy = kHandleHalfHeight * args.pixelScale.y;
    ctx.draw(kOfxDrawPrimitiveRectangle, {{t.x - kHandleHalfWidth * sx, handleY - hy},
                                          {t.x + kHandleHalfWidth * sx, handleY + hy}});
    drawLabel(ctx, {t.x, t.y1 + kLabelOffset * args.pixelScale.y});
    return true;
}

bool VSliderOverlay::penDown(const PenArgs& args) {
    if (!isVisible(args.time)) {
        return false;
    }
    updateFrameSize(args.time);
    if (effect() == nullptr || !effect()->getDouble(param_, args.time)) {
        return false;
    }
    const Track t = track();
    const OfxPointD pen = args.penPosition;
    if (std::abs(pen.x - t.x) > kHitTolerance || pen.y < t.y0 - kHitTolerance ||
        pen.y > t.y1 + kHitTolerance) {
        return false;
    }
    beginDrag("Drag slider");
    return true;
}

bool VSliderOverlay::penMotion(const PenArgs& args) {
    if (!isVisible(args.time)) {
        endDrag();
        return false;
    }
    updateFrameSize(args.time);
    if (state() != kDragging) {
        return false;
    }
    const Track t = track();
    const double v = std::clamp((args.penPosition.y - t.y0) / (t.y1 - t.y0), 0.0, 1.0);
    if (effect() != nullptr) {
        effect()->setDouble(param_, v);
    }
    return true;
}

bool VSliderOverlay::penUp(const PenArgs& /*args*/) {
    return endDrag();
}

} // namespace OFX
