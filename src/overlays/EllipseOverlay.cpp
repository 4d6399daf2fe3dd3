#include "overlays/EllipseOverlay.h"

#include <cmath>

namespace OFX {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kSegments = 48;
constexpr double kHandleOutside = 12.0;      // px
constexpr double kHandleInside = 12.0 * 0.3; // px
constexpr double kLabelOffset = 15.0;        // px

} // namespace

EllipseOverlay::EllipseOverlay(OverlayParams* effect, std::string radii, std::string center)
    : OverlayBase(effect), radii_(std::move(radii)), center_(std::move(center)) {}

OfxPointD EllipseOverlay::radiiAt(OfxTime time) const {
    const std::optional<OfxPointD> radii =
        effect() != nullptr ? effect()->getDouble2D(radii_, time) : std::nullopt;
    return radii.value_or(OfxPointD{0.1, 0.1});
}

bool EllipseOverlay::draw(OverlayCanvas& ctx, const DrawArgs& args) {
    if (!isVisible(args.time)) {
        return false;
    }
    updateFrameSize(args.time);
    const OfxPointD c = toPixel(getPointValue(center_, args.time));
    const OfxPointD radii = radiiAt(args.time);
    const double rx = minDim() * radii.x;
    const double ry = minDim() * radii.y;
    const OfxPointD scale = args.pixelScale;

    applyColour(ctx);
    applyLineWidth(ctx, 1.5f);
    std::vector<OfxPointD> outline;
    for (int k = 0; k <= kSegments; ++k) {
        const double a = k * 2.0 * kPi / kSegments;
        outline.push_back({c.x + rx * std::cos(a), c.y + ry * std::sin(a)});
    }
    ctx.draw(kOfxDrawPrimitiveLineStrip, outline);
    applyLineWidth(ctx, 2.5f);
    drawLine(ctx, {c.x + rx - kHandleInside * scale.x, c.y},
             {c.x + rx + kHandleOutside * scale.x, c.y});
    drawLine(ctx, {c.x, c.y + ry - kHandleInside * scale.y},
             {c.x, c.y + ry + kHandleOutside * scale.y});
    drawLabel(ctx, {c.x, c.y - ry - kLabelOffset * scale.y});
    return true;
}

bool EllipseOverlay::penDown(const PenArgs& args) {
    if (!isVisible(args.time)) {
        return false;
    }
    updateFrameSize(args.time);
    if (effect() == nullptr || !effect()->getDouble2D(radii_, args.time) ||
        !effect()->getDouble2D(center_, args.time)) {
        return false;
    }
    const OfxPointD c = toPixel(getPointValue(center_, args.time));
    const OfxPointD radii = radiiAt(args.time);
    if (isWithin(args.penPosition, {c.x + minDim() * radii.x, c.y}, kHitTolerance)) {
        axis_ = Axis::X;
        beginDrag("Drag ellipse X");
        return true;
    }
    if (isWithin(args.penPosition, {c.x, c.y + minDim() * radii.y}, kHitTolerance)) {
        axis_ = Axis::Y;
        beginDrag("Drag ellipse Y");
        return true;
    }
    return false;
}

bool EllipseOverlay::penMotion(const PenArgs& args) {
    if (!isVisible(args.time)) {
        endDrag();
        return false;
    }
    updateFrameSize(args.time);
    if (state() != kDragging) {
        return false;
    }
    const OfxPointD c = toPixel(getPointValue(center_, args.time));
    OfxPointD radii = radiiAt(args.time);
    if (axis_ == Axis::X) {
        radii.x = limitSize(std::abs(args.penPosition.x - c.x) / minDim(), 0.01);
    } else {
        radii.y = limitSize(std::abs(args.penPosition.y - c.y) / minDim(), 0.01);
    }
    if (effect() != nullptr) {
        effect()->setDouble2D(radii_, radii.x, radii.y);
    }
    return true;
}

bool EllipseOverlay::penUp(const PenArgs& /*args*/) {
    axis_ = Axis::None;
    return endDrag();
}

} // namespace OFX
