// The preset controls used as a host's user would: save, load, delete, defaults, the lists,
// the looks shipped in the bundle, and the help button.
#include "PluginSession.h"

#include "ofx/ofxMessage.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

namespace fs = std::filesystem;
using ofxhost::HostImage;
using ofxhost::ParamValue;
using testplugin::choiceOptions;
using testplugin::PluginSession;

namespace {

// A preset of this effect, written outside the host, that sets only blur_radius.
void writeUserPreset(const fs::path& file, int radius) {
    std::ofstream(file) << "<preset><meta><effect>BRMR Halden</effect></meta><parameters>"
                           "<param name=\"blur_radius\" type=\"float\" value=\""
                        << radius << "\"/></parameters></preset>";
}

class PresetCommands : public ::testing::Test {
protected:
    PresetCommands() : session("nuke") {}

    std::vector<std::string> options(const std::string& choice) {
        return choiceOptions(session.instance, choice);
    }
    double number(const std::string& name) { return session.instance.value(name).numbers.at(0); }
    void setText(const std::string& name, const std::string& text) {
        ASSERT_EQ(session.instance.setValue(name, ParamValue::ofText(text)), kOfxStatOK);
    }
    void set(const std::string& name, double value) {
        ASSERT_EQ(session.instance.setValue(name, ParamValue::of(value)), kOfxStatOK);
    }
    void press(const std::string& name) {
        ASSERT_EQ(session.instance.pressButton(name), kOfxStatOK);
    }
    fs::path userFolder() { return session.ownUser->userPresets(); }
    // Hosts may report buttons the plug-in did not declare; "load_preset" is one.
    void report(const std::string& name) {
        ofxhost::PropertySet in;
        in.addString(kOfxPropType, {kOfxTypeParameter});
        in.addString(kOfxPropName, {name});
        in.addString(kOfxPropChangeReason, {kOfxChangeUserEdited});
        in.addDouble(kOfxPropTime, {0.0});
        in.addDouble(kOfxImageEffectPropRenderScale, {1.0, 1.0});
        ASSERT_EQ(session.instance.callAction(kOfxActionInstanceChanged, &in, nullptr), kOfxStatOK);
    }

    PluginSession session;
};

TEST_F(PresetCommands, SavingWritesTheCurrentValuesAndSelectsThePreset) {
    // Upper-case extensions are no presets: the list rebuilt after the save leaves it out.
    fs::create_directories(userFolder());
    std::ofstream(userFolder() / "Hidden.XML") << "<preset/>";
    setText("preset_name", "Look");
    press("save_preset");
    const fs::path file = userFolder() / "Look.xml";
    ASSERT_TRUE(fs::exists(file));
    const std::string text = testenv::readFile(file);
    for (const char* param : {"name=\"blur_radius\" type=\"float\" value=\"35\"",
                              "name=\"optical_center\" type=\"vec2\" value=\"0,0\"",
                              "name=\"falloff_enable\" type=\"bool\" value=\"false\"",
                              "name=\"blade_count\" type=\"int\" value=\"5\"",
                              "name=\"quality_preset\" type=\"choice\" value=\"3\""}) {
        EXPECT_NE(text.find(param), std::string::npos) << param;
    }
    EXPECT_EQ(options("preset_list"),
              (std::vector<std::string>{"Select from 1 preset", ">> Load Defaults <<", "Look"}));
    EXPECT_EQ(number("preset_list"), 2);

    // Saving again overwrites the same file and keeps it selected.
    set("blur_radius", 80);
    press("save_preset");
    EXPECT_NE(testenv::readFile(file).find("name=\"blur_radius\" type=\"float\" value=\"80\""),
              std::string::npos);
    EXPECT_EQ(std::distance(fs::directory_iterator(userFolder()), fs::directory_iterator()), 2);
    EXPECT_EQ(number("preset_list"), 2);

    setText("preset_name", "Another");
    press("save_preset");
    EXPECT_EQ(options("preset_list").front(), "Select from 2 presets");
    EXPECT_EQ(number("preset_list"), 2); // "Another" sorts before "Look"
}

TEST_F(PresetCommands, PresetsLoadByDropdownAndByNameAndForeignOnesApplyWhatTheyShare) {
    set("blur_radius", 12);
    setText("preset_name", "Small");
    press("save_preset");
    set("blur_radius", 90);
    setText("preset_name", "Large");
    press("save_preset");
    set("blur_radius", 1);

    set("preset_list", 3); // "Small" (after "Large")
    EXPECT_EQ(number("blur_radius"), 12);
    set("preset_list", 0);
    setText("preset_name", "Large.xml");
    report("load_preset");
    EXPECT_EQ(number("blur_radius"), 90);

    // Another effect's preset: the parameters this one has apply.
    std::ofstream(userFolder() / "Foreign.xml")
        << "<preset><meta><effect>Other Effect</effect><version>2</version></meta><parameters>"
           "<param name=\"blur_radius\" type=\"float\" value=\"44\"/>"
           "<param name=\"unknown_control\" type=\"float\" value=\"3\"/>"
           "</parameters></preset>";
    setText("preset_name", "Foreign");
    report("load_preset");
    EXPECT_EQ(number("blur_radius"), 44);
}

// A shared or damaged file: what a host would refuse leaves its parameter as it was, with an
// error naming the file and the parameter; a number beyond the range is held to it.
TEST_F(PresetCommands, ValuesAHostWouldRefuseLeaveTheirParameterAsItWas) {
    fs::create_directories(userFolder());
    std::ofstream(userFolder() / "Damaged.xml")
        << "<preset><meta><effect>BRMR Halden</effect><version>1.1</version></meta><parameters>"
           "<param name=\"blur_radius\" type=\"float\" value=\"nan\"/>"
           "<param name=\"optical_center\" type=\"vec2\" value=\"inf,0.1\"/>"
           "<param name=\"quality_preset\" type=\"choice\" value=\"99\"/>"
           "<param name=\"colorspace\" type=\"choice\" value=\"-5\"/>"
           "<param name=\"blade_count\" type=\"int\" value=\"1000\"/>"
           "<param name=\"bokeh_power\" type=\"float\" value=\"4\"/>"
           "</parameters></preset>";
    setText("preset_name", "Damaged");
    report("load_preset");
    EXPECT_EQ(number("blur_radius"), 35);
    EXPECT_EQ(session.instance.value("optical_center").numbers, (std::vector<double>{0.0, 0.0}));
    EXPECT_EQ(number("quality_preset"), 3);
    EXPECT_EQ(number("colorspace"), 0);
    EXPECT_EQ(number("blade_count"), 12);
    EXPECT_EQ(number("bokeh_power"), 4);
    const std::string log = testenv::readText(session.ownUser->logFile());
    for (const char* name : {"'blur_radius'", "'optical_center'", "'quality_preset'"}) {
        EXPECT_NE(
            log.find("[ERROR] Preset " + (userFolder() / "Damaged.xml").string() + ": " + name),
            std::string::npos)
            << name;
    }
}

TEST_F(PresetCommands, LoadDefaultsResetsEveryParameterAndBothLists) {
    set("blur_radius", 150);
    set("aperture_enable", 1);
    set("fg_texture", 3);
    set("preset_list", 1);
    EXPECT_EQ(number("blur_radius"), 35);
    EXPECT_EQ(number("aperture_enable"), 0);
    EXPECT_EQ(number("fg_texture"), 0);
    EXPECT_EQ(number("preset_list"), 0);
    EXPECT_EQ(number("factory_preset_list"), 0);
}

TEST_F(PresetCommands, SavingChangesNoParameterAndDeleteRemovesTheSelectedPreset) {
    // Selecting the saved preset comes back from the host as a plug-in edit: it must not load
    // the file again, which would key every animated parameter at the current time.
    ASSERT_EQ(session.instance.setValueAtTime("blur_radius", 0, ParamValue::of(10)), kOfxStatOK);
    ASSERT_EQ(session.instance.setValueAtTime("blur_radius", 10, ParamValue::of(50)), kOfxStatOK);
    session.instance.setTime(5);
    setText("preset_name", "Keyed");
    press("save_preset");
    ASSERT_TRUE(fs::exists(userFolder() / "Keyed.xml"));
    EXPECT_EQ(session.instance.param("blur_radius").keyCount(), 2u);
    EXPECT_EQ(number("blur_radius"), 30);
    EXPECT_EQ(number("preset_list"), 2);

    press("delete_preset");
    EXPECT_FALSE(fs::exists(userFolder() / "Keyed.xml"));
    EXPECT_EQ(options("preset_list"),
              (std::vector<std::string>{"(no presets found)", ">> Load Defaults <<"}));
}

TEST_F(PresetCommands, UnsafeNamesTouchNoFile) {
    testenv::TempDir outside;
    for (const std::string& name :
         {std::string("../escape"), std::string("a/b"), (outside.path() / "abs").string(),
          std::string("C:evil"), std::string("what?")}) {
        setText("preset_name", name);
        press("save_preset");
        // The user is told, not only the log.
        const auto messages = session.host.recorder().messages();
        ASSERT_FALSE(messages.empty()) << name;
        EXPECT_EQ(messages.back().type, kOfxMessageError);
        EXPECT_EQ(messages.back().text.rfind("Invalid preset name '" + name + "'", 0), 0u)
            << messages.back().text;
    }
    EXPECT_FALSE(fs::exists(userFolder()));
    EXPECT_TRUE(fs::is_empty(outside.path()));
}

#if !defined(_WIN32)
// A render node often has neither HOME nor XDG_CONFIG_HOME: there are no user presets then, and
// a save says why instead of writing under the filesystem's root or the working folder.
TEST(PresetLists, WithoutAUserFolderASaveWritesNothingAndSaysWhy) {
    testplugin::IsolatedUser user;
    const fs::path log = user.logFile();
    {
        testenv::ScopedVariable noConfig("XDG_CONFIG_HOME", std::nullopt);
        testenv::ScopedVariable noHome("HOME", std::nullopt);
        PluginSession session("nuke", "halden_v01", false);
        session.instance.setValue("preset_name", ParamValue::ofText("Nowhere"));
        session.instance.pressButton("save_preset");
        EXPECT_FALSE(fs::exists("/brinmoor/presets/BRMR Halden/Nowhere.xml"));
        EXPECT_FALSE(fs::exists(fs::current_path() / "Nowhere.xml"));
        const auto messages = session.host.recorder().messages();
        ASSERT_FALSE(messages.empty());
        EXPECT_EQ(messages.back().text.rfind("No user preset folder", 0), 0u);
    }
    EXPECT_NE(testenv::readText(log).find("[ERROR] No user preset folder"), std::string::npos);
}
#endif

// After the first render each host shows the presets on disk: a host that takes new options
// gets them rebuilt for every instance, the others keep what describe gave them. Either way
// a choice loads the preset it names.
TEST(PresetLists, EveryHostShowsThePresetsOnDiskAfterTheFirstRender) {
    const std::vector<std::string> factory = {"Select from 7 presets",  "Anamorphic Night Lights",
                                              "Cinematic Misalignment", "Foliage Foreground",
                                              "Hexagon Iris",           "Soft Portrait",
                                              "Swirly Vintage Lens",    "Tilt-Shift Miniature"};
    const OfxRectI frame{0, 0, 16, 9};
    for (const auto& [host, rebuilds] : {std::pair<const char*, bool>{"resolve", true},
                                         {"nuke", true},
                                         {"flame", false},
                                         {"Some Host", false}}) {
        SCOPED_TRACE(host);
        testplugin::IsolatedUser user;
        fs::create_directories(user.userPresets());
        writeUserPreset(user.userPresets() / "Mine.xml", 44);
        PluginSession session(host, "halden_v01", false);
        ofxhost::EffectInstance& first = session.instance;
        ASSERT_EQ(session.render(testplugin::randomImage(frame, 3),
                                 std::make_shared<ofxhost::HostImage>(frame)),
                  kOfxStatOK);
        EXPECT_EQ(
            choiceOptions(first, "preset_list"),
            (std::vector<std::string>{"Select from 1 preset", ">> Load Defaults <<", "Mine"}));
        EXPECT_EQ(choiceOptions(first, "factory_preset_list"), factory);
        first.setValue("preset_list", ParamValue::of(2));
        EXPECT_EQ(first.value("blur_radius").numbers.at(0), 44);
        first.setValue("factory_preset_list", ParamValue::of(4)); // "Hexagon Iris"
        EXPECT_EQ(first.value("blade_count").numbers.at(0), 6);

        // A preset saved outside the host, then a new instance of the effect.
        writeUserPreset(user.userPresets() / "Later.xml", 55);
        ofxhost::EffectInstance& second =
            session.plugin.createInstance(kOfxImageEffectContextFilter);
        ASSERT_EQ(testplugin::renderFrame(second, testplugin::randomImage(frame, 4),
                                          std::make_shared<ofxhost::HostImage>(frame)),
                  kOfxStatOK);
        const std::vector<std::string> shown = choiceOptions(second, "preset_list");
        ASSERT_EQ(shown.size(), rebuilds ? 4u : 3u);
        EXPECT_EQ(shown.back(), "Mine");
        EXPECT_EQ(choiceOptions(second, "factory_preset_list"), factory);
        second.setValue("preset_list", ParamValue::of(double(shown.size() - 1)));
        EXPECT_EQ(second.value("blur_radius").numbers.at(0), 44);
    }
}

// The dropdown is what the user reads: a choice loads and deletes the preset shown there, even
// after another instance saved one, and a file named "x.xml.xml" is the preset "x.xml".
TEST(PresetLists, LoadAndDeleteActOnThePresetShown) {
    for (const char* host : {"nuke", "flame"}) {
        SCOPED_TRACE(host);
        testplugin::IsolatedUser user;
        fs::create_directories(user.userPresets());
        const std::pair<const char*, int> files[] = {
            {"a.xml", 11}, {"c.xml", 33}, {"foo.xml", 55}, {"foo.xml.xml", 44}};
        for (const auto& [file, radius] : files) {
            writeUserPreset(user.userPresets() / file, radius);
        }
        PluginSession session(host, "halden_v01", false);
        ofxhost::EffectInstance& other =
            session.plugin.createInstance(kOfxImageEffectContextFilter);
        other.setValue("preset_name", ParamValue::ofText("b"));
        other.pressButton("save_preset");
        ASSERT_TRUE(fs::exists(user.userPresets() / "b.xml"));

        ofxhost::EffectInstance& mine = session.instance;
        ASSERT_EQ(choiceOptions(mine, "preset_list"),
                  (std::vector<std::string>{"Select from 4 presets", ">> Load Defaults <<", "a",
                                            "c", "foo", "foo.xml"}));
        mine.setValue("preset_list", ParamValue::of(5));
        EXPECT_EQ(mine.value("blur_radius").numbers.at(0), 44);
        mine.setValue("preset_list", ParamValue::of(3));
        EXPECT_EQ(mine.value("blur_radius").numbers.at(0), 33);
        mine.pressButton("delete_preset");
        EXPECT_FALSE(fs::exists(user.userPresets() / "c.xml"));
        for (const char* kept : {"a.xml", "b.xml", "foo.xml", "foo.xml.xml"}) {
            EXPECT_TRUE(fs::exists(user.userPresets() / kept)) << kept;
        }

        // Another program removes a preset the list still shows: nothing loads and the list
        // shows what is there now.
        fs::remove(user.userPresets() / "a.xml");
        mine.setValue("preset_list", ParamValue::of(2));
        EXPECT_EQ(mine.value("blur_radius").numbers.at(0), 33);
        EXPECT_EQ(choiceOptions(mine, "preset_list"),
                  (std::vector<std::string>{"Select from 3 presets", ">> Load Defaults <<", "b",
                                            "foo", "foo.xml"}));
    }
}

const OfxRectI kLightsFrame{0, 0, 192, 108};

// Small lights over a dim gradient.
std::shared_ptr<HostImage> lights() {
    auto image = std::make_shared<HostImage>(kLightsFrame);
    std::mt19937 random(11);
    for (int y = 0; y < kLightsFrame.y2; ++y) {
        for (int x = 0; x < kLightsFrame.x2; ++x) {
            float* p = image->pixel(x, y);
            p[0] = p[1] = p[2] = 0.02f + 0.1f * float(y) / float(kLightsFrame.y2);
            p[3] = 1;
        }
    }
    for (int i = 0; i < 40; ++i) {
        float* p = image->pixel(int(random() % 192), int(random() % 108));
        p[0] = 8.0f;
        p[1] = 4.0f + float(random() % 4);
        p[2] = 2.0f;
    }
    return image;
}

// Every look must visibly change the picture; what each host lists is the preset lists' check.
// Delete with a look selected leaves the shipped files alone.
TEST(FactoryPresets, EveryShippedLookLoadsAndChangesThePictureAndIsNotDeleted) {
    const OfxRectI frame = kLightsFrame;
    PluginSession session("nuke");
    auto source = lights();
    auto plain = std::make_shared<HostImage>(frame);
    ASSERT_EQ(session.render(source, plain), kOfxStatOK);

    const std::size_t looks = choiceOptions(session.instance, "factory_preset_list").size();
    ASSERT_EQ(looks, 8u);
    for (std::size_t i = 1; i < looks; ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(session.instance.setValue("preset_list", ParamValue::of(1.0)), kOfxStatOK);
        ASSERT_EQ(session.instance.setValue("factory_preset_list", ParamValue::of(double(i))),
                  kOfxStatOK);
        auto look = std::make_shared<HostImage>(frame);
        ASSERT_EQ(session.render(source, look), kOfxStatOK);
        EXPECT_GT(testplugin::difference(*plain, *look) / (frame.x2 * frame.y2), 0.002);
        ASSERT_EQ(session.instance.pressButton("delete_preset"), kOfxStatOK);
    }
    const fs::path presets = session.bundle.path() / "Contents" / "Resources" / "presets";
    EXPECT_EQ(std::distance(fs::directory_iterator(presets), fs::directory_iterator()),
              std::ptrdiff_t(looks - 1));
}

#if !defined(_WIN32)
std::size_t threadCount() {
    const auto tasks = fs::directory_iterator("/proc/self/task");
    return static_cast<std::size_t>(std::distance(tasks, fs::directory_iterator()));
}

// The browser is stood in for by a script that records what it was asked to open and then
// stays open, as browsers do: once the host unloads the plug-in, nothing of it may be left
// running, not even to wait for the browser.
TEST(HelpButton, OpensTheShippedHelpPageWithoutAShell) {
    testenv::TempDir dir;
    const auto script = dir.path() / "browser";
    const auto record = dir.path() / "opened.txt";
    {
        std::ofstream out(script);
        out << "#!/bin/sh\nprintf '%s' \"$1\" > '" << record.string()
            << "'\nexec sleep 2 >/dev/null 2>&1\n";
    }
    fs::permissions(script, fs::perms::owner_all);
    testenv::ScopedVariable browser("HALDEN_BROWSER", script.string());
    for (const char* host : {"nuke", "resolve"}) {
        fs::remove(record);
        const std::size_t threadsBefore = threadCount();
        {
            PluginSession session(host);
            const char* button = std::string(host) == "nuke" ? "getHelp" : "tutorialsButton";
            ASSERT_EQ(session.instance.pressButton(button), kOfxStatOK);
            for (int i = 0; i < 100 && !fs::exists(record); ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            const std::string opened = testenv::readFile(record);
            EXPECT_EQ(fs::path(opened),
                      session.bundle.path() / "Contents" / "Resources" / "docs" / "index.html")
                << host;
            EXPECT_NE(
                testenv::readFile(opened).find("<dt>Blur Radius <code>blur_radius</code></dt>"),
                std::string::npos);
        }
        EXPECT_EQ(threadCount(), threadsBefore) << host;
    }
}
#endif

} // namespace
