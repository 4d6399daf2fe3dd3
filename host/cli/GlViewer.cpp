#include "host/cli/GlViewer.h"

#include "host/core/HostError.h"

#include <array>
#include <cstdio>
#include <type_traits>

#if defined(__linux__)
#include <dlfcn.h>
#endif

#if defined(__SANITIZE_ADDRESS__)
// Mesa keeps the buffers of off-screen contexts for the life of the process.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
    return "leak:libOSMesa.so\n";
}
#endif

namespace ofxhost {

#if defined(__linux__)

namespace {

// Mesa's off-screen renderer is loaded when a viewer is first made, not linked: processes that
// never show one carry no GL, and a plug-in in them finds none. It is loaded for every module
// to see (RTLD_GLOBAL), as a host's own GL library is.
using GLenum = unsigned;
using GLint = int;
using GLfloat = float;
using GLboolean = unsigned char;
using GLubyte = unsigned char;
using Context = struct OsMesaContext*;

constexpr GLenum GL_NO_ERROR = 0, GL_ZERO = 0, GL_ONE = 1;
constexpr GLenum GL_MODELVIEW = 0x1700, GL_PROJECTION = 0x1701;
constexpr GLenum GL_RGBA = 0x1908, GL_UNSIGNED_BYTE = 0x1401;
constexpr GLenum GL_CURRENT_COLOR = 0x0B00, GL_LINE_WIDTH = 0x0B21;
constexpr GLenum GL_LINE_STIPPLE_PATTERN = 0x0B25, GL_LINE_STIPPLE_REPEAT = 0x0B26;
constexpr GLenum GL_BLEND_SRC = 0x0BE1, GL_BLEND_DST = 0x0BE0, GL_MATRIX_MODE = 0x0BA0;
constexpr GLenum GL_MODELVIEW_STACK_DEPTH = 0x0BA3, GL_PROJECTION_STACK_DEPTH = 0x0BA4;
constexpr GLenum GL_ATTRIB_STACK_DEPTH = 0x0BB0;
constexpr GLenum GL_MODELVIEW_MATRIX = 0x0BA6, GL_PROJECTION_MATRIX = 0x0BA7;
constexpr GLenum GL_BLEND = 0x0BE2, GL_LINE_STIPPLE = 0x0B24, GL_LINE_SMOOTH = 0x0B20;
constexpr GLenum GL_TEXTURE_2D = 0x0DE1, GL_DEPTH_TEST = 0x0B71, GL_LIGHTING = 0x0B50;
constexpr GLenum GL_PACK_ALIGNMENT = 0x0D05, GL_UNPACK_ALIGNMENT = 0x0CF5;

struct Mesa {
    Context (*createContextExt)(GLenum format, GLint depth, GLint stencil, GLint accum,
                                Context share);
    GLboolean (*makeCurrent)(Context context, void* buffer, GLenum type, GLint width, GLint height);
    void (*destroyContext)(Context context);
    void (*viewport)(GLint x, GLint y, GLint width, GLint height);
    void (*matrixMode)(GLenum mode);
    void (*loadIdentity)();
    void (*ortho)(double left, double right, double bottom, double top, double near, double far);
    void (*rasterPos2d)(double x, double y);
    void (*pixelStorei)(GLenum name, GLint value);
    void (*drawPixels)(GLint width, GLint height, GLenum format, GLenum type, const void* data);
    void (*readPixels)(GLint x, GLint y, GLint width, GLint height, GLenum format, GLenum type,
                       void* data);
    void (*color4f)(GLfloat r, GLfloat g, GLfloat b, GLfloat a);
    void (*lineWidth)(GLfloat width);
    void (*lineStipple)(GLint factor, unsigned short pattern);
    void (*enable)(GLenum capability);
    void (*disable)(GLenum capability);
    void (*blendFunc)(GLenum source, GLenum destination);
    GLenum (*getError)();
    void (*getFloatv)(GLenum name, GLfloat* values);
    void (*getIntegerv)(GLenum name, GLint* values);
    GLboolean (*isEnabled)(GLenum capability);

    bool load() {
        void* library = dlopen("libOSMesa.so.8", RTLD_NOW | RTLD_GLOBAL);
        if (library == nullptr) {
            return false;
        }
        bool complete = true;
        auto take = [&](auto& entry, const char* name) {
            entry =
                reinterpret_cast<std::remove_reference_t<decltype(entry)>>(dlsym(library, name));
            complete = complete && entry != nullptr;
        };
        take(createContextExt, "OSMesaCreateContextExt");
        take(makeCurrent, "OSMesaMakeCurrent");
        take(destroyContext, "OSMesaDestroyContext");
        take(viewport, "glViewport");
        take(matrixMode, "glMatrixMode");
        take(loadIdentity, "glLoadIdentity");
        take(ortho, "glOrtho");
        take(rasterPos2d, "glRasterPos2d");
        take(pixelStorei, "glPixelStorei");
        take(drawPixels, "glDrawPixels");
        take(readPixels, "glReadPixels");
        take(color4f, "glColor4f");
        take(lineWidth, "glLineWidth");
        take(lineStipple, "glLineStipple");
        take(enable, "glEnable");
        take(disable, "glDisable");
        take(blendFunc, "glBlendFunc");
        take(getError, "glGetError");
        take(getFloatv, "glGetFloatv");
        take(getIntegerv, "glGetIntegerv");
        take(isEnabled, "glIsEnabled");
        return complete;
    }
};

const Mesa* mesa() {
    static const Mesa* const loaded = [] {
        static Mesa m;
        return m.load() ? &m : nullptr;
    }();
    return loaded;
}

// The state a plug-in drawing an overlay may change only if it puts it back.
struct GlState {
    std::array<GLfloat, 4> colour{};
    GLfloat lineWidth = 0;
    GLint stipplePattern = 0, stippleRepeat = 0;
    GLint blendSource = 0, blendDestination = 0;
    GLint matrixMode = 0;
    GLint modelViewDepth = 0, projectionDepth = 0, attribDepth = 0;
    std::array<GLfloat, 16> modelView{}, projection{};
    std::array<GLboolean, 6> enabled{};

    static constexpr std::array<GLenum, 6> kCapabilities{
        GL_BLEND, GL_LINE_STIPPLE, GL_LINE_SMOOTH, GL_TEXTURE_2D, GL_DEPTH_TEST, GL_LIGHTING};
    static constexpr std::array<const char*, 6> kCapabilityNames{
        "GL_BLEND",      "GL_LINE_STIPPLE", "GL_LINE_SMOOTH",
        "GL_TEXTURE_2D", "GL_DEPTH_TEST",   "GL_LIGHTING"};

    static GlState read(const Mesa& gl) {
        GlState s;
        gl.getFloatv(GL_CURRENT_COLOR, s.colour.data());
        gl.getFloatv(GL_LINE_WIDTH, &s.lineWidth);
        gl.getIntegerv(GL_LINE_STIPPLE_PATTERN, &s.stipplePattern);
        gl.getIntegerv(GL_LINE_STIPPLE_REPEAT, &s.stippleRepeat);
        gl.getIntegerv(GL_BLEND_SRC, &s.blendSource);
        gl.getIntegerv(GL_BLEND_DST, &s.blendDestination);
        gl.getIntegerv(GL_MATRIX_MODE, &s.matrixMode);
        gl.getIntegerv(GL_MODELVIEW_STACK_DEPTH, &s.modelViewDepth);
        gl.getIntegerv(GL_PROJECTION_STACK_DEPTH, &s.projectionDepth);
        gl.getIntegerv(GL_ATTRIB_STACK_DEPTH, &s.attribDepth);
        gl.getFloatv(GL_MODELVIEW_MATRIX, s.modelView.data());
        gl.getFloatv(GL_PROJECTION_MATRIX, s.projection.data());
        for (std::size_t i = 0; i < kCapabilities.size(); ++i) {
            s.enabled[i] = gl.isEnabled(kCapabilities[i]);
        }
        return s;
    }
};

std::string text(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

template <class T, std::size_t N>
std::string text(const std::array<T, N>& values) {
    std::string out;
    for (std::size_t i = 0; i < N; ++i) {
        out += (i == 0 ? "" : ",") + text(double(values[i]));
    }
    return out;
}

void compare(const GlState& before, const GlState& after, std::vector<std::string>& changes) {
    auto check = [&](const char* name, const auto& was, const auto& now) {
        if (!(was == now)) {
            changes.push_back(std::string("OpenGL ") + name + " left at " + text(now) + ", was " +
                              text(was));
        }
    };
    check("current colour", before.colour, after.colour);
    check("line width", double(before.lineWidth), double(after.lineWidth));
    check("line stipple pattern", double(before.stipplePattern), double(after.stipplePattern));
    check("line stipple repeat", double(before.stippleRepeat), double(after.stippleRepeat));
    check("blend source factor", double(before.blendSource), double(after.blendSource));
    check("blend destination factor", double(before.blendDestination),
          double(after.blendDestination));
    check("matrix mode", double(before.matrixMode), double(after.matrixMode));
    check("modelview stack depth", double(before.modelViewDepth), double(after.modelViewDepth));
    check("projection stack depth", double(before.projectionDepth), double(after.projectionDepth));
    check("attribute stack depth", double(before.attribDepth), double(after.attribDepth));
    check("modelview matrix", before.modelView, after.modelView);
    check("projection matrix", before.projection, after.projection);
    for (std::size_t i = 0; i < GlState::kCapabilities.size(); ++i) {
        if (before.enabled[i] != after.enabled[i]) {
            changes.push_back(std::string("OpenGL ") + GlState::kCapabilityNames[i] + " left " +
                              (after.enabled[i] ? "enabled" : "disabled") + ", was " +
                              (before.enabled[i] ? "enabled" : "disabled"));
        }
    }
}

} // namespace

bool GlViewer::available() {
    return mesa() != nullptr;
}

GlViewer::Shown GlViewer::show(const RgbaImage& background, double scale,
                               const std::function<void()>& draw) {
    const Mesa* loaded = mesa();
    if (loaded == nullptr) {
        throw HostError(kOfxStatErrUnsupported, "no OpenGL viewer: Mesa's off-screen renderer "
                                                "(libOSMesa.so.8, Debian's libosmesa6) is missing");
    }
    const Mesa& gl = *loaded;
    const int width = background.width();
    const int height = background.height();
    const Context context = gl.createContextExt(GL_RGBA, 0, 0, 0, nullptr);
    if (context == nullptr) {
        throw HostError(kOfxStatFailed, "no OpenGL context could be made (OSMesa)");
    }
    struct Release {
        const Mesa& gl;
        Context context;
        ~Release() { gl.destroyContext(context); }
    } release{gl, context};
    std::vector<GLubyte> pixels(std::size_t(width) * height * 4);
    if (!gl.makeCurrent(context, pixels.data(), GL_UNSIGNED_BYTE, width, height)) {
        throw HostError(kOfxStatFailed, "the OpenGL context could not be made current (OSMesa)");
    }

    // The picture as the 8-bit file shows it, rows from the bottom like canonical y.
    const std::vector<unsigned char> shown = background.bytes(4, false);
    gl.viewport(0, 0, width, height);
    gl.matrixMode(GL_PROJECTION);
    gl.loadIdentity();
    gl.ortho(0.0, width / scale, 0.0, height / scale, -1.0, 1.0);
    gl.matrixMode(GL_MODELVIEW);
    gl.loadIdentity();
    gl.rasterPos2d(0.0, 0.0);
    gl.pixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gl.drawPixels(width, height, GL_RGBA, GL_UNSIGNED_BYTE, shown.data());

    // State of the viewer's own that the overlay must neither rely on nor keep.
    gl.color4f(0.2f, 0.4f, 0.6f, 0.8f);
    gl.lineWidth(3.0f);
    gl.lineStipple(2, 0xf0f0);
    gl.enable(GL_LINE_STIPPLE);
    gl.disable(GL_BLEND);
    gl.blendFunc(GL_ONE, GL_ZERO);
    gl.matrixMode(GL_PROJECTION);
    while (gl.getError() != GL_NO_ERROR) {
    }

    Shown result;
    const GlState before = GlState::read(gl);
    draw();
    for (GLenum error = gl.getError(); error != GL_NO_ERROR; error = gl.getError()) {
        result.stateChanges.push_back("OpenGL error " + text(double(error)) + " raised");
    }
    compare(before, GlState::read(gl), result.stateChanges);

    gl.pixelStorei(GL_PACK_ALIGNMENT, 1);
    std::vector<GLubyte> read(std::size_t(width) * height * 4);
    gl.readPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, read.data());
    result.picture = RgbaImage(width, height);
    float* out = result.picture.data();
    for (std::size_t i = 0; i < read.size(); ++i) {
        out[i] = read[i] / 255.0f;
    }
    return result;
}

#else

bool GlViewer::available() {
    return false;
}

GlViewer::Shown GlViewer::show(const RgbaImage&, double, const std::function<void()>&) {
    throw HostError(kOfxStatErrUnsupported,
                    "this halden-render has no OpenGL viewer (it needs Mesa's off-screen "
                    "renderer, on Linux)");
}

#endif

} // namespace ofxhost
