// Instances of the test plug-in: creation in each context, parameter values at times with
// keyframes, isIdentity, and a button press whose edit and message reach the host. The host's
// ordering of notifications is tested in tests/host with a plug-in of its own.

#include "TestPluginSession.h"

#include <gtest/gtest.h>

namespace {

using ofxhost::EffectInstance;
using ofxhost::MessageRecord;
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

TEST(Messages, PressingResetPostsAMessageAndResetsGain) {
    TestPluginSession session;
    EffectInstance& instance = session.instance();
    instance.setValue("gain", ParamValue::of(3.0));
    session.host.recorder().clear();

    EXPECT_EQ(instance.pressButton("reset"), kOfxStatOK);

    const auto messages = session.host.recorder().messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].kind, MessageRecord::Kind::Message);
    EXPECT_EQ(messages[0].type, kOfxMessageMessage);
    EXPECT_EQ(messages[0].id, "reset");
    EXPECT_EQ(messages[0].text, "Gain reset");
    EXPECT_EQ(messages[0].effect, instance.handle());

    EXPECT_EQ(instance.value("gain").numbers, (std::vector<double>{1.0}));
    const auto values = session.host.recorder().valueChanges();
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].param, "gain");
    EXPECT_TRUE(values[0].byPlugin);
    EXPECT_EQ(values[0].value.numbers, (std::vector<double>{1.0}));

    // The plug-in's own edit is notified back, after the press, as plug-in edited.
    std::vector<std::string> changes;
    for (const auto& change : session.host.recorder().instanceChanges()) {
        changes.push_back(change.name + ":" + change.reason);
        EXPECT_EQ(change.type, kOfxTypeParameter);
        EXPECT_TRUE(change.status == kOfxStatOK || change.status == kOfxStatReplyDefault)
            << change.status;
    }
    EXPECT_EQ(changes, (std::vector<std::string>{"reset:" kOfxChangeUserEdited,
                                                 "gain:" kOfxChangePluginEdited}));
}

} // namespace
