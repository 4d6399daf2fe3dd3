// The test plug-in's overlay through the support layer's interact entry point and draw suite.

#include "FakeHost.h"
#include "PluginSession.h"

#include <gtest/gtest.h>

#include <cmath>

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

    OfxStatus penDown(double x, double y) {
        PropertyBag args;
        args.values[kOfxPropEffectInstance] = {static_cast<void*>(effect_)};
        args.values[kOfxPropTime] = {0.0};
        args.values[kOfxImageEffectPropRenderScale] = {1.0, 1.0};
        args.values[kOfxInteractPropPenPosition] = {x, y};
        args.values[kOfxInteractPropPenViewportPosition] = {0, 0};
        args.values[kOfxInteractPropPenPressure] = {1.0};
        return entry_(kOfxInteractActionPenDown, overlay_.handle(), args.handle(), nullptr);
    }

    FakeEffect& effect() { return *effect_; }

private:
    PluginSession session_;
    FakeEffect* effect_ = nullptr;
    OfxPluginEntryPoint* entry_ = nullptr;
    FakeInteract descriptor_;
    FakeInteract overlay_;
    int context_ = 0;
};

} // namespace

TEST(TestPluginOverlay, DrawsARedSquareOfSide20AndItsNameAroundTheCentre) {
    FakeHost host;
    OverlaySession overlay(host);
    overlay.effect().param("center")->value = {40.0, -12.5};

    ASSERT_EQ(overlay.draw(), kOfxStatOK);
    ASSERT_EQ(host.drawCalls.size(), 3u);
    const fakehost::DrawCall& colour = host.drawCalls[0];
    EXPECT_EQ(colour.kind, "colour");
    EXPECT_EQ(colour.colour.r, 1.0f);
    EXPECT_EQ(colour.colour.g, 0.0f);
    EXPECT_EQ(colour.colour.b, 0.0f);
    EXPECT_EQ(colour.colour.a, 1.0f);
    const fakehost::DrawCall& square = host.drawCalls[1];
    EXPECT_EQ(square.primitive, kOfxDrawPrimitiveLineLoop);
    ASSERT_EQ(square.points.size(), 4u);
    for (const OfxPointD& corner : square.points) {
        EXPECT_EQ(std::abs(corner.x - 40.0), 10.0);
        EXPECT_EQ(std::abs(corner.y + 12.5), 10.0);
    }
    const fakehost::DrawCall& text = host.drawCalls[2];
    EXPECT_EQ(text.text, "center");
    EXPECT_EQ(text.points[0].x, 40.0);
    EXPECT_EQ(text.points[0].y, -12.5);
}

TEST(TestPluginOverlay, TakesAPenDownWithin10UnitsOfTheCentreOnly) {
    FakeHost host;
    OverlaySession overlay(host);
    EXPECT_EQ(overlay.penDown(100.0, 100.0), kOfxStatOK);
    EXPECT_EQ(overlay.penDown(106.0, 108.0), kOfxStatOK);
    EXPECT_EQ(overlay.penDown(111.0, 100.0), kOfxStatReplyDefault);
    EXPECT_EQ(overlay.penDown(-100.0, -100.0), kOfxStatReplyDefault);
}

TEST(TestPluginOverlay, DrawsNothingOnAHostWithoutTheDrawSuite) {
    FakeHost host;
    host.withholdSuite(kOfxDrawSuite);
    OverlaySession overlay(host);
    EXPECT_EQ(overlay.draw(), kOfxStatReplyDefault);
    EXPECT_TRUE(host.drawCalls.empty());
}
