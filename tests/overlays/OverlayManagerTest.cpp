// The manager of a viewer's overlays: what it builds from the registry, and how it routes draw
// and pen events (topmost first, one active drag, closed however it ends). The overlay switch
// and hosts without drawing are seen through the bundle.

#include "LogCapture.h"
#include "OverlayFakes.h"

#include "overlays/OverlayManager.h"
#include "overlays/OverlayRegistry.h"

#include <gtest/gtest.h>

#include <functional>
#include <iterator>

namespace {

using namespace overlaytest;

OverlayDef overlay(OverlayType type, const std::string& param) {
    OverlayDef def;
    def.type = type;
    def.param = param;
    return def;
}

// Registers the overlays under that effect name and makes it current.
void registerEffect(const std::string& name, std::vector<OverlayDef> overlays, int coords = 0) {
    OverlayRegistry::instance().registerOverlays(name, std::move(overlays), coords);
    OverlayRegistry::instance().setCurrentEffect(name);
}

TEST(OverlayManager, BuildsOneOverlayPerTopLevelRecordAndLogsEach) {
    testenv::LogCapture log;
    OverlayDef line = overlay(OverlayType::Line, "");
    line.center = "pos";
    line.angle = "tilt";
    line.color = OverlayColor{1.0f, 0.0f, 1.0f, true};
    line.children.push_back(overlay(OverlayType::Point, "inner"));
    OverlayDef slider = overlay(OverlayType::VSlider, "mix");
    slider.fixedX = 0.125f;
    registerEffect(
        "Manager Effect",
        {overlay(OverlayType::Point, "pos"), line, overlay(OverlayType::Qualifier, "key"), slider},
        1);

    FakeOverlayParams params;
    const auto manager = OverlayManager::create(&params);
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(manager->size(), 3u);
    for (const char* expected :
         {"[INFO] Registered 4 overlays for effect 'Manager Effect' (coordSystem=1)",
          "[INFO] Created PointOverlay for param 'pos' with style 'crosshair'",
          "[INFO] Created LineOverlay for center 'pos' with angle 'tilt'",
          "[INFO] QualifierOverlay not yet implemented for param 'key'",
          "[INFO] Created VSliderOverlay for param 'mix' at x=0.12",
          "[INFO] OverlayManager created with 3 overlays",
          "[INFO] Created OverlayManager with 4 overlay definitions (coordSystem=1)"}) {
        EXPECT_TRUE(log.contains(expected)) << expected;
    }
    EXPECT_EQ(log.text().find("'inner'"), std::string::npos);

    // The colour and the coordinate system reach the overlays: (0, 0) is the centre.
    params.double2D["pos"] = {0.0, 0.0};
    RecordingCanvas canvas;
    manager->overlay(1).draw(canvas, drawArgs());
    EXPECT_EQ(canvas.calls.at(0).colour.g, 0.0f);
    EXPECT_EQ(canvas.calls.at(0).points[0].y, 540.0);
}

TEST(OverlayManager, IsNotMadeForAnEffectWithoutOverlays) {
    testenv::LogCapture log;
    registerEffect("Bare Effect", {});
    FakeOverlayParams params;
    EXPECT_EQ(OverlayManager::create(&params), nullptr);
    EXPECT_TRUE(log.contains("[INFO] No overlay definitions found for effect 'Bare Effect'"));
    // A later registration under the same name replaces the entry.
    registerEffect("Bare Effect", {overlay(OverlayType::Point, "p")});
    EXPECT_NE(OverlayManager::create(&params), nullptr);
}

// Two points on the same spot, "under" declared first.
struct Overlapping : ::testing::Test {
    Overlapping() {
        registerEffect("Overlapping",
                       {overlay(OverlayType::Point, "under"), overlay(OverlayType::Point, "over")});
        params.double2D["under"] = {0.5, 0.5};
        params.double2D["over"] = {0.5, 0.5};
        manager = OverlayManager::create(&params);
    }
    FakeOverlayParams params;
    std::unique_ptr<OverlayManager> manager;
};

TEST_F(Overlapping, ThePenGoesToTheOverlayDeclaredLater) {
    RecordingCanvas canvas;
    EXPECT_TRUE(manager->draw(canvas, drawArgs()));
    EXPECT_EQ(canvas.circleRadii().size(), 2u);
    EXPECT_FALSE(manager->penDown(penAt(100.0, 100.0)));
    ASSERT_TRUE(manager->penDown(penAt(960.0, 540.0)));
    EXPECT_EQ(manager->active(), &manager->overlay(1));
    EXPECT_TRUE(manager->penMotion(penAt(480.0, 540.0)));
    EXPECT_EQ(params.double2D["over"].x, 0.25);
    EXPECT_EQ(params.double2D["under"].x, 0.5);
    EXPECT_TRUE(manager->penUp(penAt(480.0, 540.0)));
    EXPECT_EQ(manager->active(), nullptr);
    EXPECT_FALSE(manager->penMotion(penAt(0.0, 0.0)));
    EXPECT_FALSE(manager->penUp(penAt(0.0, 0.0)));
    EXPECT_EQ(params.editBlocks, (std::vector<std::string>{"Drag over"}));
}

TEST(OverlayManager, EveryWayADragOfAnyKindEndsClosesItsOneEditBlock) {
    // Each kind, with where its handle lies on a 1920 × 1080 frame.
    const struct {
        OverlayType type;
        const char* param;
        OfxPointD at;
    } kinds[] = {{OverlayType::Point, "c", {960.0, 540.0}},
                 {OverlayType::Line, "", {960.0, 540.0}},
                 {OverlayType::Radius, "r", {1068.0, 540.0}},  // on the ring
                 {OverlayType::Scale2D, "s", {1344.0, 756.0}}, // the corner
                 {OverlayType::Vector, "", {1068.0, 540.0}},   // the tip
                 {OverlayType::VSlider, "r", {960.0, 540.0}},
                 {OverlayType::Ellipse, "e", {1068.0, 540.0}}}; // the X handle
    // Mid-drag, the switch named first is turned off, then: pen up; the overlay switch off and a
    // motion or a release; the overlay hidden; focus lost; a press whose release never came; the
    // interact destroyed.
    using Manager = std::unique_ptr<OverlayManager>;
    const OFX::PenArgs pen = penAt(0.0, 0.0);
    const std::pair<std::string, std::function<void(Manager&)>> ends[] = {
        {"", [&](Manager& m) { m->penUp(pen); }},
        {"show_overlays", [&](Manager& m) { m->penMotion(pen); }},
        {"show_overlays", [&](Manager& m) { m->penUp(pen); }},
        {"on", [&](Manager& m) { m->penMotion(pen); }},
        {"", [&](Manager& m) { m->endActiveDrag(); }},
        {"", [&](Manager& m) { m->penDown(pen); }},
        {"", [&](Manager& m) { m.reset(); }}};
    for (const auto& kind : kinds) {
        OverlayDef def = overlay(kind.type, kind.param);
        def.center = "c";
        def.angle = def.direction = "a";
        def.visibleWhen = "on";
        registerEffect("Drag Ends", {def});
        for (size_t end = 0; end < std::size(ends); ++end) {
            SCOPED_TRACE(std::to_string(static_cast<int>(kind.type)) + " " + std::to_string(end));
            FakeOverlayParams params;
            params.double2D = {{"c", {0.5, 0.5}}, {"s", {0.2, 0.2}}, {"e", {0.1, 0.1}}};
            params.doubles = {{"a", 0.0}, {"r", 0.1}};
            params.booleans["on"] = true;
            Manager manager = OverlayManager::create(&params);
            ASSERT_TRUE(manager->penDown(penAt(kind.at.x, kind.at.y)));
            EXPECT_TRUE(manager->penMotion(penAt(kind.at.x + 40.0, kind.at.y + 30.0)));
            params.booleans[ends[end].first] = false;
            ends[end].second(manager);
            EXPECT_EQ(params.openBlocks, 0);
            EXPECT_EQ(params.editBlocks.size(), 1u);
            EXPECT_GT(params.writesInBlock, 0);
            EXPECT_EQ(params.writesOutsideBlock, 0);
        }
    }
}

} // namespace
