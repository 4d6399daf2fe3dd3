#include "overlays/PointOverlay.h"

#include <cmath>

namespace OFX {

namespace {

constexpr float kLineWidth = 2.0f;
constexpr double kArm = 15.0;         // px, crosshair, cross and diamond
constexpr double kTargetArm = 4.5;    // px
constexpr double kLabelOffset = 22.5; // px below the point (15 × 1.5)
constexpr double kPi = 3.14159265358979323846;

// A horizontal and a vertical line through p, arm px to each side.
void drawCross(OverlayCanvas& ctx, const OfxPointD& p, double arm, const OfxPointD& scale) {
    const double ax = arm * scale.x;
    const double ay = arm * scale.y;
    ctx.draw(kOfxDrawPrimitiveLines,
             {{p.x - ax, p.y}, {p.x + ax, p.y}, {p.x, p.y - ay}, {p.x, p.y + ay}});
}

} // namespace

PointOverlay::PointOverlay(OverlayParams* effect, std::string param, const std::string& style)
    : OverlayBase(effect), param_(std::move(param)), style_(pointStyleFromText(style)) {}

void PointOverlay::drawShape(OverlayCanvas& ctx, const OfxPointD& p, const OfxPointD& scale) const {
    switch (style_) {
    case PointStyle::Crosshair:
        drawCross(ctx, p, kArm, scale);
        drawCircle(ctx, p, 10.5, scale);
        break;
    case PointStyle::Target:
        drawCross(ctx, p, kTargetArm, scale);
        drawCircle(ctx, p, 7.5, scale);
        drawCircle(ctx, p, 15.0, scale);
        break;
    case PointStyle::Cross:
        drawCross(ctx, p, kArm, scale);
        break;
    case PointStyle::Diamond: {
        const double ax = kArm * scale.x;
        const double ay = kArm * scale.y;
        ctx.draw(kOfxDrawPrimitiveLineLoop,
                 {{p.x, p.y + ay}, {p.x + ax, p.y}, {p.x, p.y - ay}, {p.x - ax, p.y}});
        break;
    }
    case PointStyle::Axis:
        // Across the whole frame, whatever the zoom.
        ctx.draw(kOfxDrawPrimitiveLines, {{frame().x, p.y},
                                          {frame().x + frameWidth(), p.y},
                                          {p.x, frame().y},
                                          {p.x, frame().y + frameHeight()}});
        drawCircle(ctx, p, 3.75, scale);
        break;
    case PointStyle::Dot:
        drawCircle(ctx, p, 6.0, scale);
        break;
    case PointStyle::Sun: {
        drawCircle(ctx, p, 3.75, scale);
        drawCircle(ctx, p, 9.0, scale);
        std::vector<OfxPointD> rays;
        for (int k = 0; k < 8; ++k) {
            const double a = k * kPi / 4.0;
            const double c = std::cos(a);
            const double s = std::sin(a);
            rays.push_back({p.x + 11.25 * c * scale.x, p.y + 11.25 * s * scale.y});
            rays.push_back({p.x + 21.0 * c * scale.x, p.y + 21.0 * s * scale.y});
        }
        ctx.draw(kOfxDrawPrimitiveLines, rays);
        break;
    }
    }
}

bool PointOverlay::draw(OverlayCanvas& ctx, const DrawArgs& args) {
    if (!isVisible(args.time)) {
        return false;
    }
    updateFrameSize(args.time);
    const OfxPointD p = toPixel(getPointValue(param_, args.time));
    applyColour(ctx);
    applyLineWidth(ctx, kLineWidth);
    drawShape(ctx, p, args.pixelScale);
    drawLabel(ctx, OfxPointD{p.x, p.y - kLabelOffset * args.pixelScale.y});
    return true;
}

bool PointOverlay::penDown(const PenArgs& args) {
    if (!isVisible(args.time)) {
        return false;
    }
    updateFrameSize(args.time);
    const OfxPointD value = getPointValue(param_, args.time);
    if (!isWithin(args.penPosition, toPixel(value), kHitTolerance)) {
        return false;
    }
    lastPosition_ = value;
    moved_ = false;
    beginDrag("Drag " + param_);
    return true;
}

bool PointOverlay::penMotion(const PenArgs& args) {
    if (!isVisible(args.time)) {
        endDrag();
        return false;
    }
    updateFrameSize(args.time);
    if (state() != kDragging) {
        return false;
    }
    lastPosition_ = toNormalized(args.penPosition);
    moved_ = true;
    setPointValue(param_, lastPosition_);
    return true;
}

bool PointOverlay::penUp(const PenArgs& /*args*/) {
    if (state() != kDragging) {
        return false;
    }
    if (moved_) {
        setPointValue(param_, lastPosition_);
    }
    endDrag();
    return true;
}

} // namespace OFX
