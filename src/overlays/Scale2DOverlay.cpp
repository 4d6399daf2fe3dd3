#include "overlays/Scale2DOverlay.h"

#include <cmath>

namespace OFX {

namespace {

constexpr double kHandleHalf = 8.0;   // px, x pixel scale on both axes
constexpr double kCrossHalf = 5.0;    // px
constexpr double kLabelOffset = 15.0; // px above the rectangle

std::vector<OfxPointD> square(const OfxPointD& at, double half) {
    return {{at.x - half, at.y - half}, {at.x + half, at.y + half}};
}

} // namespace

Scale2DOverlay::Scale2DOverlay(OverlayParams* effect, std::string scale, std::string center)
    : OverlayBase(effect), scale_(std::move(scale)), center_(std::move(center)) {}

OfxPointD Scale2DOverlay::centrePixel(OfxTime time) const {
    const std::optional<OfxPointD> centre =
        effect() != nullptr ? effect()->getDouble2D(center_, time) : std::nullopt;
    return toPixel(centre.value_or(OfxPointD{0.5, 0.5}));
}

OfxPointD Scale2DOverlay::scaleAt(OfxTime time) const {
    const std::optional<OfxPointD> scale =
        effect() != nullptr ? effect()->getDouble2D(scale_, time) : std::nullopt;
    return scale.value_or(OfxPointD{0.2, 0.2});
}

bool Scale2DOverlay::draw(OverlayCanvas& ctx, const DrawArgs& args) {
    if (!isVisible(args.time)) {
        return false;
    }
    updateFrameSize(args.time);
    const OfxPointD c = centrePixel(args.time);
    const OfxPointD scale = scaleAt(args.time);
    const double hx = scale.x * frameWidth();
    const double hy = scale.y * frameHeight();
    const OfxPointD ps = args.pixelScale;

    applyColour(ctx);
    applyLineWidth(ctx, 1.5f);
    const OfxPointD corners[] = {
        {c.x - hx, c.y - hy}, {c.x + hx, c.y - hy}, {c.x + hx, c.y + hy}, {c.x - hx, c.y + hy}};
    std::vector<OfxPointD> edges;
    for (int i = 0; i < 4; ++i) {
        edges.push_back(corners[i]);
        edges.push_back(corners[(i + 1) % 4]);
    }
    ctx.draw(kOfxDrawPrimitiveLines, edges);
    const double h = kHandleHalf * ps.x;
    ctx.draw(kOfxDrawPrimitiveRectangle, square({c.x + hx, c.y}, h));
    ctx.draw(kOfxDrawPrimitiveRectangle, square({c.x, c.y + hy}, h));
    ctx.draw(kOfxDrawPrimitiveRectangle, square({c.x + hx, c.y + hy}, h));
    ctx.draw(kOfxDrawPrimitiveLines, {{c.x - kCrossHalf * ps.x, c.y},
                                      {c.x + kCrossHalf * ps.x, c.y},
                                      {c.x, c.y - kCrossHalf * ps.y},
                                      {c.x, c.y + kCrossHalf * ps.y}});
    drawLabel(ctx, {c.x, c.y + hy + kLabelOffset * ps.y});
    return true;
}

bool Scale2DOverlay::penDown(const PenArgs& args) {
    if (!isVisible(args.time)) {
        return false;
    }
    updateFrameSize(args.time);
    if (effect() == nullptr || !effect()->getDouble2D(scale_, args.time)) {
        return false;
    }
    const OfxPointD c = centrePixel(args.time);
    const OfxPointD scale = scaleAt(args.time);
    const double hx = scale.x * frameWidth();
    const double hy = scale.y * frameHeight();
    // The corner first: it sits where both other handles' tolerances may reach.
    if (isWithin(args.penPosition, {c.x + hx, c.y + hy}, kHitTolerance)) {
        mode_ = Mode::Corner;
        beginDrag("Drag scale corner");
    } else if (isWithin(args.penPosition, {c.x + hx, c.y}, kHitTolerance)) {
        mode_ = Mode::X;
        beginDrag("Drag scale X");
    } else if (isWithin(args.penPosition, {c.x, c.y + hy}, kHitTolerance)) {
        mode_ = Mode::Y;
        beginDrag("Drag scale Y");
    } else {
        return false;
    }
    return true;
}

bool Scale2DOverlay::penMotion(const PenArgs& args) {
    if (!isVisible(args.time)) {
        endDrag();
        return false;
    }
    updateFrameSize(args.time);
    if (state() != kDragging) {
        return false;
    }
    const OfxPointD c = centrePixel(args.time);
    OfxPointD scale = scaleAt(args.time);
    if (mode_ == Mode::X || mode_ == Mode::Corner) {
        scale.x = limitSize(std::abs(args.penPosition.x - c.x) / frameWidth(), 0.01);
    }
    if (mode_ == Mode::Y || mode_ == Mode::Corner) {
        scale.y = limitSize(std::abs(args.penPosition.y - c.y) / frameHeight(), 0.01);
    }
    if (effect() != nullptr) {
        effect()->setDouble2D(scale_, scale.x, scale.y);
    }
    return true;
}

bool Scale2DOverlay::penUp(const PenArgs& /*args*/) {
    mode_ = Mode::None;
    return endDrag();
}

} // namespace OFX
