#include "presets/PresetFile.h"
#include "presets/PresetFolders.h"
#include "presets/PresetValue.h"

#include "LogCapture.h"
#include "definition/DefinitionText.h"
#include "definition/EmbeddedDefinition.h"

#include "DefinitionDefaults.h"

#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

void writeFile(const fs::path& path, const std::string& text) {
    std::ofstream(path) << text;
}

class PresetFiles : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(definition.parseEmbedded(embeddedEffectDefinition())); }
    testenv::LogCapture log;
    testenv::TempDir dir;
    XMLEffectDefinition definition;
};

TEST_F(PresetFiles, DefaultsAreWrittenInTheirFileForms) {
    const std::string path = (dir.path() / "Look.xml").string();
    ASSERT_TRUE(savePresetFile(path, "BRMR Halden", "1.1", testenv::definitionDefaults(definition),
                               definition));
    const std::string text = testenv::readFile(path);
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u);
    EXPECT_NE(text.find("\t\t<effect>BRMR Halden</effect>"), std::string::npos);
    EXPECT_NE(text.find("<version>1.1</version>"), std::string::npos);
    for (const char* param :
         {"<param name=\"blur_radius\" type=\"float\" value=\"35\" />",
          "<param name=\"optical_center\" type=\"vec2\" value=\"0,0\" />",
          "<param name=\"falloff_enable\" type=\"bool\" value=\"false\" />",
          "<param name=\"blade_count\" type=\"int\" value=\"5\" />",
          "<param name=\"quality_preset\" type=\"choice\" value=\"3\" />",
          "<param name=\"post_blur_scale\" type=\"float\" value=\"0.15\" />",
          "<param name=\"superq_exponent\" type=\"vec2\" value=\"0.3810000122,0.75\" />"}) {
        EXPECT_NE(text.find(param), std::string::npos) << param;
    }
    // Parameters follow the definition order.
    EXPECT_LT(text.find("blur_radius"), text.find("kernel_rotation"));
    EXPECT_TRUE(log.contains("[INFO] Preset saved: " + path));
    // Nothing is left beside the file.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST_F(PresetFiles, ASavedPresetReadsBackTheSameValues) {
    const std::string path = (dir.path() / "deep" / "er" / "Look.xml").string();
    PresetValues values = testenv::definitionDefaults(definition);
    values["blur_radius"] = PresetValue::number(61.25);
    values["anamorphic"] = PresetValue::vec2(2.0, 0.5);
    values["aperture_enable"] = PresetValue::boolean(true);
    ASSERT_TRUE(savePresetFile(path, "BRMR Halden", "1.1", values, definition));
    std::string effect, version;
    const PresetValues loaded = loadPresetFile(path, effect, version);
    EXPECT_EQ(effect, "BRMR Halden");
    EXPECT_EQ(version, "1.1");
    EXPECT_EQ(loaded.size(), values.size());
    EXPECT_EQ(loaded.at("blur_radius"), PresetValue::number(61.25));
    EXPECT_EQ(loaded.at("anamorphic"), PresetValue::vec2(2.0, 0.5));
    EXPECT_EQ(loaded.at("aperture_enable"), PresetValue::boolean(true));
    EXPECT_EQ(loaded.at("quality_preset"), PresetValue::integer(3));

    // Saving again overwrites in place.
    values["blur_radius"] = PresetValue::number(5.0);
    ASSERT_TRUE(savePresetFile(path, "BRMR Halden", "1.1", values, definition));
    EXPECT_EQ(loadPresetFile(path, effect, version).at("blur_radius"), PresetValue::number(5.0));
}

TEST_F(PresetFiles, BadValuesDropOnlyTheirOwnParam) {
    const fs::path path = dir.path() / "hand.xml";
    writeFile(path, "<preset><parameters>"
                    "<param name=\"a\" type=\"float\" value=\"soft\"/>"
                    "<param name=\"b\" type=\"int\" value=\"99999999999\"/>"
                    "<param name=\"c\" type=\"color\" value=\"0.1, 0.2,0.3\"/>"
                    "<param name=\"d\" type=\"color\" value=\"0.1,0.2\"/>"
                    "<param name=\"e\" type=\"float\" value=\"1\"/>"
                    "<param name=\"e\" type=\"float\" value=\"2\"/>"
                    "<param name=\"f\" type=\"curve\" value=\"x\"/>"
                    "<param name=\"g\" type=\"bool\" value=\"1\"/>"
                    "<param type=\"float\" value=\"3\"/>"
                    "</parameters></preset>");
    std::string effect = "unchanged", version = "unchanged";
    const PresetValues values = loadPresetFile(path.string(), effect, version);
    EXPECT_EQ(effect, "unchanged"); // no meta
    EXPECT_EQ(values.size(), 3u);
    EXPECT_EQ(values.at("c"), PresetValue::vec3(0.1, 0.2, 0.3));
    EXPECT_EQ(values.at("e"), PresetValue::number(2.0)); // the later one wins
    EXPECT_EQ(values.at("g"), PresetValue::boolean(true));
    EXPECT_TRUE(log.contains("[INFO] Failed to parse preset param 'a': invalid stod argument"));
    EXPECT_TRUE(
        log.contains("[INFO] Failed to parse preset param 'b': stoi argument out of range"));
}

TEST_F(PresetFiles, UnreadableOrForeignFilesLoadNothing) {
    std::string effect, version;
    const std::string missing = (dir.path() / "missing.xml").string();
    EXPECT_TRUE(loadPresetFile(missing, effect, version).empty());
    EXPECT_TRUE(log.contains("[ERROR] Failed to load preset file: " + missing));
    const fs::path foreign = dir.path() / "foreign.xml";
    writeFile(foreign, "<look><parameters/></look>");
    EXPECT_TRUE(loadPresetFile(foreign.string(), effect, version).empty());
    EXPECT_TRUE(
        log.contains("[ERROR] Invalid preset file (no <preset> root): " + foreign.string()));
}

TEST_F(PresetFiles, AFolderThatCannotBeMadeFailsTheSave) {
    writeFile(dir.path() / "blocker", "a file where a folder should be");
    const std::string folder = (dir.path() / "blocker" / "sub").string();
    EXPECT_FALSE(savePresetFile(folder + "/Look.xml", "BRMR Halden", "1.1", {}, definition));
    EXPECT_TRUE(log.contains("[ERROR] Failed to create preset directory: " + folder));
}

// Only regular files of at most 1 MiB are presets: a folder, a pipe (reading it would hang the
// host) or a link to a device (it never ends) under a preset's name is neither listed nor read.
TEST(PresetFolders, ListsOnlyRegularLowerCaseXmlFilesSorted) {
    testenv::TempDir dir;
    for (const char* name : {"b.xml", "A.xml", "c.XML", "notes.txt", "a.xml"}) {
        writeFile(dir.path() / name, "x");
    }
    fs::create_directory(dir.path() / "folder.xml");
    writeFile(dir.path() / "big.xml", std::string(kMaxPresetFileBytes + 1, ' '));
    std::vector<fs::path> unreadable = {dir.path() / "folder.xml", dir.path() / "big.xml"};
#if !defined(_WIN32)
    ASSERT_EQ(mkfifo((dir.path() / "Z.xml").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", dir.path() / "zero.xml");
    unreadable.push_back(dir.path() / "Z.xml");
    unreadable.push_back(dir.path() / "zero.xml");
#endif
    EXPECT_EQ(listDirectory(dir.path().string()).size(), 5u + unreadable.size());
    EXPECT_EQ(presetNamesIn(dir.path().string()), (std::vector<std::string>{"A", "a", "b"}));
    EXPECT_TRUE(listDirectory((dir.path() / "none").string()).empty());
    std::string effect, version;
    for (const fs::path& file : unreadable) {
        EXPECT_TRUE(loadPresetFile(file.string(), effect, version).empty()) << file;
    }
}

#if !defined(_WIN32)
// Linux folders; the Windows ones are checked by the Windows suite.
TEST(PresetFolders, UserPresetsLiveInTheConfigFolderAndFactoryOnesInTheBundle) {
    testenv::TempDir config;
    {
        testenv::ScopedVariable xdg("XDG_CONFIG_HOME", config.path().string());
        EXPECT_EQ(userPresetDirectory("BRMR Halden"),
                  config.path().string() + "/brinmoor/presets/BRMR Halden");
    }
    testenv::ScopedVariable noXdg("XDG_CONFIG_HOME", std::nullopt);
    {
        testenv::ScopedVariable home("HOME", std::string("/home/colourist"));
        EXPECT_EQ(userPresetDirectory("BRMR Halden"),
                  "/home/colourist/.config/brinmoor/presets/BRMR Halden");
    }
    // A render node's environment: no user presets rather than a folder at the root.
    testenv::ScopedVariable noHome("HOME", std::nullopt);
    EXPECT_EQ(userPresetDirectory("BRMR Halden"), "");
    // Factory presets sit in the bundle's resources; this test executable is not a bundle, so
    // the standard plug-in folder is used.
    EXPECT_EQ(factoryPresetDirectory("halden_v01"),
              "/usr/OFX/Plugins/halden_v01.ofx.bundle/Contents/Resources/presets");
}
#endif

TEST(PresetFolders, BundleNamesComeFromTheDefinitionPath) {
    EXPECT_EQ(bundleNameFromPath(
                  "C:/Program Files/Common Files/OFX/Plugins/halden_v01.ofx.bundle/Contents/"
                  "effects/halden_v01.xml"),
              "halden_v01");
    EXPECT_EQ(bundleNameFromPath("dir\\name.v2.xml"), "name.v2");
    EXPECT_EQ(bundleNameFromPath("plain"), "plain");
}

TEST(PresetNames, NamesThatCouldLeaveTheFolderAreRefused) {
    for (const char* good : {"Look", "night lights 2", "frosted_glass-v1.2", "Look.xml", "Ünïcode",
                             "Console", "COM10", "nullify"}) {
        EXPECT_TRUE(isValidPresetName(good)) << good;
    }
    for (const char* bad :
         {"",        ".xml",      "..",         "../evil",   "a/b",      "a\\b",
          "C:look",  "dir/..",    "what?",      "a*b",       "pipe|",    "quote\"",
          "<tag>",   "trailing.", "trailing ",  "tab\there", "..hidden", "NUL",
          "con.xml", "Com1",      "LPT9.take2", "aux .x",    "CONOUT$"}) {
        EXPECT_FALSE(isValidPresetName(bad)) << bad;
    }
    EXPECT_EQ(presetBaseName("Look.xml"), "Look");
    EXPECT_EQ(presetBaseName("Look"), "Look");
}

TEST(PresetValue, ScalarsConvertAcrossKinds) {
    EXPECT_DOUBLE_EQ(PresetValue::integer(-7).asDouble(), -7.0);
    EXPECT_DOUBLE_EQ(PresetValue::boolean(true).asDouble(), 1.0);
    EXPECT_EQ(PresetValue::number(-2.9).asInt(), -2); // truncated toward zero
    EXPECT_EQ(PresetValue::number(1e12).asInt(), 0);  // does not fit
    EXPECT_EQ(PresetValue::boolean(true).asInt(), 1);
    EXPECT_TRUE(PresetValue::number(std::nan("")).asBool());
    EXPECT_FALSE(PresetValue::number(0.0).asBool());
    EXPECT_TRUE(PresetValue::integer(-1).asBool());
}

TEST(PresetValue, TextIsReadAsItsLeadingNumber) {
    EXPECT_DOUBLE_EQ(PresetValue::text("2.5px").asDouble(), 2.5);
    EXPECT_DOUBLE_EQ(PresetValue::text("abc").asDouble(), 0.0);
    EXPECT_DOUBLE_EQ(PresetValue::text("1e999").asDouble(), 0.0); // overflow
    EXPECT_EQ(PresetValue::text("42 blades").asInt(), 42);
    EXPECT_EQ(PresetValue::text("99999999999").asInt(), 0);
    EXPECT_EQ(PresetValue::text("").asInt(), 0);
    for (const char* no : {"false", "False", "FALSE", "0", ""}) {
        EXPECT_FALSE(PresetValue::text(no).asBool()) << no;
    }
    for (const char* yes : {"true", "TRUE", "1", "yes", "fAlse"}) {
        EXPECT_TRUE(PresetValue::text(yes).asBool()) << yes;
    }
}

TEST(PresetValue, VectorsGiveFloatComponentsAndZeroScalars) {
    const PresetValue v = PresetValue::vec3(0.381, -1.0, 2.0);
    EXPECT_EQ(v.componentCount(), 3);
    EXPECT_EQ(v.asComponents()[0], 0.381f);
    EXPECT_EQ(v.asComponents()[3], 0.0f);
    EXPECT_EQ(v.asDouble(), 0.0);
    EXPECT_EQ(v.asInt(), 0);
    EXPECT_FALSE(v.asBool());
    EXPECT_TRUE(PresetValue::number(1.0).asComponents() == (std::array<float, 4>{}));
}

TEST(PresetValue, TextFormsFollowTheFileConventions) {
    EXPECT_EQ(PresetValue::number(0.15).asText(), "0.150000");
    EXPECT_EQ(PresetValue::integer(-3).asText(), "-3");
    EXPECT_EQ(PresetValue::boolean(false).asText(), "false");
    EXPECT_EQ(PresetValue::vec2(1.0, 0.5).asText(), "(1.000000, 0.500000)");
    EXPECT_EQ(PresetValue::text("Look").asText(), "Look");
}

TEST(PresetValue, EqualityComparesKindAndPayload) {
    EXPECT_EQ(PresetValue::number(1.0), PresetValue::number(1.0));
    EXPECT_NE(PresetValue::number(1.0), PresetValue::integer(1));
    EXPECT_NE(PresetValue::vec2(1, 2), PresetValue::vec2(1, 3));
}

} // namespace
