// The test plug-in keeps the contract the host-side tests rely on; checked here through the
// fake host so a broken plug-in shows up next to the support layer that builds it.

#include "FakeHost.h"
#include "PluginSession.h"

#include "ofx/ofxParametricParam.h"

#include <gtest/gtest.h>

#include <cstring>

using fakehost::FakeEffect;
using fakehost::FakeHost;
using fakehost::FakeImage;
using fakehost::PluginSession;
using fakehost::PropertyBag;

namespace {

std::vector<std::string> paramNames(const FakeEffect& effect) {
    std::vector<std::string> names;
    for (const auto& param : effect.params) {
        names.push_back(param->name);
    }
    return names;
}

} // namespace

TEST(TestPluginDescribe, DeclaresTheEffectTheHostTestsExpect) {
    FakeHost host;
    PluginSession session(host);
    session.describe();
    const PropertyBag& props = session.descriptor().props;
    EXPECT_EQ(props.getString(kOfxPropLabel), "Halden Test Effect");
    EXPECT_EQ(props.getString(kOfxImageEffectPluginPropGrouping), "Halden Tests");
    EXPECT_EQ(props.getString(kOfxPropPluginDescription), "Scales the source by a gain");
    EXPECT_EQ(
        props.getStrings(kOfxImageEffectPropSupportedContexts),
        (std::vector<std::string>{kOfxImageEffectContextFilter, kOfxImageEffectContextGeneral}));
    EXPECT_EQ(props.getStrings(kOfxImageEffectPropSupportedPixelDepths),
              std::vector<std::string>{kOfxBitDepthFloat});
    EXPECT_EQ(props.getInt(kOfxImageEffectPropSupportsTiles), 0);
    EXPECT_EQ(props.getString(kOfxImageEffectPluginRenderThreadSafety),
              kOfxImageEffectRenderFullySafe);
    EXPECT_EQ(props.getInt(kOfxImageEffectPluginPropHostFrameThreading), 0);
    void* overlay = props.getPointer(kOfxImageEffectPluginPropOverlayInteractV1);
    EXPECT_NE(overlay, nullptr);
    EXPECT_EQ(props.getPointer(kOfxImageEffectPluginPropOverlayInteractV2), overlay);
}

TEST(TestPluginDescribe, DefinesClipsAndParametersInTheDocumentedOrderAndLayout) {
    FakeHost host;
    PluginSession session(host);
    session.describe();
    FakeEffect& context = session.contextDescriptor();

    ASSERT_EQ(context.clips.size(), 3u);
    EXPECT_EQ(context.clips[0]->name, "Source");
    EXPECT_EQ(context.clips[1]->name, "Mask");
    EXPECT_EQ(context.clips[2]->name, "Output");
    const PropertyBag& mask = context.clips[1]->props;
    EXPECT_EQ(mask.getStrings(kOfxImageEffectPropSupportedComponents),
              std::vector<std::string>{kOfxImageComponentAlpha});
    EXPECT_EQ(mask.getInt(kOfxImageClipPropOptional), 1);
    EXPECT_EQ(mask.getInt(kOfxImageClipPropIsMask), 1);

    EXPECT_EQ(paramNames(context),
              (std::vector<std::string>{"gain", "offset", "invert", "mode", "tint", "tintAlpha",
                                        "center", "point3", "note", "reset", "curve", "fail_render",
                                        "Advanced", "Controls"}));
    const PropertyBag& gain = context.param("gain")->props;
    EXPECT_EQ(gain.getString(kOfxPropLabel), "Gain");
    EXPECT_EQ(gain.getString(kOfxParamPropHint), "Multiplies the source");
    EXPECT_EQ(gain.getDouble(kOfxParamPropDefault), 1.0);
    EXPECT_EQ(gain.getDouble(kOfxParamPropMax), 10.0);
    EXPECT_EQ(gain.getDouble(kOfxParamPropDisplayMax), 4.0);
    EXPECT_EQ(gain.getDouble(kOfxParamPropIncrement), 0.1);
    EXPECT_EQ(gain.getInt(kOfxParamPropDigits), 2);
    EXPECT_EQ(context.param("mode")->props.getStrings(kOfxParamPropChoiceOption),
              (std::vector<std::string>{"Multiply", "Add", "Screen"}));
    const PropertyBag& center = context.param("center")->props;
    EXPECT_EQ(center.getString(kOfxParamPropDoubleType), kOfxParamDoubleTypeXYAbsolute);
    EXPECT_EQ(center.getDouble(kOfxParamPropDefault, 1), 100.0);
    EXPECT_EQ(context.param("curve")->props.getInt(kOfxParamPropParametricDimension), 1);
    for (const char* member : {"note", "curve", "fail_render"}) {
        EXPECT_EQ(context.param(member)->props.getString(kOfxParamPropParent), "Advanced")
            << member;
    }
    EXPECT_EQ(context.param("Controls")->props.getStrings(kOfxParamPropPageChild),
              (std::vector<std::string>{"gain", "offset", "invert", "mode", "tint", "center",
                                        "Advanced"}));
}

TEST(TestPluginRender, ScalesTheSourceInsideTheWindowOnOffsetPaddedImages) {
    FakeHost host;
    PluginSession session(host);
    session.describe();
    FakeEffect& instance = session.createInstance();

    // Bounds away from the origin and rows padded by 3 floats that nobody may touch.
    const OfxRectI bounds{-10, 20, 6, 36};
    const int rowFloats = 16 * 4 + 3;
    auto source = host.newImage(bounds, rowFloats);
    auto output = host.newImage(bounds, rowFloats);
    std::fill(output->storage.begin(), output->storage.end(), -1.0f);
    for (int y = bounds.y1; y < bounds.y2; ++y) {
        for (int x = bounds.x1; x < bounds.x2; ++x) {
            float* pixel = source->pixel(x, y);
            pixel[0] = 0.01f * static_cast<float>(x + 10);
            pixel[1] = 0.02f * static_cast<float>(y - 20);
            pixel[2] = 0.25f;
            pixel[3] = 0.5f;
        }
    }
    instance.clip("Source")->image = source.get();
    instance.clip("Output")->image = output.get();
    instance.param("gain")->value = {2.0};
    const OfxRectI window{-8, 21, 4, 35};
    PropertyBag args = PluginSession::renderArgs(window);

    ASSERT_EQ(session.action(kOfxImageEffectActionRender, instance.handle(), &args), kOfxStatOK);

    for (int y = bounds.y1; y < bounds.y2; ++y) {
        for (int x = bounds.x1; x < bounds.x2; ++x) {
            const float* in = source->pixel(x, y);
            const float* out = output->pixel(x, y);
            const bool inside = x >= window.x1 && x < window.x2 && y >= window.y1 && y < window.y2;
            for (int c = 0; c < 4; ++c) {
                const float expected = !inside ? -1.0f : c < 3 ? in[c] * 2.0f : in[3];
                ASSERT_EQ(out[c], expected) << "x=" << x << " y=" << y << " c=" << c;
            }
        }
        const float* padding = output->pixel(bounds.x2, y);
        for (int p = 0; p < 3; ++p) {
            ASSERT_EQ(padding[p], -1.0f) << "padding of row " << y;
        }
    }
    EXPECT_EQ(host.multiThreadCalls.load(), 1);
    EXPECT_EQ(host.largestThreadCount.load(), 4u);
    EXPECT_EQ(host.releasedImages.load(), 2);
}

TEST(TestPluginRender, InvertsTheScaledColourAndKeepsAlpha) {
    FakeHost host;
    PluginSession session(host);
    session.describe();
    FakeEffect& instance = session.createInstance();
    auto source = host.newImage({0, 0, 1, 1}, 4);
    auto output = host.newImage({0, 0, 1, 1}, 4);
    source->storage = {0.1f, 0.2f, 0.4f, 0.75f};
    instance.clip("Source")->image = source.get();
    instance.clip("Output")->image = output.get();
    instance.param("gain")->value = {2.0};
    instance.param("invert")->value = {1};
    PropertyBag args = PluginSession::renderArgs({0, 0, 1, 1});

    ASSERT_EQ(session.action(kOfxImageEffectActionRender, instance.handle(), &args), kOfxStatOK);
    EXPECT_FLOAT_EQ(output->storage[0], 1.0f - 0.2f);
    EXPECT_FLOAT_EQ(output->storage[1], 1.0f - 0.4f);
    EXPECT_FLOAT_EQ(output->storage[2], 1.0f - 0.8f);
    EXPECT_FLOAT_EQ(output->storage[3], 0.75f);
}

TEST(TestPluginIdentity, PassesTheSourceThroughOnlyWhenNothingWouldChange) {
    FakeHost host;
    PluginSession session(host);
    session.describe();
    FakeEffect& instance = session.createInstance();
    PropertyBag args = PluginSession::renderArgs({0, 0, 4, 4});
    args.values[kOfxPropTime] = {7.0};

    PropertyBag out;
    ASSERT_EQ(session.action(kOfxImageEffectActionIsIdentity, instance.handle(), &args, &out),
              kOfxStatOK);
    EXPECT_EQ(out.getString(kOfxPropName), "Source");
    EXPECT_EQ(out.getDouble(kOfxPropTime), 7.0);

    for (const char* changed : {"gain", "offset", "invert"}) {
        FakeEffect& fresh = session.createInstance();
        fakehost::FakeParam* param = fresh.param(changed);
        if (param->type == kOfxParamTypeDouble) {
            param->value = {1.5};
        } else {
            param->value = {1};
        }
        PropertyBag ignored;
        EXPECT_EQ(session.action(kOfxImageEffectActionIsIdentity, fresh.handle(), &args, &ignored),
                  kOfxStatReplyDefault)
            << changed;
    }
}

TEST(TestPluginChanges, PressingResetRestoresTheGainAndTellsTheUser) {
    FakeHost host;
    PluginSession session(host);
    session.describe();
    FakeEffect& instance = session.createInstance();
    instance.param("gain")->value = {3.0};
    PropertyBag args;
    args.values[kOfxPropType] = {std::string(kOfxTypeParameter)};
    args.values[kOfxPropName] = {std::string("reset")};
    args.values[kOfxPropChangeReason] = {std::string(kOfxChangeUserEdited)};
    args.values[kOfxPropTime] = {0.0};
    args.values[kOfxImageEffectPropRenderScale] = {1.0, 1.0};

    ASSERT_EQ(session.action(kOfxActionInstanceChanged, instance.handle(), &args), kOfxStatOK);
    EXPECT_EQ(std::get<double>(instance.param("gain")->value[0]), 1.0);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].type, kOfxMessageMessage);
    EXPECT_EQ(host.messages[0].id, "reset");
    EXPECT_EQ(host.messages[0].text, "Gain reset");
}
