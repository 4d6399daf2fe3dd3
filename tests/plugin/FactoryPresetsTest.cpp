// The looks shipped in the bundle: each loads from the factory dropdown and changes the picture.
#include "PluginSession.h"

#include <gtest/gtest.h>

#include <random>

using ofxhost::HostImage;
using ofxhost::ParamValue;
using testplugin::PluginSession;

namespace {

const OfxRectI kFrame{0, 0, 192, 108};

// Small lights over a dim gradient.
std::shared_ptr<HostImage> lights() {
    auto image = std::make_shared<HostImage>(kFrame);
    std::mt19937 random(11);
    for (int y = 0; y < kFrame.y2; ++y) {
        for (int x = 0; x < kFrame.x2; ++x) {
            float* p = image->pixel(x, y);
            p[0] = p[1] = p[2] = 0.02f + 0.1f * float(y) / float(kFrame.y2);
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
TEST(FactoryPresets, EveryShippedLookLoadsAndChangesThePicture) {
    PluginSession session("nuke");
    auto source = lights();
    auto plain = std::make_shared<HostImage>(kFrame);
    ASSERT_EQ(session.render(source, plain), kOfxStatOK);

    const std::size_t looks = session.instance.param("factory_preset_list")
                                  .properties()
                                  .getStrings(kOfxParamPropChoiceOption)
                                  .size();
    ASSERT_EQ(looks, 8u);
    for (std::size_t i = 1; i < looks; ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(session.instance.setValue("preset_list", ParamValue::of(1.0)), kOfxStatOK);
        ASSERT_EQ(session.instance.setValue("factory_preset_list", ParamValue::of(double(i))),
                  kOfxStatOK);
        auto look = std::make_shared<HostImage>(kFrame);
        ASSERT_EQ(session.render(source, look), kOfxStatOK);
        EXPECT_GT(testplugin::difference(*plain, *look) / (kFrame.x2 * kFrame.y2), 0.002);
    }
}

TEST(FactoryPresets, AreNotDeletedFromTheDropdown) {
    PluginSession session("nuke");
    ASSERT_EQ(session.instance.setValue("factory_preset_list", ParamValue::of(1.0)), kOfxStatOK);
    ASSERT_EQ(session.instance.pressButton("delete_preset"), kOfxStatOK);
    const auto presets = session.bundle.path() / "Contents" / "Resources" / "presets";
    EXPECT_GE(std::distance(std::filesystem::directory_iterator(presets),
                            std::filesystem::directory_iterator()),
              6);
}

} // namespace

#include <chrono>
#include <fstream>
#include <thread>

namespace {

#if !defined(_WIN32)
std::size_t threadCount() {
    const auto tasks = std::filesystem::directory_iterator("/proc/self/task");
    return static_cast<std::size_t>(std::distance(tasks, std::filesystem::directory_iterator()));
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
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    testenv::ScopedVariable browser("HALDEN_BROWSER", script.string());
    for (const char* host : {"nuke", "resolve"}) {
        std::filesystem::remove(record);
        const std::size_t threadsBefore = threadCount();
        {
            PluginSession session(host);
            const char* button = std::string(host) == "nuke" ? "getHelp" : "tutorialsButton";
            ASSERT_EQ(session.instance.pressButton(button), kOfxStatOK);
            for (int i = 0; i < 100 && !std::filesystem::exists(record); ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            const std::string opened = testenv::readFile(record);
            EXPECT_EQ(std::filesystem::path(opened),
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
