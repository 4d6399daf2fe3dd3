#include "overlays/RadiusOverlay.h"

#include <cmath>

namespace OFX {

namespace {

constexpr double kHandleHalf = 4.0;   // px, x pixel scale on both axes
constexpr double kLabelOffset = 20.0; // px above the ring

} // namespace

RadiusOverlay::RadiusOverlay(OverlayParams* effect, std::string radius, std::string center)
    : OverlayBase(effect), radius_(std::move(radius)), center_(std::move(center)) {}

std::optional<double> RadiusOverlay::radiusAt(OfxTime time) const {
    return effect() != nullptr ? effect()->getDouble(radius_, time) : std::nullopt;
}

bool RadiusOverlay::draw(OverlayCanvas& ctx, const DrawArgs& args) {
    if (!isVisible(args.time)) {
        return false;
    }
    updateFrameSize(args.time);
    const OfxPointD c = toPixel(getPointValue(center_, args.time));
    const double r = radiusAt(args.time).value_or(0.1) * minDim();
    const double h = kHandleHalf * args.pixelScale.x;

    applyColour(ctx);
    applyLineWidth(ctx, 2.0f);
    // The ring is a size in the frame, not on screen.
    drawCircle(ctx, c, r, OfxPointD{1.0, 1.0});
    ctx.draw(kOfxDrawPrimitiveRectangle, {{c.x + r - h, c.y - h}, {c.x + r + h, c.y + h}});
    drawLabel(ctx, {c.x, c.y + r + kLabelOffset * args.pixelScale.y});
    return true;
}

bool RadiusOverlay::penDown(const PenArgs& args) {
    if (!isVisible(args.time)) {
        return false;
    }
    updateFrameSize(args.time);
    const std::optional<double> radius = radiusAt(args.time);
    if (!radius) {
        return false;
    }
    const OfxPointD c = toPixel(getPointValue(center_, args.time));
    const double distance = std::hypot(args.penPosition.x - c.x, args.penPosition.y - c.y);
    // Anywhere on the ring.
    if (std::abs(distance - *radius * minDim()) > kHitTolerance) {
        return false;
    }
    beginDrag("Drag radius");
    return true;
}

bool RadiusOverlay::penMotion(const PenArgs& args) {
    if (!isVisible(args.time)) {
        endDrag();
        return false;
    }
    updateFrameSize(args.time);
    if (state() != kDragging) {
        return false;
    }
    const OfxPointD c = toPixel(getPointValue(center_, args.time));
    const double distance = std::hypot(args.penPosition.x - c.x, args.penPosition.y - c.y);
    if (effect() != nullptr) {
        effect()->setDouble(radius_, limitSize(distance / minDim(), 0.001));
    }
    return true;
}

bool RadiusOverlay::penUp(const PenArgs& /*args*/) {
    return endDrag();
}

} // namespace OFX
