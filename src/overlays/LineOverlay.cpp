#include "overlays/LineOverlay.h"

#include <algorithm>
#include <cmath>

namespace OFX {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTickDistance = 50.0; // px from the centre along the line
constexpr double kTickHalf = 8.0;      // px
constexpr double kLabelOffset = 15.0;  // px

double distanceToSegment(const OfxPointD& p, const OfxPointD& a, const OfxPointD& b) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double length = std::hypot(dx, dy);
    if (length < 0.01) {
        return std::hypot(p.x - a.x, p.y - a.y);
    }
    const double t =
        std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / (length * length), 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

} // namespace

LineOverlay::LineOverlay(OverlayParams* effect, std::string center, std::string angle)
    : OverlayBase(effect), center_(std::move(center)), angle_(std::move(angle)) {}

OfxPointD LineOverlay::direction(OfxTime time) const {
    const std::optional<double> angle =
        effect() != nullptr ? effect()->getDouble(angle_, time) : std::nullopt;
    const double a = angle.value_or(0.0) * kPi / 180.0;
    const double x = std::cos(a) * frame().pixelAspect;
    const double y = std::sin(a);
    const double length = std::hypot(x, y);
    return OfxPointD{x / length, y / length};
}

bool LineOverlay::draw(OverlayCanvas& ctx, const DrawArgs& args) {
    if (!isVisible(args.time)) {
        return false;
    }
    updateFrameSize(args.time);
    const OfxPointD c = toPixel(getPointValue(center_, args.time));
    const OfxPointD d = direction(args.time);
    // Long enough to cross the whole frame from any centre inside it.
    const double reach = std::hypot(frameWidth(), frameHeight());
    const double sx = args.pixelScale.x;

    applyColour(ctx);
    applyLineWidth(ctx, 2.0f);
    drawLine(ctx, {c.x - reach * d.x, c.y - reach * d.y}, {c.x + reach * d.x, c.y + reach * d.y});
    std::vector<OfxPointD> ticks;
    for (const double side : {-1.0, 1.0}) {
        const OfxPointD t{c.x + side * kTickDistance * sx * d.x,
                          c.y + side * kTickDistance * sx * d.y};
        ticks.push_back({t.x + d.y * kTickHalf * sx, t.y - d.x * kTickHalf * sx});
        ticks.push_back({t.x - d.y * kTickHalf * sx, t.y + d.x * kTickHalf * sx});
    }
    ctx.draw(kOfxDrawPrimitiveLines, ticks);
    drawCircle(ctx, c, 5.0, args.pixelScale);
    drawLabel(ctx, {c.x + kLabelOffset * sx, c.y + kLabelOffset * args.pixelScale.y});
    return true;
}

bool LineOverlay::penDown(const PenArgs& args) {
    if (!isVisible(args.time)) {
        return false;
    }
    updateFrameSize(args.time);
    const OfxPointD c = toPixel(getPointValue(center_, args.time));
    if (isWithin(args.penPosition, c, kHitTolerance)) {
        mode_ = Mode::MoveCentre;
        beginDrag("Drag line center");
        return true;
    }
    const OfxPointD d = direction(args.time);
    const double reach = std::hypot(frameWidth(), frameHeight());
    const OfxPointD from{c.x - reach * d.x, c.y - reach * d.y};
    const OfxPointD to{c.x + reach * d.x, c.y + reach * d.y};
    if (distanceToSegment(args.penPosition, from, to) > kHitTolerance) {
        return false;
    }
    mode_ = Mode::Rotate;
    beginDrag("Rotate line");
    return true;
}

bool LineOverlay::penMotion(const PenArgs& args) {
    if (!isVisible(args.time)) {
        endDrag();
        return false;
    }
    updateFrameSize(args.time);
    if (state() != kDragging) {
        return false;
    }
    if (mode_ == Mode::Rotate) {
        const OfxPointD c = toPixel(getPointValue(center_, args.time));
        const double dx = (args.penPosition.x - c.x) / frame().pixelAspect;
        double degrees = std::atan2(args.penPosition.y - c.y, dx) * 180.0 / kPi;
        while (degrees > 180.0) {
            degrees -= 360.0;
        }
        while (degrees < -180.0) {
            degrees += 360.0;
        }
        if (effect() != nullptr) {
            effect()->setDouble(angle_, degrees);
        }
    } else {
        setPointValue(center_, toNormalized(args.penPosition));
    }
    return true;
}

bool LineOverlay::penUp(const PenArgs& /*args*/) {
    mode_ = Mode::None;
    return endDrag();
}

} // namespace OFX
