// The support layer's C entry points, driven through the test plug-in's binary.

#include "FakeHost.h"
#include "PluginSession.h"

#include <gtest/gtest.h>

#include <cstring>

using fakehost::FakeEffect;
using fakehost::FakeHost;
using fakehost::PluginSession;
using fakehost::PropertyBag;

TEST(PluginList, ExposesOneEffectAndSaysWhyAnotherIndexGivesNull) {
    ASSERT_EQ(PluginSession::pluginCount(), 1);
    const OfxPlugin* plugin = PluginSession::plugin(0);
    ASSERT_NE(plugin, nullptr);
    EXPECT_STREQ(plugin->pluginApi, "OfxImageEffectPluginAPI");
    EXPECT_EQ(plugin->apiVersion, 1);
    EXPECT_STREQ(plugin->pluginIdentifier, "org.halden.testplugin");
    EXPECT_EQ(plugin->pluginVersionMajor, 1u);
    EXPECT_EQ(plugin->pluginVersionMinor, 2u);
    EXPECT_NE(plugin->setHost, nullptr);
    EXPECT_NE(plugin->mainEntry, nullptr);
    // The host keeps the record: asking again gives the same one.
    EXPECT_EQ(PluginSession::plugin(0), plugin);

    testing::internal::CaptureStderr();
    EXPECT_EQ(PluginSession::plugin(1), nullptr);
    EXPECT_EQ(PluginSession::plugin(-1), nullptr);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("Host attempted to get plugin 1, when there is only 1 plugin(s), so it "
                        "should have asked for 0."),
              std::string::npos)
        << said;
}

TEST(PluginLoad, FailsCleanlyWhenTheHostHasNoPropertySuite) {
    FakeHost host;
    host.withholdSuite(kOfxPropertySuite);
    PluginSession session(host);
    testing::internal::CaptureStderr();
    EXPECT_EQ(session.action(kOfxActionLoad), kOfxStatErrMissingHostFeature);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("OfxPropertySuite"), std::string::npos)
        << "the plug-in says which suite it misses";
}

TEST(PluginLoad, SucceedsWithTheMandatorySuitesAlone) {
    FakeHost host;
    host.withholdSuite(kOfxMultiThreadSuite);
    host.withholdSuite(kOfxMessageSuite);
    PluginSession session(host);
    EXPECT_EQ(session.action(kOfxActionLoad), kOfxStatOK);
    EXPECT_EQ(session.action(kOfxActionUnload), kOfxStatOK);
}

// A described test plug-in with one instance.
class PluginActions : public testing::Test {
protected:
    void SetUp() override {
        session.describe();
        instance = &session.createInstance();
    }

    FakeHost host;
    PluginSession session{host};
    FakeEffect* instance = nullptr;
};

TEST_F(PluginActions, AnUnknownActionRepliesDefault) {
    EXPECT_EQ(session.action("OfxActionNobodyDefined"), kOfxStatReplyDefault);
    EXPECT_EQ(session.action("OfxActionNobodyDefined", instance->handle()), kOfxStatReplyDefault);
    // Actions the test effect leaves to the host are answered "default" too.
    PropertyBag out;
    EXPECT_EQ(session.action(kOfxImageEffectActionGetRegionOfDefinition, instance->handle(),
                             nullptr, &out),
              kOfxStatReplyDefault);
    EXPECT_EQ(session.action(kOfxImageEffectActionGetTimeDomain, instance->handle(), nullptr, &out),
              kOfxStatReplyDefault);
    EXPECT_EQ(session.action(kOfxActionPurgeCaches, instance->handle()), kOfxStatOK);
}

TEST_F(PluginActions, ExceptionsInRenderReachTheHostWithTheirStatus) {
    auto output = host.newImage({0, 0, 4, 4}, 16);
    instance->clip("Output")->image = output.get();
    instance->param("fail_render")->value = {1};
    PropertyBag args = PluginSession::renderArgs({0, 0, 4, 4});

    testing::internal::CaptureStderr();
    EXPECT_EQ(session.action(kOfxImageEffectActionRender, instance->handle(), &args),
              kOfxStatFailed);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("requested failure"), std::string::npos);

    // The instance survives the failure.
    instance->param("fail_render")->value = {0};
    EXPECT_EQ(session.action(kOfxImageEffectActionRender, instance->handle(), &args), kOfxStatOK);

    // An OFX exception carries its own status, and the fetched image is still released.
    const int released = host.releasedImages.load();
    output->props.values[kOfxImageEffectPropPixelDepth] = {std::string(kOfxBitDepthByte)};
    testing::internal::CaptureStderr();
    EXPECT_EQ(session.action(kOfxImageEffectActionRender, instance->handle(), &args),
              kOfxStatErrImageFormat);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(host.releasedImages.load(), released + 1) << "the fetched image must be released";
}

TEST_F(PluginActions, ADestroyedInstanceIsNoLongerReachable) {
    auto other = host.newInstance(session.contextDescriptor(), kOfxImageEffectContextFilter);
    ASSERT_EQ(session.action(kOfxActionCreateInstance, other->handle()), kOfxStatOK);
    ASSERT_EQ(session.action(kOfxActionDestroyInstance, other->handle()), kOfxStatOK);
    EXPECT_EQ(other->props.getPointer(kOfxPropInstanceData), nullptr);

    PropertyBag args = PluginSession::renderArgs({0, 0, 4, 4});
    testing::internal::CaptureStderr();
    EXPECT_EQ(session.action(kOfxImageEffectActionRender, other->handle(), &args),
              kOfxStatErrBadHandle);
    testing::internal::GetCapturedStderr();
}
