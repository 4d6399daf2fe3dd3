// How halden-render paints an overlay's draw calls over a picture: where each primitive lands,
// how wide, in which colour, and that no coordinate a plug-in sends can hang it.

#include "host/cli/OverlayPainter.h"

#include "ofx/ofxDrawSuite.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using ofxhost::DrawCall;
using ofxhost::OverlayPainter;
using ofxhost::RgbaImage;

constexpr OfxRGBAColourF kRed{1.0f, 0.0f, 0.0f, 1.0f};

DrawCall shape(int primitive, std::vector<OfxPointD> points, float width = 0.0f, int stipple = 0) {
    DrawCall call;
    call.kind = DrawCall::Kind::Draw;
    call.colour = kRed;
    call.primitive = primitive;
    call.points = std::move(points);
    call.width = width;
    call.stipple = stipple;
    return call;
}

DrawCall label(const std::string& text, OfxPointD at, int alignment) {
    DrawCall call = shape(0, {at});
    call.kind = DrawCall::Kind::DrawText;
    call.text = text;
    call.alignment = alignment;
    return call;
}

RgbaImage painted(std::vector<DrawCall> calls, int width = 40, int height = 40,
                  double scale = 1.0) {
    RgbaImage picture(width, height);
    OverlayPainter(picture, scale).paint(calls);
    return picture;
}

bool red(const RgbaImage& picture, int x, int y) {
    return picture.pixel(x, y)[0] > 0.5f;
}

// The painted pixels' bounds: left, bottom, right, top; all -1 when none is painted.
std::vector<int> paintedBox(const RgbaImage& picture) {
    std::vector<int> box{-1, -1, -1, -1};
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (red(picture, x, y)) {
                box = box[0] < 0 ? std::vector<int>{x, y, x, y}
                                 : std::vector<int>{std::min(box[0], x), std::min(box[1], y),
                                                    std::max(box[2], x), std::max(box[3], y)};
            }
        }
    }
    return box;
}

int paintedInRow(const RgbaImage& picture, int y) {
    int count = 0;
    for (int x = 0; x < picture.width(); ++x) {
        count += red(picture, x, y);
    }
    return count;
}

TEST(OverlayPainter, AThinLineIsOnePixelAndAWideOneAsWideAsSet) {
    const RgbaImage thin = painted({shape(kOfxDrawPrimitiveLines, {{5.0, 10.0}, {35.0, 10.0}})});
    EXPECT_EQ(paintedBox(thin), (std::vector<int>{5, 10, 35, 10}));

    const RgbaImage wide =
        painted({shape(kOfxDrawPrimitiveLineStrip, {{5.5, 20.5}, {34.5, 20.5}}, 5.0f)});
    EXPECT_EQ(paintedBox(wide), (std::vector<int>{3, 18, 36, 22})) << "five rows, round caps";
    EXPECT_EQ(paintedInRow(wide, 20), 34);

    // At render scale 0.5 points move, line widths (screen pixels) do not.
    const RgbaImage half =
        painted({shape(kOfxDrawPrimitiveLines, {{10.0, 20.0}, {60.0, 20.0}})}, 40, 40, 0.5);
    EXPECT_EQ(paintedBox(half), (std::vector<int>{5, 10, 30, 10}));
}

TEST(OverlayPainter, RectanglesAndPolygonsAreFilledAndEllipsesOnlyOutlined) {
    const RgbaImage rectangle =
        painted({shape(kOfxDrawPrimitiveRectangle, {{15.0, 25.0}, {5.0, 5.0}})});
    EXPECT_EQ(paintedBox(rectangle), (std::vector<int>{5, 5, 14, 24}));
    EXPECT_TRUE(red(rectangle, 10, 15));

    const RgbaImage triangle =
        painted({shape(kOfxDrawPrimitivePolygon, {{20.0, 5.0}, {36.0, 5.0}, {20.0, 21.0}})});
    EXPECT_TRUE(red(triangle, 22, 7));
    EXPECT_TRUE(red(triangle, 27, 12)) << "just inside the slanted side";
    EXPECT_FALSE(red(triangle, 29, 13)) << "just outside it";

    const RgbaImage ellipse =
        painted({shape(kOfxDrawPrimitiveEllipse, {{4.0, 20.0}, {36.0, 36.0}})});
    EXPECT_TRUE(red(ellipse, 4, 28) && red(ellipse, 36, 28)) << "touches the box's sides";
    int crossings = 0;
    for (int y = 0; y < 40; ++y) {
        crossings += red(ellipse, 20, y);
    }
    EXPECT_LE(crossings, 4) << "the column through the centre crosses the outline, not a disc";
    EXPECT_FALSE(red(ellipse, 20, 28));
}

TEST(OverlayPainter, TextIsABoxOfSixByNinePixelsACharacterPlacedByItsAlignment) {
    using Box = std::vector<int>;
    auto box = [](const std::string& text, int alignment) {
        return paintedBox(painted({label(text, {20.0, 20.0}, alignment)}));
    };
    EXPECT_EQ(box("abc", kOfxDrawTextAlignmentLeft | kOfxDrawTextAlignmentBottom),
              (Box{20, 20, 37, 28}));
    EXPECT_EQ(box("abc", kOfxDrawTextAlignmentRight | kOfxDrawTextAlignmentTop),
              (Box{2, 11, 19, 19}));
    EXPECT_EQ(box("abc", kOfxDrawTextAlignmentCenterH | kOfxDrawTextAlignmentCenterV),
              (Box{11, 15, 28, 23}));
    EXPECT_EQ(box("abc", 0), (Box{20, 18, 37, 26})) << "no flags: left, on the baseline";
    EXPECT_EQ(box("n\xc3\xa9", kOfxDrawTextAlignmentLeft)[2], 31)
        << "two characters, not three bytes";
}

TEST(OverlayPainter, ColoursBlendOverThePictureClampedAsAnEightBitFileShowsIt) {
    RgbaImage picture(10, 10);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            std::fill(picture.pixel(x, y), picture.pixel(x, y) + 4, x + y == 18 ? 4.0f : 0.5f);
        }
    }
    DrawCall box = shape(kOfxDrawPrimitiveRectangle, {{0.0, 0.0}, {5.0, 5.0}});
    box.colour = OfxRGBAColourF{1.0f, 0.0f, 0.0f, 0.5f};
    OverlayPainter(picture, 1.0).paint({box});

    EXPECT_FLOAT_EQ(picture.pixel(2, 2)[0], 0.75f);
    EXPECT_FLOAT_EQ(picture.pixel(2, 2)[1], 0.25f);
    EXPECT_FLOAT_EQ(picture.pixel(2, 2)[3], 0.75f) << "alpha over alpha";
    EXPECT_FLOAT_EQ(picture.pixel(7, 7)[0], 0.5f) << "outside the box";
    EXPECT_FLOAT_EQ(picture.pixel(9, 9)[1], 1.0f) << "values above 1 are clamped";
}

TEST(OverlayPainter, StippledLinesLeaveGaps) {
    auto paintedLength = [](int stipple) {
        return paintedInRow(
            painted({shape(kOfxDrawPrimitiveLines, {{0.0, 5.0}, {31.0, 5.0}}, 0.0f, stipple)}), 5);
    };
    EXPECT_EQ(paintedLength(kOfxDrawLineStipplePatternSolid), 32);
    EXPECT_EQ(paintedLength(kOfxDrawLineStipplePatternDash), 16);
    EXPECT_EQ(paintedLength(kOfxDrawLineStipplePatternDot), 16);
}

TEST(OverlayPainter, HugeAndNonFiniteCoordinatesAreClippedOrSkipped) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const RgbaImage across =
        painted({shape(kOfxDrawPrimitiveLines, {{-1e12, 10.5}, {1e12, 10.5}}, 3.0f)});
    EXPECT_EQ(paintedBox(across), (std::vector<int>{0, 9, 39, 11}));

    const RgbaImage skipped =
        painted({shape(kOfxDrawPrimitiveLineLoop, {{nan, 1.0}, {1e308, -1e308}, {-1e308, -1e308}}),
                 shape(kOfxDrawPrimitivePolygon, {{-1e300, -1e300}, {1e300, 0.0}, {0.0, nan}}),
                 shape(kOfxDrawPrimitiveEllipse, {{-1e308, -1e308}, {1e308, 1e308}}),
                 label("far", {1e300, nan}, 0)});
    EXPECT_EQ(paintedBox(skipped), (std::vector<int>{-1, -1, -1, -1}));

    const RgbaImage huge = painted(
        {shape(kOfxDrawPrimitivePolygon, {{-1e300, -1e300}, {1e300, -1e300}, {0.0, 1e300}})});
    EXPECT_EQ(paintedBox(huge), (std::vector<int>{0, 0, 39, 39})) << "covers the picture";
}

} // namespace
