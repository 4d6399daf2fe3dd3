#include "definition/XMLEffectDefinition.h"

#include "DefinitionText.h"
#include "LogCapture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using testdef::effect;
const std::string kParams = testdef::someParameters();

std::string withGroups(const std::string& sections) {
    return effect(kParams +
                  "<ui><group name=\"Zeta\"><parameter>a</parameter></group>"
                  "<group name=\"Alpha\"><parameter>b</parameter></group>"
                  "<group name=\"Mid\"><parameter>c</parameter></group></ui>" +
                  sections);
}

using testdef::DefinitionHardErrors;
using testdef::HardError;

INSTANTIATE_TEST_SUITE_P(
    Layout, DefinitionHardErrors,
    ::testing::Values(
        HardError{"TopLevelEmpty", effect(kParams + "<ui><parameter/></ui>"),
                  "Top-level parameter reference in <ui> cannot be empty"},
        HardError{"TopLevelUnknown", effect(kParams + "<ui><parameter>q</parameter></ui>"),
                  "Referenced top-level parameter does not exist: q"},
        HardError{"GroupName", effect(kParams + "<ui><group><parameter>a</parameter></group></ui>"),
                  "group must have a name attribute"},
        HardError{"GroupEmpty", effect(kParams + "<ui><group name=\"g\"/></ui>"),
                  "group must contain either columns or direct parameter references"},
        HardError{"ColumnName", effect(kParams + "<ui><group name=\"g\"><column/></group></ui>"),
                  "Column must have a name attribute"},
        HardError{"ReferenceEmpty",
                  effect(kParams + "<ui><group name=\"g\"><column name=\"c\">"
                                   "<parameter/></column></group></ui>"),
                  "Parameter reference cannot be empty"},
        HardError{"ReferenceUnknown",
                  effect(kParams + "<ui><group name=\"g\"><parameter>nope</parameter>"
                                   "</group></ui>"),
                  "Referenced parameter does not exist: nope"},
        HardError{"PageName", withGroups("<pages><page/></pages>"),
                  "<page> must have a name attribute"},
        HardError{"PageGroupEmpty", withGroups("<pages><page name=\"P\"><group/></page></pages>"),
                  "<group> reference in <page> 'P' cannot be empty"},
        HardError{"PageGroupUnknown",
                  withGroups("<pages><page name=\"P\"><group>Beta</group></page></pages>"),
                  "Unknown group 'Beta' referenced in <page> 'P'. Available groups: Alpha, "
                  "Mid, Zeta"},
        HardError{"PageElementUnknown",
                  withGroups("<pages><page name=\"P\"><column/></page></pages>"),
                  "Unknown element <column> in <page> 'P'. Valid elements: <group>, "
                  "<top-level/>"},
        HardError{"BufferName", effect("<accumulation_buffers><buffer/></accumulation_buffers>"),
                  "Accumulation buffer must have a name attribute"},
        HardError{"BufferDuplicate",
                  effect("<accumulation_buffers><buffer name=\"h\"/><buffer name=\"h\"/>"
                         "</accumulation_buffers>"),
                  "Duplicate accumulation buffer name: h"}),
    testdef::hardErrorName);

TEST(DefinitionLayout, GroupsHoldColumnsOrParametersAndPagesReferToGroups) {
    testenv::LogCapture log;
    const XMLEffectDefinition definition = testdef::parsed(effect(
        kParams + "<ui><parameter>c</parameter>"
                  "<group name=\"Cols\" tooltip=\"tip\"><column name=\"left\" tooltip=\"L\">"
                  "<parameter>a</parameter><parameter>b</parameter></column></group>"
                  "<group name=\"Both\" open=\"false\"><column name=\"k\"><parameter>a</parameter>"
                  "</column><parameter>b</parameter></group>"
                  "<group name=\"Unplaced\"><parameter>c</parameter></group></ui>"
                  "<pages><page name=\"One\"><!-- note --><top-level/><group>Cols</group></page>"
                  "<page name=\"Two\"><group>Cols</group><group>Both</group></page></pages>"));
    EXPECT_EQ(definition.topLevelParameters(), std::vector<std::string>{"c"});
    ASSERT_EQ(definition.uiGroups().size(), 3u);
    const UIGroupDef& cols = definition.uiGroups()[0];
    EXPECT_EQ(cols.tooltip, "tip");
    EXPECT_TRUE(cols.open);
    ASSERT_EQ(cols.columns.size(), 1u);
    EXPECT_EQ(cols.columns[0].name, "left");
    EXPECT_EQ(cols.columns[0].tooltip, "L");
    EXPECT_EQ(cols.columns[0].parameters, (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(cols.parameters.empty());
    const UIGroupDef& both = definition.uiGroups()[1];
    EXPECT_FALSE(both.open);
    EXPECT_EQ(both.columns.size(), 1u);
    EXPECT_EQ(both.parameters, std::vector<std::string>{"b"});

    // A group may sit on several pages or on none.
    ASSERT_EQ(definition.pages().size(), 2u);
    const PageDef& one = definition.pages()[0];
    ASSERT_EQ(one.items.size(), 2u);
    EXPECT_EQ(one.items[0].kind, PageItemKind::TopLevel);
    EXPECT_EQ(one.items[1].groupName, "Cols");
    EXPECT_EQ(definition.pages()[1].items.size(), 2u);
    EXPECT_TRUE(log.contains("[INFO]   Page 'One': 2 items"));
    EXPECT_TRUE(log.contains("[INFO] XMLEffectDefinition::parseUI completed, parsed 3 groups"));
}

TEST(DefinitionPipeline, ProcessesKeepKernelsOfEveryPlatformAndIgnoreOtherElements) {
    testenv::LogCapture log;
    const XMLEffectDefinition definition = testdef::parsed(
        effect("<accumulation_buffers><buffer name=\"history\"/></accumulation_buffers>"
               "<pipeline executions=\"3\">"
               "<process name=\"first\" executions=\"2\" initialization=\"clear\">"
               "<cuda file=\"a.cu\"/><vulkan file=\"x\"/><opencl file=\"a.cl\" executions=\"4\"/>"
               "</process><process/></pipeline>",
               false));
    EXPECT_EQ(definition.pipelineExecutions(), "3");
    EXPECT_EQ(definition.accumulationBuffers(), std::vector<std::string>{"history"});
    ASSERT_EQ(definition.processes().size(), 2u);
    const ProcessDef& first = definition.processes()[0];
    EXPECT_EQ(first.executions, "2");
    EXPECT_EQ(first.initialization, "clear");
    ASSERT_EQ(first.kernels.size(), 2u);
    EXPECT_EQ(first.kernels[0].platform, "cuda");
    EXPECT_EQ(first.kernels[0].executions, 1);
    EXPECT_EQ(first.kernels[1].platform, "opencl");
    EXPECT_EQ(first.kernels[1].executions, 4);
    EXPECT_EQ(definition.processes()[1].name, "unnamed_process");
    EXPECT_TRUE(log.contains("[INFO] Effect executions (from <pipeline>): 3"));
    EXPECT_TRUE(log.contains("[INFO]   Process 'first': 2 kernels, executions=2, init=clear"));
    EXPECT_TRUE(log.contains("[INFO]   Process 'unnamed_process': 0 kernels, executions=1, "
                             "init=none"));
    EXPECT_TRUE(log.contains("[INFO] Parsed 2 processes from <pipeline> section"));
}

void expectColor(const std::string& text, float r, float g, float b, bool given = true) {
    const OverlayColor color = parseOverlayColor(text);
    EXPECT_FLOAT_EQ(color.r, r) << text;
    EXPECT_FLOAT_EQ(color.g, g) << text;
    EXPECT_FLOAT_EQ(color.b, b) << text;
    EXPECT_EQ(color.given, given) << text;
}

TEST(OverlayColors, HexCommaListsAndNamesAreReadAndAnythingElseIsWhite) {
    testenv::LogCapture log;
    expectColor("", 1, 1, 1, false);
    expectColor("#0f0", 0, 1, 0);
    expectColor("#FF8000", 1, 128.0f / 255.0f, 0);
    expectColor("#12345", 1, 1, 1);
    expectColor("#zzzzzz", 1, 1, 1);
    expectColor("0.2,0.4", 0.2f, 0.4f, 1);
    expectColor("0.1,0.2,0.3", 0.1f, 0.2f, 0.3f);
    expectColor("Cyan", 0, 1, 1);
    expectColor("GREY", 0.5f, 0.5f, 0.5f);
    expectColor("orange", 1, 0.5f, 0);
    expectColor("pink", 1, 0.5f, 0.5f);
    expectColor("turquoise", 1, 1, 1);
    EXPECT_TRUE(log.contains("[INFO] Unknown overlay color 'turquoise', using white"));
}

TEST(DefinitionOverlays, KeepOnlyDrivenOverlaysWithTheirNestedHandles) {
    testenv::LogCapture log;
    const XMLEffectDefinition definition = testdef::parsed(effect(
        kParams + "<overlays>"
                  "<point style=\"target\"/>"
                  "<spiral param=\"a\"/>"
                  "<ellipse center=\"a\" fixed_x=\"0.25\" fixed_magnitude=\"0.3\" color=\"#f00\">"
                  "<radius param=\"b\"/><vector/><scale2d param=\"c\" direction=\"a\"/>"
                  "<point param=\"c\"/></ellipse>"
                  "<vslider param=\"b\" magnitude=\"a\"/>"
                  "</overlays>"));
    EXPECT_TRUE(log.contains("[INFO] Unknown overlay type 'spiral', skipping"));

    const std::vector<OverlayDef>& overlays = definition.overlays();
    ASSERT_EQ(overlays.size(), 2u);
    const OverlayDef& ellipse = overlays[0];
    EXPECT_EQ(ellipse.type, OverlayType::Ellipse);
    EXPECT_FLOAT_EQ(ellipse.fixedX, 0.25f);
    EXPECT_FLOAT_EQ(ellipse.fixedMagnitude, 0.3f);
    EXPECT_FLOAT_EQ(ellipse.color.g, 0.0f);
    ASSERT_EQ(ellipse.children.size(), 2u);
    EXPECT_EQ(ellipse.children[0].type, OverlayType::Radius);
    EXPECT_EQ(ellipse.children[1].type, OverlayType::Scale2D);
    EXPECT_EQ(ellipse.children[1].direction, "a");
    EXPECT_EQ(overlays[1].type, OverlayType::VSlider);
    EXPECT_EQ(overlays[1].magnitude, "a");
    EXPECT_FALSE(overlays[1].color.given);
    EXPECT_TRUE(log.contains("[INFO] Parsed 2 overlays"));
}

TEST(DefinitionOverlays, CoordinateSystemsAreKnownByTheirLowerCaseNames) {
    testenv::LogCapture log;
    const std::pair<const char*, OverlayCoordinates> systems[] = {
        {"centered", OverlayCoordinates::Centered},
        {"centered_aspect", OverlayCoordinates::CenteredAspect},
        {"Centered", OverlayCoordinates::UV}};
    for (const auto& [text, system] : systems) {
        const std::string overlays = "<overlays coordinates=\"" + std::string(text) + "\"/>";
        EXPECT_EQ(testdef::parsed(effect(overlays)).overlayCoordinates(), system) << text;
    }
}

} // namespace
