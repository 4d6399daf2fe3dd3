// `halden-render --describe` run as a user runs it: JSON with the exact keys of the contract on
// stdout. Its failures are checked with the render's, in tests/cli.

#include "JsonReader.h"

#include "CommandRun.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using teste2e::JsonReader;
using teste2e::JsonValue;

using testenv::CommandRun;
using testenv::runRender;

std::string bundleArgument() {
    return std::string("--bundle \"") + HALDEN_TEST_PLUGIN_BUNDLE + "\"";
}

class DescribeCommand : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const CommandRun run = runRender("--describe " + bundleArgument());
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        document = JsonReader::parse(run.out);
    }
    static JsonValue document;
};

JsonValue DescribeCommand::document;

TEST_F(DescribeCommand, PrintsExactlyTheContractKeys) {
    using Keys = std::vector<std::string>;
    EXPECT_EQ(document.keys(), (Keys{"plugin", "clips", "params", "pages"}));
    EXPECT_EQ(document["plugin"].keys(),
              (Keys{"identifier", "version", "label", "grouping", "description", "contexts",
                    "pixelDepths", "supportsTiles", "cudaRender", "cudaStream",
                    "renderThreadSafety", "overlayInteract"}));
    for (const auto& clip : document["clips"].items) {
        EXPECT_EQ(clip.keys(), (Keys{"name", "optional", "isMask", "components", "supportsTiles"}));
    }
    for (const auto& param : document["params"].items) {
        EXPECT_EQ(param.keys(), (Keys{"name", "type", "label", "hint", "default", "min", "max",
                                      "displayMin", "displayMax", "increment", "digits", "parent",
                                      "options", "secret", "enabled"}));
    }
    for (const auto& page : document["pages"].items) {
        EXPECT_EQ(page.keys(), (Keys{"name", "children"}));
    }
}

// What the test plug-in declared, as the host holds it (tests of the host's own records, such
// as which properties the plug-in set, are in DescribeTest.cpp).
TEST_F(DescribeCommand, DescribesThePluginItLoaded) {
    const JsonValue& plugin = document["plugin"];
    EXPECT_EQ(plugin["identifier"].text, "org.halden.testplugin");
    EXPECT_EQ(plugin["version"].text, "1.2");
    EXPECT_EQ(plugin["label"].text, "Halden Test Effect");
    EXPECT_EQ(plugin["grouping"].text, "Halden Tests");
    EXPECT_EQ(plugin["description"].text, "Scales the source by a gain");
    EXPECT_EQ(
        plugin["contexts"].strings(),
        (std::vector<std::string>{"OfxImageEffectContextFilter", "OfxImageEffectContextGeneral"}));
    EXPECT_EQ(plugin["pixelDepths"].strings(), (std::vector<std::string>{"OfxBitDepthFloat"}));
    EXPECT_EQ(plugin["supportsTiles"].kind, JsonValue::Kind::Bool);
    EXPECT_FALSE(plugin["supportsTiles"].flag);
    EXPECT_EQ(plugin["renderThreadSafety"].text, "OfxImageEffectRenderFullySafe");
    EXPECT_TRUE(plugin["overlayInteract"].flag);
}

TEST_F(DescribeCommand, ListsClipsAndParamsInDefinitionOrder) {
    const JsonValue& clips = document["clips"];
    ASSERT_EQ(clips.items.size(), 3u);
    EXPECT_EQ(clips[1]["name"].text, "Mask");
    EXPECT_TRUE(clips[1]["optional"].flag);
    EXPECT_TRUE(clips[1]["isMask"].flag);
    EXPECT_EQ(clips[1]["components"].strings(),
              (std::vector<std::string>{"OfxImageComponentAlpha"}));

    const JsonValue& params = document["params"];
    std::vector<std::string> names;
    for (const JsonValue& param : params.items) {
        names.push_back(param["name"].text + ":" + param["type"].text);
    }
    EXPECT_EQ(names, (std::vector<std::string>{
                         "gain:OfxParamTypeDouble", "offset:OfxParamTypeInteger",
                         "invert:OfxParamTypeBoolean", "mode:OfxParamTypeChoice",
                         "tint:OfxParamTypeRGB", "tintAlpha:OfxParamTypeRGBA",
                         "center:OfxParamTypeDouble2D", "point3:OfxParamTypeDouble3D",
                         "note:OfxParamTypeString", "reset:OfxParamTypePushButton",
                         "curve:OfxParamTypeParametric", "fail_render:OfxParamTypeBoolean",
                         "Advanced:OfxParamTypeGroup", "Controls:OfxParamTypePage"}));
    ASSERT_EQ(params.items.size(), 14u);
    const JsonValue& gain = params[0];
    EXPECT_EQ(gain["label"].text, "Gain");
    EXPECT_EQ(gain["hint"].text, "Multiplies the source");
    EXPECT_EQ(gain["default"].number, 1.0);
    EXPECT_EQ(gain["min"].number, 0.0);
    EXPECT_EQ(gain["max"].number, 10.0);
    EXPECT_EQ(gain["displayMin"].number, 0.0);
    EXPECT_EQ(gain["displayMax"].number, 4.0);
    EXPECT_EQ(gain["increment"].number, 0.1);
    EXPECT_EQ(gain["digits"].number, 2.0);
    EXPECT_EQ(gain["parent"].text, "");
    EXPECT_TRUE(gain["options"].isNull());
    EXPECT_TRUE(gain["enabled"].flag);
    EXPECT_FALSE(gain["secret"].flag);

    EXPECT_EQ(params[1]["default"].number, 0.0);
    EXPECT_EQ(params[1]["min"].number, -100.0);
    EXPECT_EQ(params[1]["max"].number, 100.0);
    EXPECT_EQ(params[2]["default"].kind, JsonValue::Kind::Bool);
    EXPECT_FALSE(params[2]["default"].flag);
    EXPECT_EQ(params[3]["options"].strings(),
              (std::vector<std::string>{"Multiply", "Add", "Screen"}));
    EXPECT_EQ(params[3]["default"].number, 0.0);
    EXPECT_EQ(params[4]["default"].numbers(), (std::vector<double>{1, 1, 1}));
    EXPECT_EQ(params[5]["default"].numbers(), (std::vector<double>{1, 1, 1, 1}));
    EXPECT_EQ(params[6]["default"].numbers(), (std::vector<double>{100, 100}));
    EXPECT_EQ(params[7]["default"].numbers(), (std::vector<double>{0, 0, 0}));
    EXPECT_EQ(params[8]["default"].text, "hello");
    EXPECT_TRUE(params[9]["default"].isNull()) << "a push button has no value";
    EXPECT_TRUE(params[9]["min"].isNull());
    EXPECT_FALSE(params[11]["default"].flag);
    for (std::size_t member : {8, 10, 11}) {
        EXPECT_EQ(params[member]["parent"].text, "Advanced") << params[member]["name"].text;
    }
}

TEST_F(DescribeCommand, ListsThePagesWithTheirChildren) {
    const JsonValue& pages = document["pages"];
    ASSERT_EQ(pages.items.size(), 1u);
    EXPECT_EQ(pages[0]["name"].text, "Controls");
    EXPECT_EQ(pages[0]["children"].strings(),
              (std::vector<std::string>{"gain", "offset", "invert", "mode", "tint", "center",
                                        "Advanced"}));
}

TEST(DescribeCommandHosts, ReportsTheSameEffectToEveryHostAndContext) {
    for (const char* host : {"resolve", "nuke", "flame", "com.example.app"}) {
        const CommandRun run = runRender("--describe --context general --host " +
                                         std::string(host) + " " + bundleArgument());
        ASSERT_EQ(run.status, 0) << host << ": " << run.err;
        const JsonValue document = JsonReader::parse(run.out);
        EXPECT_EQ(document["clips"].items.size(), 3u) << host;
        EXPECT_EQ(document["params"].items.size(), 14u) << host;
    }
}

} // namespace
