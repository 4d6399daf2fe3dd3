// halden-render's --overlays and --overlay-image with the test plug-in, whose overlay is a red
// square of side 20 around its "center" parameter and the label "center" on it.

#include "RenderRun.h"

#include "JsonReader.h"

#include "host/cli/ImageIo.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>

namespace {

using ofxhost::ImageIo;
using ofxhost::RgbaImage;
using testcli::CliTest;
using testcli::RenderRun;
using teste2e::JsonReader;
using teste2e::JsonValue;

class OverlayOutput : public CliTest {
protected:
    OverlayOutput() {
        // A gradient, so that an unchanged pixel is not merely one of many alike.
        const auto gradient = [](int x, int y, float* p) {
            p[0] = p[1] = p[2] = 0.1f + 0.6f * float(x + y) / 200.0f;
            p[3] = 1.0f;
        };
        ImageIo::write(testcli::makeImage(120, 80, gradient), dir.path() / "in.exr");
    }

    RenderRun render(const std::string& arguments) const {
        return run(std::string("--bundle \"") + HALDEN_TEST_PLUGIN_BUNDLE + "\" -i in.exr " +
                   arguments);
    }

    JsonValue json(const std::string& name) const {
        return JsonReader::parse(testenv::readFile(dir.path() / name));
    }
};

TEST_F(OverlayOutput, TheJsonHoldsTheRedSquareAroundCenterAndItsLabel) {
    const RenderRun result = render("-o plain.png --set center=40,20 --overlays calls.json");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("Wrote " + (dir.path() / "calls.json").lexically_normal().string()),
              std::string::npos);

    const JsonValue drawing = json("calls.json");
    EXPECT_EQ(drawing.keys(), (std::vector<std::string>{"frame", "width", "height", "calls"}));
    EXPECT_EQ(drawing["frame"].number, 0.0);
    EXPECT_EQ(drawing["width"].number, 120.0);
    EXPECT_EQ(drawing["height"].number, 80.0);
    const JsonValue& calls = drawing["calls"];
    ASSERT_EQ(calls.items.size(), 3u);

    EXPECT_EQ(calls[0]["call"].text, "setColour");
    EXPECT_EQ(calls[0]["colour"].numbers(), (std::vector<double>{1.0, 0.0, 0.0, 1.0}));

    EXPECT_EQ(calls[1]["call"].text, "draw");
    EXPECT_EQ(calls[1]["primitive"].text, "lineLoop");
    ASSERT_EQ(calls[1]["points"].items.size(), 4u);
    std::set<std::pair<double, double>> corners;
    for (const JsonValue& point : calls[1]["points"].items) {
        // Every point is a corner of the square of side 20 around (40, 20), each one once.
        EXPECT_EQ(std::abs(point[0].number - 40.0), 10.0);
        EXPECT_EQ(std::abs(point[1].number - 20.0), 10.0);
        corners.emplace(point[0].number, point[1].number);
    }
    EXPECT_EQ(corners.size(), 4u);
    // In loop order each corner shares a side with the next: no line crosses the square.
    const auto& loop = calls[1]["points"].items;
    for (std::size_t i = 0; i < loop.size(); ++i) {
        const JsonValue& next = loop[(i + 1) % loop.size()];
        EXPECT_TRUE(loop[i][0].number == next[0].number || loop[i][1].number == next[1].number)
            << "corner " << i;
    }

    EXPECT_EQ(calls[2]["call"].text, "drawText");
    EXPECT_EQ(calls[2]["text"].text, "center");
    EXPECT_EQ(calls[2]["position"].numbers(), (std::vector<double>{40.0, 20.0}));
}

TEST_F(OverlayOutput, TheImageIsThePictureWithTheSquareAndLabelPaintedOnlyThere) {
    const RenderRun result = render("-o plain.png --set center=40,20 --overlay-image painted.png");
    ASSERT_EQ(result.status, 0) << result.err;
    const RgbaImage plain = read("plain.png");
    const RgbaImage painted = read("painted.png");
    ASSERT_EQ(painted.width(), 120);
    ASSERT_EQ(painted.height(), 80);

    // Read back bottom row first: canonical y and the row index agree.
    auto isRed = [&](int x, int y) {
        const float* p = painted.pixel(x, y);
        return p[0] > 0.9f && p[1] < 0.1f && p[2] < 0.1f;
    };
    for (int i = 30; i <= 50; ++i) {
        EXPECT_TRUE(isRed(i, 10) && isRed(i, 30)) << "bottom and top sides at x " << i;
    }
    for (int i = 10; i <= 30; ++i) {
        EXPECT_TRUE(isRed(30, i) && isRed(50, i)) << "left and right sides at y " << i;
    }
    EXPECT_TRUE(isRed(40, 20)) << "the label's box covers the centre";

    // Beyond 2 pixels of the square's sides and of the label's box (6 x 9 pixels a
    // character, centred on center), the picture is as -o wrote it.
    auto nearSquare = [](double x, double y) {
        const bool acrossSides = x > 28 && x < 53 && y > 8 && y < 33;
        const bool inside = x > 32 && x < 49 && y > 12 && y < 29;
        return acrossSides && !inside;
    };
    auto nearLabel = [](double x, double y) {
        return std::abs(x - 40.0) < 18 + 2 && std::abs(y - 20.0) < 4.5 + 2;
    };
    int unchanged = 0;
    for (int y = 0; y < 80; ++y) {
        for (int x = 0; x < 120; ++x) {
            if (nearSquare(x + 0.5, y + 0.5) || nearLabel(x + 0.5, y + 0.5)) {
                continue;
            }
            for (int c = 0; c < 4; ++c) {
                ASSERT_EQ(painted.pixel(x, y)[c], plain.pixel(x, y)[c]) << x << "," << y;
            }
            ++unchanged;
        }
    }
    EXPECT_GT(unchanged, 120 * 80 * 9 / 10);
}

TEST_F(OverlayOutput, FollowsTheFirstFrameAndTheProxyScale) {
    const RenderRun result = render("-o seq.png --frames 3-4 --render-scale 0.5 "
                                    "--set center=40,20 --overlays calls.json "
                                    "--overlay-image painted.png");
    ASSERT_EQ(result.status, 0) << result.err;
    const JsonValue drawing = json("calls.json");
    EXPECT_EQ(drawing["frame"].number, 3.0);
    EXPECT_EQ(drawing["width"].number, 120.0) << "the full frame, in canonical units";
    EXPECT_EQ(drawing["calls"][1]["points"][0][0].number, 30.0) << "canonical, not proxy";

    // The proxy picture and the overlay painted over it: 120 x 80 at half scale.
    const RgbaImage proxy = read("seq.3.png");
    EXPECT_EQ(proxy.width(), 60);
    EXPECT_EQ(proxy.height(), 40);
    const RgbaImage painted = read("painted.png");
    ASSERT_EQ(painted.width(), 60);
    EXPECT_GT(painted.pixel(20, 15)[0], 0.9f) << "the top side at half the distance";
    EXPECT_LT(painted.pixel(20, 30)[0], 0.9f) << "not where the full-size top side would be";
}

TEST_F(OverlayOutput, WithoutOverlaysOrTheDrawSuiteTheCallsAreEmptyAndANoteSaysWhy) {
    const RenderRun off = render("-o plain.png --overlays off --overlays calls.json "
                                 "--overlay-image painted.png --set center=40,20");
    ASSERT_EQ(off.status, 0) << off.err;
    EXPECT_TRUE(json("calls.json")["calls"].items.empty());
    EXPECT_EQ(off.err.rfind("halden-render: note: ", 0), 0u) << off.err;
    EXPECT_NE(off.err.find("no overlays"), std::string::npos) << off.err;
    EXPECT_EQ(testcli::maxDifference(read("painted.png"), read("plain.png")), 0.0f);

    const RenderRun noSuite = render("-o plain.png --draw-suite off --overlays calls.json");
    ASSERT_EQ(noSuite.status, 0) << noSuite.err;
    EXPECT_TRUE(json("calls.json")["calls"].items.empty());
    EXPECT_NE(noSuite.err.find("draw suite"), std::string::npos) << noSuite.err;
}

// The shipped effect's target: cyan, at the frame centre plus optical_center in units of the
// frame height (y up), drawn as crosshair lines, circles and its label.
TEST_F(CliTest, TheRealOverlayDrawsTheCyanTargetAtTheOpticalCentre) {
    const RenderRun result = run("--host resolve --size 320x180 --set optical_center=0.25,0.2 "
                                 "--overlays calls.json --overlay-image seen.png -o plain.png");
    ASSERT_EQ(result.status, 0) << result.err;
    const JsonValue calls =
        JsonReader::parse(testenv::readFile(dir.path() / "calls.json"))["calls"];
    ASSERT_FALSE(calls.items.empty());
    EXPECT_EQ(calls[0]["call"].text, "setColour");
    EXPECT_EQ(calls[0]["colour"].numbers(), (std::vector<double>{0, 1, 1, 1}));
    bool lines = false;
    bool ellipse = false;
    bool label = false;
    for (const JsonValue& call : calls.items) {
        if (call["call"].text == "draw" && call["primitive"].text == "lines") {
            double x = 0;
            double y = 0;
            for (const JsonValue& point : call["points"].items) {
                x += point[0].number;
                y += point[1].number;
            }
            const double n = double(call["points"].items.size());
            EXPECT_NEAR(x / n, 160 + 0.25 * 180, 0.5);
            EXPECT_NEAR(y / n, 90 + 0.2 * 180, 0.5);
            lines = true;
        }
        ellipse = ellipse || (call["call"].text == "draw" && call["primitive"].text == "ellipse");
        label = label || (call["call"].text == "drawText" && call["text"].text == "Optical Center");
    }
    EXPECT_TRUE(lines);
    EXPECT_TRUE(ellipse);
    EXPECT_TRUE(label);

    // The painted picture is cyan on the crosshair, the plain one not (images read back are
    // bottom row first, as the calls' canonical coordinates).
    const RgbaImage plain = ImageIo::read(dir.path() / "plain.png");
    const RgbaImage seen = ImageIo::read(dir.path() / "seen.png");
    const float* p = plain.pixel(205, 126);
    const float* s = seen.pixel(205, 126);
    EXPECT_GT(s[1] + s[2] - 2 * s[0], 1.0f);
    EXPECT_LT(p[1] + p[2] - 2 * p[0], 1.0f);
}

} // namespace
