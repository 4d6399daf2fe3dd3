#pragma once

#include "host/core/HandleTag.h"
#include "host/record/Records.h"

#include "ofx/ofxDrawSuite.h"

namespace ofxhost {

class Recorder;

// What an OfxDrawContextHandle points at: the drawing state of one overlay, recording every
// draw-suite call. Valid only while a draw action runs.
class DrawContext {
public:
    explicit DrawContext(Recorder& recorder) : recorder_(recorder) {}
    DrawContext(const DrawContext&) = delete;
    DrawContext& operator=(const DrawContext&) = delete;

    static DrawContext* fromHandle(OfxDrawContextHandle handle);
    OfxDrawContextHandle handle() { return reinterpret_cast<OfxDrawContextHandle>(this); }

    bool active() const { return active_; }
    void setActive(bool active) { active_ = active; }

    // Each records the call with the state after it. Statuses follow the draw suite.
    OfxStatus getColour(int standardColour, OfxRGBAColourF* colour);
    OfxStatus setColour(const OfxRGBAColourF* colour);
    OfxStatus setLineWidth(float width);
    OfxStatus setLineStipple(int pattern);
    OfxStatus draw(int primitive, const OfxPointD* points, int count);
    OfxStatus drawText(const char* text, const OfxPointD* position, int alignment);

private:
    DrawCall stateCall(DrawCall::Kind kind) const;

    HandleTag tag_{HandleTag::DrawContextKind, this};
    Recorder& recorder_;
    bool active_ = false;
    OfxRGBAColourF colour_{1.0f, 1.0f, 1.0f, 1.0f};
    float width_ = 0.0f;
    int stipple_ = kOfxDrawLineStipplePatternSolid;
};

} // namespace ofxhost
