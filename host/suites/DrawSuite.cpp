#include "host/suites/DrawSuite.h"

#include "host/core/StatusGuard.h"
#include "host/interact/DrawContext.h"

#include <cstring>

namespace ofxhost {

namespace {

// The plug-in may pass any integer: read enums as their bits, never as an invalid enum value.
template <class Enum>
int enumBits(const Enum& value) {
    static_assert(sizeof(Enum) == sizeof(int), "draw-suite enums are int-sized");
    int bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

template <class Body>
OfxStatus withContext(OfxDrawContextHandle handle, Body&& body) {
    return guardStatus([&]() -> OfxStatus {
        DrawContext* context = DrawContext::fromHandle(handle);
        return context == nullptr ? kOfxStatErrBadHandle : body(*context);
    });
}

OfxStatus getColour(OfxDrawContextHandle handle, OfxStandardColour colour, OfxRGBAColourF* out) {
    return withContext(handle, [&](DrawContext& c) { return c.getColour(enumBits(colour), out); });
}

OfxStatus setColour(OfxDrawContextHandle handle, const OfxRGBAColourF* colour) {
    return withContext(handle, [&](DrawContext& c) { return c.setColour(colour); });
}

OfxStatus setLineWidth(OfxDrawContextHandle handle, float width) {
    return withContext(handle, [&](DrawContext& c) { return c.setLineWidth(width); });
}

OfxStatus setLineStipple(OfxDrawContextHandle handle, OfxDrawLineStipplePattern pattern) {
    return withContext(handle, [&](DrawContext& c) { return c.setLineStipple(enumBits(pattern)); });
}

OfxStatus draw(OfxDrawContextHandle handle, OfxDrawPrimitive primitive, const OfxPointD* points,
               int count) {
    return withContext(handle,
                       [&](DrawContext& c) { return c.draw(enumBits(primitive), points, count); });
}

OfxStatus drawText(OfxDrawContextHandle handle, const char* text, const OfxPointD* position,
                   int alignment) {
    return withContext(handle,
                       [&](DrawContext& c) { return c.drawText(text, position, alignment); });
}

const OfxDrawSuiteV1 kDrawSuite = {getColour,      setColour, setLineWidth,
                                   setLineStipple, draw,      drawText};

} // namespace

const OfxDrawSuiteV1* drawSuiteV1() {
    return &kDrawSuite;
}

} // namespace ofxhost
