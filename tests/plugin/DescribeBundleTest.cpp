// What hosts are told by the real bundle: pages and padding on paged hosts, the legacy layout
// elsewhere, clips, every definition parameter, the framework controls and preset lists.
#include "PluginCommand.h"

#include "definition/EmbeddedDefinition.h"
#include "definition/XMLEffectDefinition.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>

namespace fs = std::filesystem;
using teste2e::JsonValue;
using testplugin::describe;
using testplugin::findByName;

namespace {

std::vector<std::string> pageNames(const JsonValue& d) {
    std::vector<std::string> names;
    for (const JsonValue& page : d["pages"].items) {
        names.push_back(page["name"].text);
    }
    return names;
}

std::vector<std::string> pageChildren(const JsonValue& d, const std::string& page) {
    return findByName(d["pages"], page)->operator[]("children").strings();
}

const JsonValue& param(const JsonValue& d, const std::string& name) {
    const JsonValue* p = findByName(d["params"], name);
    if (p == nullptr) {
        throw std::runtime_error("no parameter " + name);
    }
    return *p;
}

class DescribedToNuke : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        testplugin::IsolatedUser user;
        testenv::ScopedVariable backend("HALDEN_BACKEND", "cpu");
        nuke = new JsonValue(describe(testplugin::bundlePath("halden_v01"), "--host nuke"));
    }
    static void TearDownTestSuite() { delete nuke; }
    static JsonValue* nuke;
};
JsonValue* DescribedToNuke::nuke = nullptr;

TEST_F(DescribedToNuke, PagesArePaddedToWholeHostTabs) {
    const JsonValue& d = *nuke;
    EXPECT_EQ(pageNames(d),
              (std::vector<std::string>{"Main", "Effects", "Occlusion", "Sampling", "Settings"}));
    EXPECT_EQ(pageChildren(d, "Occlusion"),
              (std::vector<std::string>{"_grp_Bokeh Occlusion", "_pad_0", "_pad_1"}));
    EXPECT_EQ(pageChildren(d, "Sampling"),
              (std::vector<std::string>{"_grp_Sampling", "_grp_Custom Kernel", "_pad_2", "_pad_3",
                                        "_pad_4"}));
    for (int pad = 0; pad < 5; ++pad) {
        const std::string group = "_pad_" + std::to_string(pad);
        EXPECT_EQ(param(d, group)["label"].text, " ");
        EXPECT_FALSE(param(d, group)["enabled"].flag);
        for (int i = 0; i < 5; ++i) {
            const JsonValue& filler = param(d, group + "_" + std::to_string(i));
            EXPECT_EQ(filler["parent"].text, group);
            EXPECT_EQ(filler["type"].text, "OfxParamTypeBoolean");
        }
    }
    EXPECT_EQ(findByName(d["params"], "_pad_5"), nullptr);
    EXPECT_EQ(pageChildren(d, "Settings"),
              (std::vector<std::string>{"factoryPresets", "myPresets", "blendHelpGroup"}));
    EXPECT_EQ(param(d, "Blend")["parent"].text, "blendHelpGroup");
    EXPECT_EQ(param(d, "getHelp")["parent"].text, "blendHelpGroup");
    EXPECT_EQ(findByName(d["params"], "show_overlays"), nullptr);
}

TEST_F(DescribedToNuke, TheEffectIsAFloatFilterWithSourceAndOptionalKernelMap) {
    const JsonValue& plugin = (*nuke)["plugin"];
    EXPECT_EQ(plugin["identifier"].text, "com.effectkit.halden_v01");
    EXPECT_EQ(plugin["version"].text, "1.0");
    EXPECT_EQ(plugin["label"].text, "BRMR Halden");
    EXPECT_EQ(plugin["grouping"].text, "Brinmoor");
    EXPECT_EQ(
        plugin["contexts"].strings(),
        (std::vector<std::string>{"OfxImageEffectContextFilter", "OfxImageEffectContextGeneral"}));
    EXPECT_EQ(plugin["pixelDepths"].strings(), std::vector<std::string>{"OfxBitDepthFloat"});
    // A CUDA host would hand device memory to a plug-in that renders on the CPU.
    EXPECT_EQ(plugin["cudaRender"].text, "false");
    EXPECT_EQ(plugin["cudaStream"].text, "false");
    EXPECT_EQ(plugin["renderThreadSafety"].text, "OfxImageEffectRenderInstanceSafe");

    const JsonValue& clips = (*nuke)["clips"];
    ASSERT_EQ(clips.items.size(), 3u);
    const char* names[] = {"Source", "KernelMap", "Output"};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(clips[i]["name"].text, names[i]);
        EXPECT_EQ(clips[i]["components"].strings(),
                  std::vector<std::string>{"OfxImageComponentRGBA"});
        EXPECT_TRUE(clips[i]["supportsTiles"].flag);
        EXPECT_FALSE(clips[i]["isMask"].flag);
    }
    EXPECT_FALSE(clips[0]["optional"].flag);
    EXPECT_TRUE(clips[1]["optional"].flag);
}

TEST_F(DescribedToNuke, EveryDefinitionParameterCarriesItsRangesAndHints) {
    XMLEffectDefinition definition;
    ASSERT_TRUE(definition.parseEmbedded(embeddedEffectDefinition()));
    for (const ParameterDef& def : definition.parameters()) {
        SCOPED_TRACE(def.name);
        const JsonValue& p = param(*nuke, def.name);
        EXPECT_EQ(p["label"].text, def.label);
        EXPECT_EQ(p["hint"].text, def.hint);
        if (def.type == "float") {
            EXPECT_EQ(p["type"].text, "OfxParamTypeDouble");
            EXPECT_DOUBLE_EQ(p["default"].number, def.defaultValue);
            EXPECT_DOUBLE_EQ(p["min"].number, def.min);
            EXPECT_DOUBLE_EQ(p["max"].number, def.max);
            EXPECT_DOUBLE_EQ(p["displayMin"].number, def.displayMin);
            EXPECT_DOUBLE_EQ(p["displayMax"].number, def.displayMax);
            EXPECT_DOUBLE_EQ(p["increment"].number, def.increment);
        } else if (def.type == "int") {
            EXPECT_EQ(p["type"].text, "OfxParamTypeInteger");
            EXPECT_EQ(p["default"].number, std::trunc(def.defaultValue));
            EXPECT_EQ(p["min"].number, def.min);
            EXPECT_EQ(p["displayMax"].number, def.displayMax);
        } else if (def.type == "choice") {
            EXPECT_EQ(p["type"].text, "OfxParamTypeChoice");
            EXPECT_EQ(p["default"].number, def.defaultValue);
            ASSERT_EQ(p["options"].items.size(), def.options.size());
            for (std::size_t i = 0; i < def.options.size(); ++i) {
                EXPECT_EQ(p["options"][i].text, def.options[i].label);
            }
        } else if (def.type == "bool") {
            EXPECT_EQ(p["type"].text, "OfxParamTypeBoolean");
            EXPECT_EQ(p["default"].number != 0 || p["default"].flag, def.boolDefault);
        } else if (def.type == "vec2") {
            EXPECT_EQ(p["type"].text, "OfxParamTypeDouble2D");
            EXPECT_DOUBLE_EQ(p["default"][0].number, def.components[0].defaultValue);
            EXPECT_DOUBLE_EQ(p["default"][1].number, def.components[1].defaultValue);
            EXPECT_DOUBLE_EQ(p["min"][1].number, def.components[1].min);
            EXPECT_DOUBLE_EQ(p["max"][0].number, def.components[0].max);
            EXPECT_DOUBLE_EQ(p["increment"].number, def.components[0].increment);
        }
    }
    // As many digits as the increment needs.
    for (const auto& [name, digits] : {std::pair<const char*, double>{"optical_center", 3},
                                       {"blur_radius", 2},
                                       {"kernel_rotation", 1}}) {
        EXPECT_EQ(param(*nuke, name)["digits"].number, digits) << name;
    }
    // Definition parameters sit in their groups; the two top-level ones in none.
    EXPECT_EQ(param(*nuke, "blade_count")["parent"].text, "_grp_Iris Blades");
    EXPECT_EQ(param(*nuke, "blur_radius")["parent"].text, "");
}

TEST(DescribedToFlame, AddsTheOverlaySwitchToBlendAndHelp) {
    testplugin::IsolatedUser user;
    const JsonValue d = describe(testplugin::bundlePath("halden_v01"), "--host flame");
    EXPECT_EQ(pageNames(d).back(), "Settings");
    const JsonValue& toggle = param(d, "show_overlays");
    EXPECT_EQ(toggle["parent"].text, "blendHelpGroup");
    EXPECT_EQ(toggle["label"].text, "Show Overlays");
    EXPECT_TRUE(toggle["default"].flag || toggle["default"].number == 1);
}

TEST(DescribedToResolve, UsesTheLegacySinglePageLayout) {
    testplugin::IsolatedUser user;
    const JsonValue d = describe(testplugin::bundlePath("halden_v01"), "--host resolve");
    EXPECT_EQ(pageNames(d), std::vector<std::string>{"Main"});
    EXPECT_EQ(findByName(d["params"], "show_overlays"), nullptr);
    for (const char* control : {"factory_preset_list", "preset_list", "delete_preset",
                                "preset_name", "save_preset", "tutorialsButton"}) {
        EXPECT_EQ(param(d, control)["parent"].text, "presetsHelp") << control;
    }
    EXPECT_EQ(param(d, "factory_preset_list")["options"].strings(),
              std::vector<std::string>{"(no factory presets)"});
    EXPECT_EQ(param(d, "preset_list")["options"].strings(),
              std::vector<std::string>{"(no presets found)"});
    EXPECT_EQ(param(d, "Blend")["parent"].text, "Global Blend");
    EXPECT_EQ(param(d, "bokeh_power")["parent"].text, "_grp_Bokeh Pop");
    EXPECT_EQ(pageChildren(d, "Main").front(), "_grp_Bokeh Pop");
    // Presets & Help comes first, Global Blend last.
    EXPECT_EQ(d["params"][0]["name"].text, "presetsHelp");
    EXPECT_EQ(d["params"].items.back()["name"].text, "Blend");
}

TEST(DescribedToAnyHost, PresetListsAreFilledFromTheFolders) {
    testplugin::IsolatedUser user;
    fs::create_directories(user.userPresets());
    for (const char* file : {"b.xml", "A.xml", "notes.txt", "loud.XML"}) {
        std::ofstream(user.userPresets() / file) << "<preset/>";
    }
    // A copy of the bundle with factory presets beside its binary.
    testenv::TempDir plugins;
    const fs::path bundle = plugins.path() / "halden_v01.ofx.bundle";
    fs::copy(testplugin::bundlePath("halden_v01"), bundle, fs::copy_options::recursive);
    fs::remove_all(bundle / "Contents" / "Resources" / "presets");
    fs::create_directories(bundle / "Contents" / "Resources" / "presets");
    std::ofstream(bundle / "Contents" / "Resources" / "presets" / "Night Lights.xml")
        << "<preset/>";

    const JsonValue d = describe(bundle.string(), "--host nuke");
    EXPECT_EQ(param(d, "preset_list")["options"].strings(),
              (std::vector<std::string>{"Select from 2 presets", ">> Load Defaults <<", "A", "b"}));
    EXPECT_EQ(param(d, "factory_preset_list")["options"].strings(),
              (std::vector<std::string>{"Select from 1 preset", "Night Lights"}));
}

TEST(DescribedToAnyHost, AnUnknownHostGetsTheConservativeProfileAndIsNamedInTheLog) {
    testplugin::IsolatedUser user;
    // Whether overlays are offered follows the host's own word, whatever its profile.
    const JsonValue d =
        describe(testplugin::bundlePath("halden_v01_debug"), "--host \"Some Host\" --overlays off");
    EXPECT_EQ(pageNames(d), std::vector<std::string>{"Main"});
    EXPECT_FALSE(d["plugin"]["overlayInteract"].flag);
    const std::string log = testenv::readText(user.logFile());
    EXPECT_NE(log.find("[INFO] HostCapabilities: Unknown host 'Some Host' — using conservative "
                       "default profile\n"),
              std::string::npos);
    EXPECT_NE(log.find("[INFO] Host 'Some Host' reportsCudaSupport: false\n"), std::string::npos);
    EXPECT_NE(log.find("[INFO] Some Host does not support pages — using legacy layout\n"),
              std::string::npos);
    EXPECT_NE(log.find("[DEBUG] 🔵 GenericEffectFactory::describe called for 'BRMR Halden'\n"),
              std::string::npos);
}

// A host of an older OFX version knows none of the GPU-render properties: setting one fails,
// and describe must go on without it rather than leave the host a plug-in it cannot create.
TEST(DescribedToAnyHost, AHostThatKnowsNoGpuPropertiesStillGetsTheWholeEffect) {
    testplugin::IsolatedUser user;
    const JsonValue d = describe(testplugin::bundlePath("halden_v01_opencl"), "--host strict");
    EXPECT_EQ(d["plugin"]["label"].text, "BRMR Halden");
    EXPECT_NE(findByName(d["params"], "blur_radius"), nullptr);
    const std::string log = testenv::readText(user.logFile());
    EXPECT_NE(log.find("[INFO] Host does not support OpenCL render (skipped): "),
              std::string::npos);
    EXPECT_EQ(log.find("EXCEPTION in describe()"), std::string::npos);
}

TEST(DescribedToAnyHost, TheShippedDefinitionLogsOnlyErrorsOnceItIsRead) {
    testplugin::IsolatedUser user;
    describe(testplugin::bundlePath("halden_v01"), "--host nuke");
    const std::string log = testenv::readText(user.logFile());
    EXPECT_EQ(log.rfind("=== halden_v01 Plugin Session Started ===\n", 0), 0u);
    // Written while the level was still INFO, before the definition was read.
    EXPECT_NE(log.find("[INFO] Creating factory for effect: halden_v01\n"), std::string::npos);
    EXPECT_EQ(log.find("HostCapabilities"), std::string::npos);
    EXPECT_EQ(log.find("[DEBUG]"), std::string::npos);
}

TEST(DescribedAsTransition, OnlyTheTransitionClipsAndParameterAreDefined) {
    testplugin::IsolatedUser user;
    const JsonValue d = describe(testplugin::bundlePath("halden_v01_transition"),
                                 "--host nuke --context transition");
    EXPECT_EQ(d["plugin"]["contexts"].strings(),
              std::vector<std::string>{"OfxImageEffectContextTransition"});
    std::vector<std::string> clips;
    for (const JsonValue& clip : d["clips"].items) {
        clips.push_back(clip["name"].text);
        EXPECT_FALSE(clip["supportsTiles"].flag);
    }
    EXPECT_EQ(clips, (std::vector<std::string>{"SourceFrom", "SourceTo", "Output"}));
    const JsonValue& transition = param(d, "Transition");
    EXPECT_EQ(transition["hint"].text, "Transition progress (controlled by host)");
    EXPECT_EQ(transition["parent"].text, "");
}

} // namespace

namespace {

TEST(BrokenDefinition, TheLibraryOffersNoPluginAndTheHostCarriesOn) {
    testplugin::IsolatedUser user;
    const testplugin::CommandRun run = testplugin::runRender(
        "--describe --bundle \"" + testplugin::bundlePath("halden_v01_broken") + "\"");
    EXPECT_NE(run.status, 0);
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    const std::string log = testenv::readText(user.logFile());
    EXPECT_NE(log.find("[ERROR] Failed to parse embedded XML: Effect must have a <pipeline> "
                       "section with <process> children\n"),
              std::string::npos);
    EXPECT_NE(log.find("[ERROR] Failed to create the effect factory: Failed to parse embedded "
                       "XML\n"),
              std::string::npos);
}

} // namespace
