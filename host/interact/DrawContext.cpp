#include "host/interact/DrawContext.h"

#include "host/record/Recorder.h"

namespace ofxhost {

namespace {

// The host's overlay palette, indexed by OfxStandardColour.
const OfxRGBAColourF kStandardColours[] = {
    {0.0f, 0.0f, 0.0f, 1.0f}, // background
    {1.0f, 1.0f, 0.0f, 1.0f}, // active
    {1.0f, 0.5f, 0.0f, 1.0f}, // selected
    {0.7f, 0.7f, 0.7f, 1.0f}, // deselected
    {1.0f, 1.0f, 1.0f, 1.0f}, // marquee foreground
    {0.0f, 0.0f, 0.0f, 0.5f}, // marquee background
    {1.0f, 1.0f, 1.0f, 1.0f}, // text
};
constexpr int kStandardColourCount = sizeof(kStandardColours) / sizeof(kStandardColours[0]);

bool validPointCount(int primitive, int count) {
    switch (primitive) {
    case kOfxDrawPrimitiveLines:
        return count >= 2 && count % 2 == 0;
    case kOfxDrawPrimitiveLineStrip:
    case kOfxDrawPrimitiveLineLoop:
        return count >= 2;
    case kOfxDrawPrimitiveRectangle:
    case kOfxDrawPrimitiveEllipse:
        return count == 2;
    case kOfxDrawPrimitivePolygon:
        return count >= 3;
    default:
        return false;
    }
}

} // namespace

DrawContext* DrawContext::fromHandle(OfxDrawContextHandle handle) {
    return objectFromHandle<DrawContext>(handle, HandleTag::DrawContextKind);
}

DrawCall DrawContext::stateCall(DrawCall::Kind kind) const {
    DrawCall call;
    call.kind = kind;
    call.colour = colour_;
    call.width = width_;
    call.stipple = stipple_;
    return call;
}

OfxStatus DrawContext::getColour(int standardColour, OfxRGBAColourF* colour) {
    if (!active_) {
        return kOfxStatFailed;
    }
    if (colour == nullptr || standardColour < 0 || standardColour >= kStandardColourCount) {
        return kOfxStatErrValue;
    }
    *colour = kStandardColours[standardColour];
    DrawCall call = stateCall(DrawCall::Kind::GetColour);
    call.standardColour = standardColour;
    recorder_.addDrawCall(std::move(call));
    return kOfxStatOK;
}

OfxStatus DrawContext::setColour(const OfxRGBAColourF* colour) {
    if (!active_) {
        return kOfxStatFailed;
    }
    if (colour == nullptr) {
        return kOfxStatErrValue;
    }
    colour_ = *colour;
    recorder_.addDrawCall(stateCall(DrawCall::Kind::SetColour));
    return kOfxStatOK;
}

OfxStatus DrawContext::setLineWidth(float width) {
    if (!active_) {
        return kOfxStatFailed;
    }
    if (width < 0.0f) {
        return kOfxStatErrValue;
    }
    width_ = width;
    recorder_.addDrawCall(stateCall(DrawCall::Kind::SetLineWidth));
    return kOfxStatOK;
}

OfxStatus DrawContext::setLineStipple(int pattern) {
    if (!active_) {
        return kOfxStatFailed;
    }
    if (pattern < kOfxDrawLineStipplePatternSolid || pattern > kOfxDrawLineStipplePatternDotDash) {
        return kOfxStatErrValue;
    }
    stipple_ = pattern;
    recorder_.addDrawCall(stateCall(DrawCall::Kind::SetLineStipple));
    return kOfxStatOK;
}

OfxStatus DrawContext::draw(int primitive, const OfxPointD* points, int count) {
    if (!active_) {
        return kOfxStatFailed;
    }
    if (points == nullptr || !validPointCount(primitive, count)) {
        return kOfxStatErrValue;
    }
    DrawCall call = stateCall(DrawCall::Kind::Draw);
    call.primitive = primitive;
    call.points.assign(points, points + count);
    recorder_.addDrawCall(std::move(call));
    return kOfxStatOK;
}

OfxStatus DrawContext::drawText(const char* text, const OfxPointD* position, int alignment) {
    if (!active_) {
        return kOfxStatFailed;
    }
    if (text == nullptr || position == nullptr) {
        return kOfxStatErrValue;
    }
    DrawCall call = stateCall(DrawCall::Kind::DrawText);
    call.text = text;
    call.points.push_back(*position);
    call.alignment = alignment;
    recorder_.addDrawCall(std::move(call));
    return kOfxStatOK;
}

} // namespace ofxhost
