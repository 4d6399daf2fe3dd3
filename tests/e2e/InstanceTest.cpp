// Instances of the test plug-in: creation in each context, parameter values at times with
// keyframes, and isIdentity.

#include "TestPluginSession.h"

#include <gtest/gtest.h>

namespace {

using ofxhost::EffectInstance;
using ofxhost::ParamValue;
using ofxhost::RenderArgs;
using teste2e::TestPluginSession;

RenderArgs argsAt(OfxTime time) {
    RenderArgs args;
    args.time = time;
    args.window = OfxRectI{0, 0, 8, 8};
    return args;
}

TEST(Instances, AreCreatedInEachContextAndDestroyedBeforeUnload) {
    TestPluginSession session;
    EffectInstance& filter = session.instance(kOfxImageEffectContextFilter);
    EffectInstance& general = session.instance(kOfxImageEffectContextGeneral);
    EXPECT_EQ(session.plugin.instances().size(), 2u);
    EXPECT_EQ(filter.context(), kOfxImageEffectContextFilter);
    EXPECT_EQ(general.properties().getString(kOfxImageEffectPropContext),
              kOfxImageEffectContextGeneral);
    EXPECT_EQ(filter.clip("Source").properties().getInt(kOfxImageClipPropConnected), 1);
    EXPECT_EQ(filter.clip("Mask").properties().getInt(kOfxImageClipPropConnected), 0);
    session.plugin.destroyInstance(filter);
    EXPECT_EQ(session.plugin.instances().size(), 1u);
    EXPECT_EQ(session.plugin.escapedExceptions(), 0);
    // The session's destruction destroys the general instance before Unload.
}

TEST(Instances, StartWithTheDeclaredDefaults) {
    TestPluginSession session;
    EffectInstance& instance = session.instance();
    EXPECT_EQ(instance.value("gain").numbers, (std::vector<double>{1.0}));
    EXPECT_EQ(instance.value("center").numbers, (std::vector<double>{100.0, 100.0}));
    EXPECT_EQ(instance.value("tintAlpha").numbers, (std::vector<double>{1, 1, 1, 1}));
    EXPECT_EQ(instance.value("note").text, "hello");
    EXPECT_EQ(instance.param("gain").properties().getString(kOfxPropType),
              kOfxTypeParameterInstance);
}

TEST(Instances, AnimatedValuesInterpolateBetweenKeysAndStepForIntegers) {
    TestPluginSession session;
    EffectInstance& instance = session.instance();
    instance.setValueAtTime("gain", 0.0, ParamValue::of(1.0));
    instance.setValueAtTime("gain", 10.0, ParamValue::of(3.0));
    instance.setValueAtTime("offset", 0.0, ParamValue::of(0.0));
    instance.setValueAtTime("offset", 10.0, ParamValue::of(10.0));
    EXPECT_EQ(instance.param("gain").keyCount(), 2u);
    EXPECT_DOUBLE_EQ(instance.valueAt("gain", 5.0).numbers[0], 2.0);
    EXPECT_DOUBLE_EQ(instance.valueAt("gain", 20.0).numbers[0], 3.0);
    EXPECT_DOUBLE_EQ(instance.valueAt("offset", 9.0).numbers[0], 0.0);
    EXPECT_DOUBLE_EQ(instance.valueAt("offset", 10.0).numbers[0], 10.0);
    EXPECT_EQ(instance.param("gain").properties().getInt(kOfxParamPropIsAnimating), 1);
    // Values outside the declared range are clamped as a host's slider would.
    instance.setValue("offset", ParamValue::of(500.0));
    EXPECT_EQ(instance.value("offset").numbers[0], 100.0);
}

TEST(Instances, AreIdentityOnTheSourceOnlyAtUnitGainWithoutInvertOrOffset) {
    TestPluginSession session;
    EffectInstance& instance = session.instance();
    auto identity = instance.isIdentity(argsAt(3.0));
    EXPECT_TRUE(identity.identity);
    EXPECT_EQ(identity.clip, "Source");
    EXPECT_EQ(identity.time, 3.0);

    instance.setValue("gain", ParamValue::of(2.0));
    EXPECT_FALSE(instance.isIdentity(argsAt(0.0)).identity);
    instance.setValue("gain", ParamValue::of(1.0));
    instance.setValue("invert", ParamValue::of(1.0));
    EXPECT_FALSE(instance.isIdentity(argsAt(0.0)).identity);
    instance.setValue("invert", ParamValue::of(0.0));
    instance.setValue("offset", ParamValue::of(-4.0));
    EXPECT_FALSE(instance.isIdentity(argsAt(0.0)).identity);

    // isIdentity reads the value at the time it is asked about.
    instance.setValue("offset", ParamValue::of(0.0));
    instance.setValueAtTime("gain", 0.0, ParamValue::of(1.0));
    instance.setValueAtTime("gain", 10.0, ParamValue::of(2.0));
    EXPECT_TRUE(instance.isIdentity(argsAt(0.0)).identity);
    EXPECT_FALSE(instance.isIdentity(argsAt(5.0)).identity);
}

TEST(Instances, RegionOfDefinitionDefaultsToTheSourceInCanonicalCoordinates) {
    TestPluginSession session;
    EffectInstance& instance = session.instance();
    instance.setClipImage("Source",
                          std::make_shared<ofxhost::HostImage>(OfxRectI{-10, 20, 54, 68}));
    const double halfScale[2] = {0.5, 0.5};
    OfxRectD region{};
    instance.regionOfDefinition(0.0, halfScale, region);
    EXPECT_EQ(region.x1, -20.0);
    EXPECT_EQ(region.y1, 40.0);
    EXPECT_EQ(region.x2, 108.0);
    EXPECT_EQ(region.y2, 136.0);
}

} // namespace
