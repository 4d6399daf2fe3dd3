#include "overlays/OverlayBase.h"

#include "overlays/VisibilityCondition.h"

#include <algorithm>
#include <cmath>

namespace OFX {

namespace {

constexpr double kDefaultWidth = 1920.0;
constexpr double kDefaultHeight = 1080.0;
constexpr int kLabelAlignment = kOfxDrawTextAlignmentCenterH | kOfxDrawTextAlignmentTop;

enum CoordSystem : std::uint32_t { kUv = 0, kCentered = 1, kCenteredAspect = 2 };

} // namespace

void OverlayFrame::update(OverlayParams* effect, OfxTime time) {
    if (effect == nullptr) {
        return;
    }
    const std::optional<OfxRectD> region = effect->sourceRegion(time);
    if (!region) {
        return;
    }
    const double w = region->x2 - region->x1;
    const double h = region->y2 - region->y1;
    x = w > 0.0 ? region->x1 : 0.0;
    y = h > 0.0 ? region->y1 : 0.0;
    width = w > 0.0 ? w : kDefaultWidth;
    height = h > 0.0 ? h : kDefaultHeight;
    const double aspect = effect->sourcePixelAspect();
    pixelAspect = aspect > 0.0 ? aspect : 1.0;
}

OfxPointD OverlayFrame::toCanonical(const OfxPointD& normalized) const {
    return OfxPointD{x + normalized.x * width, y + normalized.y * height};
}

OfxPointD OverlayFrame::toNormalized(const OfxPointD& canonical) const {
    return OfxPointD{width > 0.0 ? (canonical.x - x) / width : 0.5,
                     height > 0.0 ? (canonical.y - y) / height : 0.5};
}

double OverlayFrame::imageAspect() const {
    return width > 0.0 && height > 0.0 && pixelAspect > 0.0 ? width / pixelAspect / height : 1.0;
}

OverlayBase::~OverlayBase() {
    // An interact destroyed mid-drag must not leave the host's edit block open.
    endDrag();
}

void OverlayBase::setColour(float r, float g, float b) {
    colour_[0] = r;
    colour_[1] = g;
    colour_[2] = b;
    hasColour_ = true;
}

OfxPointD OverlayBase::toPixel(const OfxPointD& normalized) const {
    return frame_.toCanonical(normalized);
}

OfxPointD OverlayBase::toNormalized(const OfxPointD& pixel) const {
    return frame_.toNormalized(pixel);
}

OfxPointD OverlayBase::getPointValue(const std::string& param, OfxTime time) const {
    const std::optional<OfxPointD> value =
        effect_ != nullptr ? effect_->getDouble2D(param, time) : std::nullopt;
    if (!value) {
        return OfxPointD{0.5, 0.5};
    }
    switch (coordSystem_) {
    case kCentered:
        return OfxPointD{value->x + 0.5, value->y + 0.5};
    case kCenteredAspect:
        // x counts in frame heights of image pixels, as the kernels place the value.
        return OfxPointD{value->x / frame_.imageAspect() + 0.5, value->y + 0.5};
    default:
        return *value;
    }
}

void OverlayBase::setPointValue(const std::string& param, const OfxPointD& normalized) {
    if (effect_ == nullptr) {
        return;
    }
    OfxPointD value = normalized;
    switch (coordSystem_) {
    case kCentered:
        value = OfxPointD{normalized.x - 0.5, normalized.y - 0.5};
        break;
    case kCenteredAspect:
        value = OfxPointD{(normalized.x - 0.5) * frame_.imageAspect(), normalized.y - 0.5};
        break;
    default:
        break;
    }
    effect_->setDouble2D(param, value.x, value.y);
}

bool OverlayBase::isVisible(OfxTime time) const {
    if (visibleWhen_.empty() || effect_ == nullptr) {
        return true;
    }
    const VisibilityCondition condition = VisibilityCondition::parse(visibleWhen_);
    if (condition.op == VisibilityCondition::Operator::None) {
        const std::optional<bool> shown = effect_->getBoolean(condition.name, time);
        return !shown || *shown;
    }
    std::optional<double> value;
    if (const auto choice = effect_->getChoice(condition.name, time)) {
        value = *choice;
    } else if (const auto integer = effect_->getInt(condition.name, time)) {
        value = *integer;
    } else if (const auto number = effect_->getDouble(condition.name, time)) {
        value = *number;
    } else if (const auto flag = effect_->getBoolean(condition.name, time)) {
        value = *flag ? 1.0 : 0.0;
    }
    // A condition on a parameter the effect does not have hides nothing.
    return !value || condition.holdsFor(*value);
}

bool OverlayBase::isWithin(const OfxPointD& a, const OfxPointD& b, double tolerance) {
    return std::abs(a.x - b.x) <= tolerance && std::abs(a.y - b.y) <= tolerance;
}

void OverlayBase::applyColour(OverlayCanvas& ctx) const {
    float r = hasColour_ ? colour_[0] : 1.0f;
    float g = hasColour_ ? colour_[1] : 1.0f;
    float b = hasColour_ ? colour_[2] : 1.0f;
    if (state_ == 1 || state_ == kDragging) {
        // Bright colours darken, dark ones lighten, so the highlight shows on either.
        if ((r + g + b) / 3.0f > 0.7f) {
            r = std::max(0.0f, r - 0.3f);
            g = std::max(0.0f, g - 0.3f);
            b = std::max(0.0f, b - 0.3f);
        } else {
            r = std::min(1.0f, r + 0.2f);
            g = std::min(1.0f, g + 0.4f);
            b = std::min(1.0f, b + 0.2f);
        }
    }
    ctx.setColour(OfxRGBAColourF{r, g, b, 1.0f});
}

void OverlayBase::applyLineWidth(OverlayCanvas& ctx, float width) {
    ctx.setLineWidth(width);
    ctx.setLineStipple(kOfxDrawLineStipplePatternSolid);
}

void OverlayBase::drawCircle(OverlayCanvas& ctx, const OfxPointD& centre, double radius,
                             const OfxPointD& pixelScale) {
    const double rx = radius * pixelScale.x;
    const double ry = radius * pixelScale.y;
    ctx.draw(kOfxDrawPrimitiveEllipse,
             {OfxPointD{centre.x - rx, centre.y - ry}, OfxPointD{centre.x + rx, centre.y + ry}});
}

void OverlayBase::drawLine(OverlayCanvas& ctx, const OfxPointD& from, const OfxPointD& to) {
    ctx.draw(kOfxDrawPrimitiveLines, {from, to});
}

void OverlayBase::drawLabel(OverlayCanvas& ctx, const OfxPointD& position) const {
    if (!label_.empty()) {
        ctx.drawText(label_, position, kLabelAlignment);
    }
}

double OverlayBase::minDim() const {
    return std::min(frame_.width, frame_.height);
}

double OverlayBase::limitSize(double value, double floor) {
    return value <= floor ? floor : std::min(value, 1.0);
}

void OverlayBase::beginDrag(const std::string& editLabel) {
    state_ = kDragging;
    if (effect_ != nullptr && !editBlockOpen_) {
        effect_->beginEditBlock(editLabel);
        editBlockOpen_ = true;
    }
}

bool OverlayBase::endDrag() {
    if (state_ != kDragging) {
        return false;
    }
    state_ = kIdle;
    if (editBlockOpen_) {
        editBlockOpen_ = false;
        effect_->endEditBlock();
    }
    return true;
}

} // namespace OFX
