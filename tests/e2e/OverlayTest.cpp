// The test plug-in's overlay through the headless viewer: its drawing arrives as draw-suite
// calls, pen presses near "center" are taken. What it draws is checked through halden-render's
// --overlays in tests/cli.

#include "TestPluginSession.h"

#include "host/core/HostError.h"
#include "host/interact/OverlayInteract.h"

#include <gtest/gtest.h>

namespace {

using ofxhost::EffectInstance;
using ofxhost::HostError;
using ofxhost::HostProfile;
using ofxhost::InteractArgs;
using ofxhost::InteractSettings;
using ofxhost::OverlayInteract;
using ofxhost::ParamValue;
using ofxhost::PenArgs;
using teste2e::TestPluginSession;

// The OFX name of a host preset with the draw suite.
const char* const kDrawingHost = "DaVinciResolve";

PenArgs penAt(double x, double y) {
    PenArgs args;
    args.position = OfxPointD{x, y};
    args.viewportPosition = OfxPointI{static_cast<int>(x), static_cast<int>(y)};
    args.pressure = 1.0;
    return args;
}

TEST(Overlay, TakesPenPressesWithinTenUnitsOfCenterOnly) {
    TestPluginSession session(HostProfile::forName(kDrawingHost));
    EffectInstance& instance = session.instance();
    instance.setValue("center", ParamValue::of({-20.0, 5.0}));
    OverlayInteract& overlay = instance.createOverlay(InteractSettings{});
    EXPECT_EQ(overlay.penDown(penAt(-20.0, 5.0)), kOfxStatOK);
    EXPECT_EQ(overlay.penDown(penAt(-14.0, 13.0)), kOfxStatOK);
    EXPECT_EQ(overlay.penDown(penAt(-14.0, 14.0)), kOfxStatReplyDefault);
    EXPECT_EQ(overlay.penDown(penAt(100.0, 100.0)), kOfxStatReplyDefault);
    const OfxStatus up = overlay.penUp(penAt(-20.0, 5.0));
    EXPECT_TRUE(up == kOfxStatOK || up == kOfxStatReplyDefault) << up;
}

TEST(Overlay, FollowsCenterAnimatedOverTime) {
    TestPluginSession session(HostProfile::forName(kDrawingHost));
    EffectInstance& instance = session.instance();
    instance.setValueAtTime("center", 0.0, ParamValue::of({0.0, 0.0}));
    instance.setValueAtTime("center", 10.0, ParamValue::of({100.0, 50.0}));
    OverlayInteract& overlay = instance.createOverlay(InteractSettings{});
    session.host.recorder().clearDrawCalls();
    InteractArgs at;
    at.time = 5.0;
    EXPECT_EQ(overlay.draw(at), kOfxStatOK);
    const auto calls = session.host.recorder().drawCalls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().text, "center");
    EXPECT_EQ(calls.back().points.at(0).x, 50.0);
    EXPECT_EQ(calls.back().points.at(0).y, 25.0);
}

TEST(Overlay, IsRefusedByAHostWithoutOverlays) {
    HostProfile profile = HostProfile::forName(kDrawingHost);
    profile.supportsOverlays = false;
    TestPluginSession session(profile);
    EffectInstance& instance = session.instance();
    EXPECT_THROW(instance.createOverlay(InteractSettings{}), HostError);
}

TEST(Overlay, InstanceCarriesTheViewerProperties) {
    TestPluginSession session(HostProfile::forName(kDrawingHost));
    EffectInstance& instance = session.instance();
    InteractSettings settings;
    settings.pixelScale[0] = 0.5;
    settings.pixelScale[1] = 0.5;
    settings.viewport[0] = 640;
    settings.viewport[1] = 360;
    OverlayInteract& overlay = instance.createOverlay(settings);
    EXPECT_EQ(overlay.properties().getPointer(kOfxPropEffectInstance), instance.handle());
    EXPECT_EQ(overlay.properties().getDoubles(kOfxInteractPropPixelScale),
              (std::vector<double>{0.5, 0.5}));
    EXPECT_EQ(overlay.properties().getInts("OfxInteractPropViewport"),
              (std::vector<int>{640, 360}));
    instance.destroyOverlay(overlay);
    EXPECT_EQ(session.plugin.escapedExceptions(), 0);
}

} // namespace
