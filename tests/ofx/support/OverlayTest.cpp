// The support layer's interact entry point on a host without the draw suite: describe, create,
// a draw left to the host, and a destroy that clears the instance data. The drawing and pen
// handling themselves are checked through the real host in tests/e2e and tests/cli.

#include "FakeHost.h"
#include "PluginSession.h"

#include "ofx/ofxDrawSuite.h"

#include <gtest/gtest.h>

using fakehost::FakeHost;
using fakehost::FakeInteract;
using fakehost::PluginSession;
using fakehost::PropertyBag;

TEST(TestPluginOverlay, LivesAndDrawsNothingOnAHostWithoutTheDrawSuite) {
    FakeHost host;
    host.withholdSuite(kOfxDrawSuite);
    PluginSession session(host);
    session.describe();
    void* effect = &session.createInstance();
    auto* entry = reinterpret_cast<OfxPluginEntryPoint*>(
        session.descriptor().props.getPointer(kOfxImageEffectPluginPropOverlayInteractV1));
    FakeInteract descriptor;
    FakeInteract overlay;
    EXPECT_EQ(entry(kOfxActionDescribe, descriptor.handle(), nullptr, nullptr), kOfxStatOK);
    overlay.props.values[kOfxPropEffectInstance] = {effect};
    overlay.props.values[kOfxInteractPropPixelScale] = {1.0, 1.0};
    ASSERT_EQ(entry(kOfxActionCreateInstance, overlay.handle(), nullptr, nullptr), kOfxStatOK);

    int context = 0;
    PropertyBag args;
    args.values[kOfxPropEffectInstance] = {effect};
    args.values[kOfxPropTime] = {0.0};
    args.values[kOfxImageEffectPropRenderScale] = {1.0, 1.0};
    args.values[kOfxInteractPropPixelScale] = {1.0, 1.0};
    args.values[kOfxInteractPropDrawContext] = {static_cast<void*>(&context)};
    EXPECT_EQ(entry(kOfxInteractActionDraw, overlay.handle(), args.handle(), nullptr),
              kOfxStatReplyDefault);

    EXPECT_EQ(entry(kOfxActionDestroyInstance, overlay.handle(), nullptr, nullptr), kOfxStatOK);
    EXPECT_EQ(overlay.props.getPointer(kOfxPropInstanceData), nullptr);
}
