// Overlays in a viewer without the draw suite: the shipped plug-in draws them with OpenGL into
// a real (Mesa) context, where the draw suite would have put them, and leaves the context's
// state as it found it.

#include "RenderRun.h"

#include "host/cli/GlViewer.h"

#include <gtest/gtest.h>

#if defined(__linux__)
#include <dlfcn.h>
#endif

#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

using ofxhost::GlViewer;
using ofxhost::ImageIo;
using ofxhost::RgbaImage;
using testcli::CliTest;
using testcli::RenderRun;

struct Spread {
    int count = 0;
    double x = 0, y = 0; // centroid
    double angle = 0;    // principal axis, degrees in [0, 180)
};

// The pixels of a colour (cyan: no red; magenta: no green) within, or beyond, a distance of a
// point; rows from the bottom, as canonical y.
Spread spread(const RgbaImage& image, bool cyan, double cx, double cy, double radius, bool within) {
    std::vector<std::pair<double, double>> points;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const float* p = image.pixel(x, y);
            const float off = cyan ? p[0] : p[1];
            const float on = cyan ? std::min(p[1], p[2]) : std::min(p[0], p[2]);
            if (on - off < 0.5f || (std::hypot(x - cx, y - cy) <= radius) != within) {
                continue;
            }
            points.emplace_back(x, y);
        }
    }
    Spread s;
    s.count = static_cast<int>(points.size());
    for (const auto& [x, y] : points) {
        s.x += x / s.count;
        s.y += y / s.count;
    }
    double xx = 0, yy = 0, xy = 0;
    for (const auto& [x, y] : points) {
        xx += (x - s.x) * (x - s.x);
        yy += (y - s.y) * (y - s.y);
        xy += (x - s.x) * (y - s.y);
    }
    s.angle = std::fmod(0.5 * std::atan2(2 * xy, xx - yy) * 180 / kPi + 180, 180);
    return s;
}

class GlOverlays : public CliTest {
protected:
    void SetUp() override {
        if (!GlViewer::available()) {
            GTEST_SKIP() << "this build has no OpenGL viewer";
        }
        // Grey, so that no pixel of the picture reads as an overlay's colour.
        const auto grey = [](int, int, float* p) {
            p[0] = p[1] = p[2] = 0.3f;
            p[3] = 1.0f;
        };
        ImageIo::write(testcli::makeImage(320, 180, grey), dir.path() / "grey.exr");
    }
};

// The target and the falloff line with OpenGL (a host without the draw suite) and through the
// draw suite, as a viewer at 100 % shows them: the same pixels, within one.
TEST_F(GlOverlays, LandWhereTheDrawSuitePutsThemAndLeaveTheContextAsFound) {
    // Once with the target alone, once with the falloff line, whose label covers the target.
    const std::string scene = "-i grey.exr -o plain.png --set optical_center=0.1,-0.1 ";
    const std::string falloff =
        "--set falloff_enable=true --set falloff_type=1 --set falloff_angle=30 ";
    for (const std::string& look : {std::string(), falloff}) {
        const std::string gl = look.empty() ? "gl.png" : "gl-line.png";
        const std::string painted = look.empty() ? "suite.png" : "suite-line.png";
        const RenderRun withGl = run("--host nuke --overlays-gl " + gl + " " + scene + look);
        ASSERT_EQ(withGl.status, 0) << withGl.err; // GL state left changed: a breach, status 3
        EXPECT_EQ(withGl.err.find("violation"), std::string::npos) << withGl.err;
        const RenderRun withSuite =
            run("--host resolve --overlay-image " + painted + " " + scene + look);
        ASSERT_EQ(withSuite.status, 0) << withSuite.err;
    }

    // The optical centre: the frame centre plus (0.1, -0.1) frame heights. The crosshair and
    // the rings: the label is left out (the painter shows text as a box, GL as strokes).
    const double cx = 160 + 0.1 * 180, cy = 90 - 0.1 * 180;
    const Spread targetGl = spread(read("gl.png"), true, cx, cy, 18, true);
    const Spread targetSuite = spread(read("suite.png"), true, cx, cy, 18, true);
    ASSERT_GT(targetGl.count, 100);
    EXPECT_NEAR(targetGl.count, targetSuite.count, targetSuite.count / 5);
    EXPECT_NEAR(targetGl.x, targetSuite.x, 1.0);
    EXPECT_NEAR(targetGl.y, targetSuite.y, 1.0);
    EXPECT_NEAR(targetGl.x, cx, 1.0);
    EXPECT_NEAR(targetGl.y, cy, 1.0);

    // The line, away from the target, its label and its ticks.
    const Spread lineGl = spread(read("gl-line.png"), false, cx, cy, 60, false);
    const Spread lineSuite = spread(read("suite-line.png"), false, cx, cy, 60, false);
    ASSERT_GT(lineGl.count, 150);
    EXPECT_NEAR(lineGl.angle, 30.0, 1.0);
    EXPECT_NEAR(lineGl.angle, lineSuite.angle, 1.0);
    // Through the centre: its distance from the line through the pixels' centroid.
    const double a = lineGl.angle * kPi / 180;
    EXPECT_LT(std::abs(-(cx - lineGl.x) * std::sin(a) + (cy - lineGl.y) * std::cos(a)), 1.0);

    // The rendered picture has none of it, and away from the overlay the GL picture is it.
    const RgbaImage plain = read("plain.png"), gl = read("gl-line.png"); // the last run
    EXPECT_EQ(spread(plain, true, cx, cy, 18, true).count, 0);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(gl.pixel(5, 170)[c], plain.pixel(5, 170)[c]);
    }
    // With the draw suite the plug-in draws through it, and the GL picture says so.
    const RenderRun both = run("--host resolve --overlays-gl none.png " + scene);
    ASSERT_EQ(both.status, 0) << both.err;
    EXPECT_NE(both.err.find("draw suite"), std::string::npos) << both.err;
    EXPECT_EQ(spread(read("none.png"), true, cx, cy, 18, true).count, 0);
}

#if defined(__linux__)
// The viewer's own check: what a drawing leaves changed is named, what it restores is not.
TEST_F(GlOverlays, TheViewerNamesTheStateADrawingLeavesChanged) {
    // The GL the viewer loaded, as a plug-in finds it.
    auto gl = [](const char* name) { return dlsym(RTLD_DEFAULT, name); };
    const auto pushAttrib = reinterpret_cast<void (*)(unsigned)>(gl("glPushAttrib"));
    const auto popAttrib = reinterpret_cast<void (*)()>(gl("glPopAttrib"));
    const auto matrixMode = reinterpret_cast<void (*)(unsigned)>(gl("glMatrixMode"));
    const auto pushMatrix = reinterpret_cast<void (*)()>(gl("glPushMatrix"));
    const auto popMatrix = reinterpret_cast<void (*)()>(gl("glPopMatrix"));
    const auto lineWidth = reinterpret_cast<void (*)(float)>(gl("glLineWidth"));
    const auto enable = reinterpret_cast<void (*)(unsigned)>(gl("glEnable"));
    const auto translate = reinterpret_cast<void (*)(double, double, double)>(gl("glTranslated"));
    ASSERT_TRUE(pushAttrib && popAttrib && matrixMode && pushMatrix && popMatrix && lineWidth &&
                enable && translate);
    constexpr unsigned kAllAttributes = 0xffffffff, kModelView = 0x1700, kBlend = 0x0be2;

    RgbaImage picture(8, 8);
    const GlViewer::Shown careful = GlViewer::show(picture, 1.0, [&] {
        pushAttrib(kAllAttributes);
        matrixMode(kModelView);
        pushMatrix();
        lineWidth(5.0f);
        enable(kBlend);
        translate(1, 2, 0);
        popMatrix();
        popAttrib();
    });
    EXPECT_TRUE(careful.stateChanges.empty()) << careful.stateChanges.front();

    const GlViewer::Shown careless = GlViewer::show(picture, 1.0, [&] {
        matrixMode(kModelView);
        pushMatrix();
        lineWidth(5.0f);
        enable(kBlend);
        popAttrib(); // nothing pushed: an error
    });
    std::string all;
    for (const std::string& change : careless.stateChanges) {
        all += change + "\n";
    }
    for (const char* expected :
         {"line width", "GL_BLEND", "matrix mode", "modelview stack depth", "OpenGL error"}) {
        EXPECT_NE(all.find(expected), std::string::npos) << expected << " in\n" << all;
    }
}
#endif

} // namespace
