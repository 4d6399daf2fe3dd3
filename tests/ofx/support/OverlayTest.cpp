// The support layer's interact entry point on a host without the draw suite: describe, create,
// a draw left to the host, and a destroy that clears the instance data. The drawing and pen
// handling themselves are checked through the real host in tests/e2e and tests/cli.

#include "FakeHost.h"
#include "PluginSession.h"

#include "ofx/ofxDrawSuite.h"

#include <gtest/gtest.h>

using fakehost::FakeEffect;
using fakehost::FakeHost;
using fakehost::FakeInteract;
using fakehost::PluginSession;
using fakehost::PropertyBag;

namespace {

// A described, instantiated plug-in with one overlay opened on its instance.
class OverlaySession {
public:
    explicit OverlaySession(FakeHost& host) : session_(host) {
        session_.describe();
        effect_ = &session_.createInstance();
        entry_ = reinterpret_cast<OfxPluginEntryPoint*>(
            session_.descriptor().props.getPointer(kOfxImageEffectPluginPropOverlayInteractV1));
        EXPECT_EQ(entry_(kOfxActionDescribe, descriptor_.handle(), nullptr, nullptr), kOfxStatOK);
        overlay_.props.values[kOfxPropEffectInstance] = {static_cast<void*>(effect_)};
        overlay_.props.values[kOfxInteractPropPixelScale] = {1.0, 1.0};
        EXPECT_EQ(entry_(kOfxActionCreateInstance, overlay_.handle(), nullptr, nullptr),
                  kOfxStatOK);
    }
    ~OverlaySession() {
        EXPECT_EQ(entry_(kOfxActionDestroyInstance, overlay_.handle(), nullptr, nullptr),
                  kOfxStatOK);
        EXPECT_EQ(overlay_.props.getPointer(kOfxPropInstanceData), nullptr);
    }

    OfxStatus draw() {
        PropertyBag args;
        args.values[kOfxPropEffectInstance] = {static_cast<void*>(effect_)};
        args.values[kOfxPropTime] = {0.0};
        args.values[kOfxImageEffectPropRenderScale] = {1.0, 1.0};
        args.values[kOfxInteractPropPixelScale] = {1.0, 1.0};
        args.values[kOfxInteractPropDrawContext] = {static_cast<void*>(&context_)};
        return entry_(kOfxInteractActionDraw, overlay_.handle(), args.handle(), nullptr);
    }

private:
    PluginSession session_;
    FakeEffect* effect_ = nullptr;
    OfxPluginEntryPoint* entry_ = nullptr;
    FakeInteract descriptor_;
    FakeInteract overlay_;
    int context_ = 0;
};

} // namespace

TEST(TestPluginOverlay, LivesAndDrawsNothingOnAHostWithoutTheDrawSuite) {
    FakeHost host;
    host.withholdSuite(kOfxDrawSuite);
    OverlaySession overlay(host);
    EXPECT_EQ(overlay.draw(), kOfxStatReplyDefault);
}
