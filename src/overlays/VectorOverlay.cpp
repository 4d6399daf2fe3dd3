#include "overlays/VectorOverlay.h"

#include <algorithm>
#include <cmath>

namespace OFX {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kHeadLength = 12.0;              // px
constexpr double kHeadAngle = 0.4363323129985824; // 25 degrees
constexpr double kTipHandleBack = 6.0;            // px back from the tip
constexpr double kShaftGrabStart = 0.3;           // of the shaft, from the centre
constexpr double kLabelOffset = 10.0;             // px right of the tip

} // namespace

VectorOverlay::VectorOverlay(OverlayParams* effect, std::string direction, std::string center,
                             std::string magnitude, double fixedMagnitude)
    : OverlayBase(effect), direction_(std::move(direction)), center_(std::move(center)),
      magnitude_(std::move(magnitude)), fixedMagnitude_(fixedMagnitude) {}

VectorOverlay::Shape VectorOverlay::shapeAt(OfxTime time) const {
    std::optional<double> direction;
    std::optional<double> magnitude;
    if (effect() != nullptr) {
        direction = effect()->getDouble(direction_, time);
        magnitude = effect()->getDouble(magnitude_, time);
    }
    Shape shape;
    shape.centre = toPixel(getPointValue(center_, time));
    shape.radians = direction.value_or(0.0) * kPi / 180.0;
    const double length = magnitude.value_or(fixedMagnitude_) * minDim();
    shape.tip = {shape.centre.x + length * std::cos(shape.radians),
                 shape.centre.y + length * std::sin(shape.radians)};
    return shape;
}

bool VectorOverlay::draw(OverlayCanvas& ctx, const DrawArgs& args) {
    if (!isVisible(args.time)) {
        return false;
    }
    updateFrameSize(args.time);
    const Shape s = shapeAt(args.time);
    const double sx = args.pixelScale.x;

    applyColour(ctx);
    applyLineWidth(ctx, 2.0f);
    drawLine(ctx, s.centre, s.tip);
    std::vector<OfxPointD> head;
    for (const double side : {-1.0, 1.0}) {
        const double a = s.radians + kPi + side * kHeadAngle;
        head.push_back(s.tip);
        head.push_back(
            {s.tip.x + kHeadLength * sx * std::cos(a), s.tip.y + kHeadLength * sx * std::sin(a)});
    }
    ctx.draw(kOfxDrawPrimitiveLines, head);
    drawCircle(ctx, s.centre, 4.0, args.pixelScale);
    drawLabel(ctx, {s.tip.x + kLabelOffset * sx, s.tip.y});
    return true;
}

bool VectorOverlay::penDown(const PenArgs& args) {
    if (!isVisible(args.time)) {
        return false;
    }
    updateFrameSize(args.time);
    if (effect() == nullptr || !effect()->getDouble(direction_, args.time)) {
        return false;
    }
    const Shape s = shapeAt(args.time);
    const double sx = args.pixelScale.x;
    const OfxPointD handle{s.tip.x - kTipHandleBack * sx * std::cos(s.radians),
                           s.tip.y - kTipHandleBack * sx * std::sin(s.radians)};
    bool hit = isWithin(args.penPosition, handle, kHeadLength * sx + kHitTolerance);
    const double dx = s.tip.x - s.centre.x;
    const double dy = s.tip.y - s.centre.y;
    const double lengthSquared = dx * dx + dy * dy;
    if (!hit && lengthSquared > 0.0) {
        // The outer part of the shaft; the part near the centre is left to other handles.
        const double t = std::clamp(
            ((args.penPosition.x - s.centre.x) * dx + (args.penPosition.y - s.centre.y) * dy) /
                lengthSquared,
            0.0, 1.0);
        hit = t > kShaftGrabStart &&
              isWithin(args.penPosition, {s.centre.x + t * dx, s.centre.y + t * dy}, kHitTolerance);
    }
    if (!hit) {
        return false;
    }
    beginDrag("Drag vector");
    return true;
}

bool VectorOverlay::penMotion(const PenArgs& args) {
    if (!isVisible(args.time)) {
        endDrag();
        return false;
    }
    updateFrameSize(args.time);
    if (state() != kDragging) {
        return false;
    }
    const OfxPointD c = toPixel(getPointValue(center_, args.time));
    const double dx = args.penPosition.x - c.x;
    const double dy = args.penPosition.y - c.y;
    // 0 to 360, so straight down is 270 and not -90.
    double degrees = std::atan2(dy, dx) * 180.0 / kPi;
    if (degrees < 0.0) {
        degrees += 360.0;
    }
    if (degrees >= 360.0) {
        degrees -= 360.0;
    }
    if (effect() != nullptr) {
        effect()->setDouble(direction_, degrees);
        if (effect()->getDouble(magnitude_, args.time)) {
            effect()->setDouble(magnitude_, limitSize(std::hypot(dx, dy) / minDim(), 0.01));
        }
    }
    return true;
}

bool VectorOverlay::penUp(const PenArgs& /*args*/) {
    return endDrag();
}

} // namespace OFX
