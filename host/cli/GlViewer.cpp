#include "host/cli/GlViewer.h"

#include "host/core/HostError.h"

#include <cstdio>

#if defined(HALDEN_HAVE_OSMESA)
#include <GL/osmesa.h>

#include <array>
#endif

namespace ofxhost {

#if defined(HALDEN_HAVE_OSMESA)

namespace {

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

    static GlState read() {
        GlState s;
        glGetFloatv(GL_CURRENT_COLOR, s.colour.data());
        glGetFloatv(GL_LINE_WIDTH, &s.lineWidth);
        glGetIntegerv(GL_LINE_STIPPLE_PATTERN, &s.stipplePattern);
        glGetIntegerv(GL_LINE_STIPPLE_REPEAT, &s.stippleRepeat);
        glGetIntegerv(GL_BLEND_SRC, &s.blendSource);
        glGetIntegerv(GL_BLEND_DST, &s.blendDestination);
        glGetIntegerv(GL_MATRIX_MODE, &s.matrixMode);
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &s.modelViewDepth);
        glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &s.projectionDepth);
        glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &s.attribDepth);
        glGetFloatv(GL_MODELVIEW_MATRIX, s.modelView.data());
        glGetFloatv(GL_PROJECTION_MATRIX, s.projection.data());
        for (std::size_t i = 0; i < kCapabilities.size(); ++i) {
            s.enabled[i] = glIsEnabled(kCapabilities[i]);
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
    return true;
}

GlViewer::Shown GlViewer::show(const RgbaImage& background, double scale,
                               const std::function<void()>& draw) {
    const int width = background.width();
    const int height = background.height();
    OSMesaContext context = OSMesaCreateContextExt(OSMESA_RGBA, 0, 0, 0, nullptr);
    if (context == nullptr) {
        throw HostError(kOfxStatFailed, "no OpenGL context could be made (OSMesa)");
    }
    struct Release {
        OSMesaContext context;
        ~Release() { OSMesaDestroyContext(context); }
    } release{context};
    std::vector<GLubyte> pixels(std::size_t(width) * height * 4);
    if (!OSMesaMakeCurrent(context, pixels.data(), GL_UNSIGNED_BYTE, width, height)) {
        throw HostError(kOfxStatFailed, "the OpenGL context could not be made current (OSMesa)");
    }

    // The picture as the 8-bit file shows it, rows from the bottom like canonical y.
    const std::vector<unsigned char> shown = background.bytes(4, false);
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, width / scale, 0.0, height / scale, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRasterPos2d(0.0, 0.0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glDrawPixels(width, height, GL_RGBA, GL_UNSIGNED_BYTE, shown.data());

    // State of the viewer's own that the overlay must neither rely on nor keep.
    glColor4f(0.2f, 0.4f, 0.6f, 0.8f);
    glLineWidth(3.0f);
    glLineStipple(2, 0xf0f0);
    glEnable(GL_LINE_STIPPLE);
    glDisable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ZERO);
    glMatrixMode(GL_PROJECTION);
    while (glGetError() != GL_NO_ERROR) {
    }

    Shown result;
    const GlState before = GlState::read();
    draw();
    for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError()) {
        result.stateChanges.push_back("OpenGL error " + text(double(error)) + " raised");
    }
    compare(before, GlState::read(), result.stateChanges);

    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    std::vector<GLubyte> read(std::size_t(width) * height * 4);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, read.data());
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
                    "this halden-render has no OpenGL viewer (it was built without "
                    "libosmesa6-dev)");
}

#endif

} // namespace ofxhost
