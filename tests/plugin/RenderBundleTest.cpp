// Frames rendered by the real bundle through the headless host, on the CPU backend.
#include "PluginSession.h"

#include <gtest/gtest.h>

using ofxhost::HostImage;
using ofxhost::ParamValue;
using testplugin::PluginSession;
using testplugin::pointImage;

namespace {

// Farthest lit pixel from (cx, cy) along +x.
int litExtent(const HostImage& image, int cx, int cy) {
    int extent = 0;
    for (int x = cx; x < image.bounds().x2; ++x) {
        if (image.pixel(x, cy)[0] > 1e-3f) {
            extent = x - cx;
        }
    }
    return extent;
}

TEST(RenderBundle, ABrightPointBecomesABokehDiscAndPaddingIsUntouched) {
    PluginSession session;
    // 216 lines: blur_radius 50 gives a 10-pixel disc.
    const OfxRectI bounds{-20, 30, 196, 246};
    // Bounds not starting at 0 and padded rows, as hosts hand them over.
    auto source = pointImage(bounds, 88, 138, 50.0f, 0.0f, 32);
    auto output = std::make_shared<HostImage>(bounds, 32);
    output->fill(-7, -7, -7, -7);
    ASSERT_EQ(session.instance.setValue("blur_radius", ParamValue::of(50.0)), kOfxStatOK);
    ASSERT_EQ(session.instance.setValue("post_blur_scale", ParamValue::of(0.0)), kOfxStatOK);
    // A dense spiral, so the disc's rim is sampled without gaps.
    ASSERT_EQ(session.instance.setValue("oversample", ParamValue::of(4.0)), kOfxStatOK);
    ASSERT_EQ(session.instance.setValue("min_samples", ParamValue::of(512.0)), kOfxStatOK);
    ASSERT_EQ(session.render(source, output), kOfxStatOK);

    EXPECT_GT(output->pixel(88, 138)[0], 0.0f);
    EXPECT_NEAR(litExtent(*output, 88, 138), 10, 1);
    EXPECT_FLOAT_EQ(output->pixel(bounds.x1, bounds.y1)[3], 1.0f);
    EXPECT_TRUE(output->paddingUntouched());
}

TEST(RenderBundle, BlendZeroGivesBackTheSourceColour) {
    PluginSession session;
    const OfxRectI bounds{0, 0, 64, 36};
    auto source = pointImage(bounds, 30, 18, 4.0f);
    auto output = std::make_shared<HostImage>(bounds);
    ASSERT_EQ(session.instance.setValue("Blend", ParamValue::of(0.0)), kOfxStatOK);
    ASSERT_EQ(session.render(source, output), kOfxStatOK);
    for (int y = 0; y < 36; ++y) {
        for (int x = 0; x < 64; ++x) {
            ASSERT_FLOAT_EQ(output->pixel(x, y)[0], source->pixel(x, y)[0]) << x << "," << y;
        }
    }
}

TEST(RenderBundle, SecondFramesReuseTheirBuffersAndFollowKeyframes) {
    PluginSession session;
    const OfxRectI bounds{0, 0, 96, 54};
    auto source = pointImage(bounds, 48, 27, 20.0f);
    auto output = std::make_shared<HostImage>(bounds);
    ASSERT_EQ(session.instance.setValueAtTime("blur_radius", 0.0, ParamValue::of(0.0)), kOfxStatOK);
    ASSERT_EQ(session.instance.setValueAtTime("blur_radius", 10.0, ParamValue::of(200.0)),
              kOfxStatOK);
    ASSERT_EQ(session.render(source, output, 0.0), kOfxStatOK);
    // blur 0: the source comes back.
    EXPECT_FLOAT_EQ(output->pixel(48, 27)[0], 20.0f);
    EXPECT_FLOAT_EQ(output->pixel(50, 27)[0], 0.0f);
    ASSERT_EQ(session.render(source, output, 10.0), kOfxStatOK);
    // blur 200 at 54 lines: a 10-pixel disc around the point.
    EXPECT_GT(output->pixel(54, 27)[0], 0.0f);
    EXPECT_LT(output->pixel(48, 27)[0], 20.0f);
}

TEST(RenderBundle, AnOutputOtherThanFloatRgbaIsRefused) {
    PluginSession session;
    const OfxRectI bounds{0, 0, 8, 8};
    auto source = pointImage(bounds, 4, 4, 1.0f);
    auto output = std::make_shared<HostImage>(bounds);
    session.instance.setClipImage("Source", source);
    session.instance.setClipImage("Output", output);
    session.instance.clip("Output").properties().setString(kOfxImageEffectPropPixelDepth,
                                                           kOfxBitDepthByte);
    ofxhost::RenderArgs args;
    args.window = bounds;
    EXPECT_EQ(session.instance.render(args), kOfxStatErrUnsupported);
}

} // namespace
