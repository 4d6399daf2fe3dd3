#include "overlays/GlCanvas.h"

#include "overlays/DrawSuiteCanvas.h"
#include "overlays/StrokeFont.h"

#include "log/Logger.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace OFX {

namespace {

#if defined(_WIN32)
#define HALDEN_GL_CALL __stdcall
#else
#define HALDEN_GL_CALL
#endif

// OpenGL 1.1 values, stable since 1992.
constexpr unsigned kLines = 0x0001;
constexpr unsigned kLineLoop = 0x0002;
constexpr unsigned kLineStrip = 0x0003;
constexpr unsigned kQuads = 0x0007;
constexpr unsigned kPolygon = 0x0009;
constexpr unsigned kLineSmooth = 0x0B20;
constexpr unsigned kLineStipple = 0x0B24;
constexpr unsigned kLighting = 0x0B50;
constexpr unsigned kDepthTest = 0x0B71;
constexpr unsigned kBlend = 0x0BE2;
constexpr unsigned kTexture2D = 0x0DE1;
constexpr unsigned kSrcAlpha = 0x0302;
constexpr unsigned kOneMinusSrcAlpha = 0x0303;
constexpr unsigned kModelView = 0x1700;
constexpr unsigned kCurrentBit = 0x0001;
constexpr unsigned kLineBit = 0x0004;
constexpr unsigned kPolygonBit = 0x0008;
constexpr unsigned kTransformBit = 0x1000;
constexpr unsigned kEnableBit = 0x2000;
constexpr unsigned kColourBufferBit = 0x4000;

constexpr double kPi = 3.14159265358979323846;

// Text box metrics in screen pixels: line height and descent below the baseline.
constexpr double kLineHeight = 9.0;
constexpr double kDescent = 2.0;

void* glEntry(const char* name) {
#if defined(_WIN32)
    // Only a library the host has loaded: GetModuleHandle does not load one.
    const HMODULE library = GetModuleHandleW(L"opengl32.dll");
    return library != nullptr ? reinterpret_cast<void*>(GetProcAddress(library, name)) : nullptr;
#else
    if (void* entry = dlsym(RTLD_DEFAULT, name)) {
        return entry;
    }
    // A host may have loaded GL privately; RTLD_NOLOAD finds it without loading anything.
    for (const char* library : {"libGL.so.1", "libOpenGL.so.0", "libOSMesa.so.8"}) {
        if (void* handle = dlopen(library, RTLD_LAZY | RTLD_NOLOAD)) {
            void* entry = dlsym(handle, name);
            dlclose(handle);
            if (entry != nullptr) {
                return entry;
            }
        }
    }
    return nullptr;
#endif
}

} // namespace

struct GlFunctions {
    void(HALDEN_GL_CALL* begin)(unsigned mode);
    void(HALDEN_GL_CALL* end)();
    void(HALDEN_GL_CALL* vertex2d)(double x, double y);
    void(HALDEN_GL_CALL* color4f)(float r, float g, float b, float a);
    void(HALDEN_GL_CALL* lineWidth)(float width);
    void(HALDEN_GL_CALL* lineStipple)(int factor, unsigned short pattern);
    void(HALDEN_GL_CALL* enable)(unsigned capability);
    void(HALDEN_GL_CALL* disable)(unsigned capability);
    void(HALDEN_GL_CALL* blendFunc)(unsigned source, unsigned destination);
    void(HALDEN_GL_CALL* pushAttrib)(unsigned mask);
    void(HALDEN_GL_CALL* popAttrib)();
    void(HALDEN_GL_CALL* matrixMode)(unsigned mode);
    void(HALDEN_GL_CALL* pushMatrix)();
    void(HALDEN_GL_CALL* popMatrix)();

    // All of them, or false.
    bool load() {
        bool complete = true;
        auto take = [&](auto& entry, const char* name) {
            entry = reinterpret_cast<std::remove_reference_t<decltype(entry)>>(glEntry(name));
            complete = complete && entry != nullptr;
        };
        take(begin, "glBegin");
        take(end, "glEnd");
        take(vertex2d, "glVertex2d");
        take(color4f, "glColor4f");
        take(lineWidth, "glLineWidth");
        take(lineStipple, "glLineStipple");
        take(enable, "glEnable");
        take(disable, "glDisable");
        take(blendFunc, "glBlendFunc");
        take(pushAttrib, "glPushAttrib");
        take(popAttrib, "glPopAttrib");
        take(matrixMode, "glMatrixMode");
        take(pushMatrix, "glPushMatrix");
        take(popMatrix, "glPopMatrix");
        return complete;
    }
};

const GlFunctions* GlCanvas::functions() {
    // A host loads its GL before it opens a viewer, and keeps it: one look serves the process.
    static const GlFunctions* const found = [] {
        static GlFunctions gl;
        return gl.load() ? &gl : nullptr;
    }();
    return found;
}

GlCanvas::GlCanvas(const GlFunctions& gl, const DrawArgs& args)
    : gl_(gl), pixelScale_(args.pixelScale) {
    gl_.pushAttrib(kCurrentBit | kLineBit | kPolygonBit | kTransformBit | kEnableBit |
                   kColourBufferBit);
    gl_.matrixMode(kModelView);
    gl_.pushMatrix();
    gl_.disable(kTexture2D);
    gl_.disable(kLighting);
    gl_.disable(kDepthTest);
    gl_.disable(kLineStipple);
    gl_.disable(kLineSmooth);
    gl_.enable(kBlend);
    gl_.blendFunc(kSrcAlpha, kOneMinusSrcAlpha);
    gl_.lineWidth(1.0f);
    gl_.color4f(1.0f, 1.0f, 1.0f, 1.0f);
}

GlCanvas::~GlCanvas() {
    gl_.matrixMode(kModelView);
    gl_.popMatrix();
    gl_.popAttrib(); // the matrix mode too
}

void GlCanvas::setColour(const OfxRGBAColourF& colour) {
    gl_.color4f(colour.r, colour.g, colour.b, colour.a);
}

void GlCanvas::setLineWidth(float width) {
    lineWidth_ = width;
    // As the draw suite: 0 is a single-pixel line, more a smooth line of that width.
    if (width > 0.0f && std::isfinite(width)) {
        gl_.lineWidth(width);
        gl_.enable(kLineSmooth);
    } else {
        gl_.lineWidth(1.0f);
        gl_.disable(kLineSmooth);
    }
}

void GlCanvas::setLineStipple(OfxDrawLineStipplePattern pattern) {
    stipple_ = pattern;
    // 16 pixels of each pattern, the first pixel in the low bit.
    unsigned short bits = 0xffff;
    switch (pattern) {
    case kOfxDrawLineStipplePatternDot:
        bits = 0x3333;
        break;
    case kOfxDrawLineStipplePatternDash:
        bits = 0x00ff;
        break;
    case kOfxDrawLineStipplePatternAltDash:
        bits = 0xff00;
        break;
    case kOfxDrawLineStipplePatternDotDash:
        bits = 0x0c3f;
        break;
    default:
        gl_.disable(kLineStipple);
        return;
    }
    gl_.lineStipple(1, bits);
    gl_.enable(kLineStipple);
}

void GlCanvas::vertices(unsigned mode, const std::vector<OfxPointD>& points) const {
    gl_.begin(mode);
    for (const OfxPointD& point : points) {
        gl_.vertex2d(point.x, point.y);
    }
    gl_.end();
}

void GlCanvas::draw(OfxDrawPrimitive primitive, const std::vector<OfxPointD>& points) {
    switch (primitive) {
    case kOfxDrawPrimitiveLines:
        vertices(kLines, points);
        break;
    case kOfxDrawPrimitiveLineStrip:
        vertices(kLineStrip, points);
        break;
    case kOfxDrawPrimitiveLineLoop:
        vertices(kLineLoop, points);
        break;
    case kOfxDrawPrimitiveRectangle:
        if (points.size() == 2) {
            vertices(
                kQuads,
                {points[0], {points[1].x, points[0].y}, points[1], {points[0].x, points[1].y}});
        }
        break;
    case kOfxDrawPrimitivePolygon:
        vertices(kPolygon, points);
        break;
    case kOfxDrawPrimitiveEllipse: {
        if (points.size() != 2) {
            break;
        }
        // The outline inside the box of the two corners, a segment every 3 pixels or so.
        const double cx = (points[0].x + points[1].x) / 2.0;
        const double cy = (points[0].y + points[1].y) / 2.0;
        const double rx = std::abs(points[1].x - points[0].x) / 2.0;
        const double ry = std::abs(points[1].y - points[0].y) / 2.0;
        const double pixels = rx / std::max(std::abs(pixelScale_.x), 1e-9) +
                              ry / std::max(std::abs(pixelScale_.y), 1e-9);
        if (!std::isfinite(pixels)) {
            break;
        }
        const int segments =
            static_cast<int>(std::clamp(std::ceil(kPi * pixels / 3.0), 16.0, 720.0));
        std::vector<OfxPointD> outline;
        outline.reserve(segments);
        for (int i = 0; i < segments; ++i) {
            const double angle = 2.0 * kPi * i / segments;
            outline.push_back({cx + rx * std::cos(angle), cy + ry * std::sin(angle)});
        }
        vertices(kLineLoop, outline);
        break;
    }
    default:
        break;
    }
}

void GlCanvas::drawText(const std::string& text, const OfxPointD& position, int alignment) {
    const int characters = StrokeFont::characterCount(text);
    if (characters == 0) {
        return;
    }
    // The box the text fills, in screen pixels from the position, as the draw suite aligns it.
    const double boxWidth = StrokeFont::kAdvance * characters;
    const bool left = (alignment & kOfxDrawTextAlignmentLeft) != 0;
    const bool right = (alignment & kOfxDrawTextAlignmentRight) != 0;
    const bool top = (alignment & kOfxDrawTextAlignmentTop) != 0;
    const bool bottom = (alignment & kOfxDrawTextAlignmentBottom) != 0;
    const bool baseline = (alignment & kOfxDrawTextAlignmentBaseline) != 0;
    double x0 = 0.0; // left aligned, also when no flag is given
    if (left && right) {
        x0 = -boxWidth / 2.0;
    } else if (right) {
        x0 = -boxWidth;
    }
    double y0 = -kDescent; // on the baseline, also when no flag is given
    if (top && (bottom || baseline)) {
        y0 = -kLineHeight / 2.0;
    } else if (top) {
        y0 = -kLineHeight;
    } else if (bottom) {
        y0 = 0.0;
    }
    const double baseX = x0;
    const double baseY = y0 + kDescent;
    // Text is drawn with single-pixel, solid lines; the overlay's own come back after it.
    const float width = lineWidth_;
    const OfxDrawLineStipplePattern stipple = stipple_;
    setLineWidth(0.0f);
    setLineStipple(kOfxDrawLineStipplePatternSolid);
    StrokeFont::strokes(text, [&](const double* points, int count) {
        gl_.begin(kLineStrip);
        for (int i = 0; i < count; ++i) {
            gl_.vertex2d(position.x + (baseX + points[2 * i]) * pixelScale_.x,
                         position.y + (baseY + points[2 * i + 1]) * pixelScale_.y);
        }
        gl_.end();
    });
    setLineWidth(width);
    setLineStipple(stipple);
}

std::unique_ptr<OverlayCanvas> openOverlayCanvas(const DrawArgs& args, bool& logged) {
    auto suite = std::make_unique<DrawSuiteCanvas>(args);
    const GlFunctions* gl = suite->isAvailable() ? nullptr : GlCanvas::functions();
    if (!logged) {
        logged = true;
        if (suite->isAvailable()) {
            HALDEN_LOG_INFO("Overlays draw through the host's draw suite");
        } else if (gl != nullptr) {
            HALDEN_LOG_INFO("Overlays draw with OpenGL: the host gave no draw suite");
        } else {
            HALDEN_LOG_INFO("Overlays are not drawn: the host gave no draw suite and has no "
                            "OpenGL loaded");
        }
    }
    if (gl != nullptr) {
        return std::make_unique<GlCanvas>(*gl, args);
    }
    return suite;
}

} // namespace OFX
