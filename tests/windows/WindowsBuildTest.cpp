// The Windows build as a Windows user meets it: halden-render.exe prints and renders what the
// Linux build does, and the plug-in keeps presets, its log and its help page where design.md's
// platform table puts them on Windows. Under Wine, those folders are also looked at from the
// Linux side of the prefix (its drive_c), reached through Wine's Z: drive.

#include "CommandRun.h"
#include "TestEnvironment.h"

#include "host/cli/ImageIo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace {

namespace fs = std::filesystem;
using testenv::CommandRun;
using testenv::runRender;

fs::path linuxReference(const std::string& name) {
    return fs::path(HALDEN_LINUX_REFERENCE_DIR) / name;
}

// The same Windows folder as the Linux side of the Wine prefix sees it; empty when the tests do
// not run under the build's Wine prefix.
fs::path inWinePrefix(const fs::path& driveCFolder) {
    const std::string prefix = HALDEN_WINE_PREFIX;
    return prefix.empty() ? fs::path() : fs::path(prefix) / "drive_c" / driveCFolder;
}

TEST(WindowsBuild, DescribesItselfToNukeWithTheJsonLinuxPrints) {
    const fs::path reference = linuxReference("describe-nuke.json");
    if (!fs::exists(reference)) {
        GTEST_SKIP() << "no Linux build to compare with (HALDEN_LINUX_BUILD_DIR)";
    }
    const CommandRun run = runRender("--describe --host nuke");
    ASSERT_EQ(run.status, 0) << run.err;
    // Read as text: the same document, with Windows line ends.
    EXPECT_EQ(run.out, testenv::readFile(reference));
}

TEST(WindowsBuild, RendersTheDemoSceneAsLinuxDoesWithin1e5) {
    const fs::path reference = linuxReference("demo.exr");
    if (!fs::exists(reference)) {
        GTEST_SKIP() << "no Linux build to compare with (HALDEN_LINUX_BUILD_DIR)";
    }
    testenv::TempDir dir;
    const fs::path output = dir.path() / "demo.exr";
    const CommandRun run = runRender("--backend cpu -o \"" + output.string() + "\"");
    ASSERT_EQ(run.status, 0) << run.err;

    const ofxhost::RgbaImage windows = ofxhost::ImageIo::read(output);
    const ofxhost::RgbaImage fromLinux = ofxhost::ImageIo::read(reference);
    ASSERT_EQ(windows.width(), fromLinux.width());
    ASSERT_EQ(windows.height(), fromLinux.height());
    float worst = 0.0f;
    float brightest = 0.0f;
    for (int i = 0; i < windows.width() * windows.height() * 4; ++i) {
        worst = std::max(worst, std::fabs(windows.data()[i] - fromLinux.data()[i]));
        brightest = std::max(brightest, fromLinux.data()[i]);
    }
    EXPECT_LE(worst, 1e-5f);
    // A picture, not an empty frame that would trivially agree.
    EXPECT_GT(brightest, 0.5f);
}

// Presets land in %APPDATA%\brinmoor\presets, even for a user folder such as C:\Users\José:
// the narrow environment holds it in the ANSI code page, which has no letter for some names.
TEST(WindowsFolders, AnAppDataFolderNamedInAnyScriptHoldsThePresets) {
    testenv::TempDir dir;
    const fs::path appData = dir.path() / L"Jos\u00e9 \u015b\u03bb";
    fs::create_directories(appData);
    const wchar_t* saved = _wgetenv(L"APPDATA");
    const std::wstring previous = saved != nullptr ? saved : L"";
    ASSERT_EQ(_wputenv_s(L"APPDATA", appData.c_str()), 0);
    const CommandRun run = runRender("--size 32x18 -o \"" + (dir.path() / "out.png").string() +
                                     "\" --set preset_name=Unicode --press save_preset");
    _wputenv_s(L"APPDATA", previous.c_str());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::exists(appData / "brinmoor" / "presets" / "BRMR Halden" / "Unicode.xml"));
}

TEST(WindowsFolders, TheLogIsWrittenToUsersPublic) {
    const fs::path log = "C:\\Users\\Public\\halden_v01_plugin_log.txt";
    const CommandRun run = runRender("--describe --host nuke");
    ASSERT_EQ(run.status, 0) << run.err;

    EXPECT_EQ(testenv::readFile(log).rfind("=== halden_v01 Plugin Session Started ===", 0), 0u);
    const fs::path prefixLog = inWinePrefix(fs::path("users") / "Public" / log.filename());
    if (!prefixLog.empty()) {
        EXPECT_TRUE(fs::exists(prefixLog)) << prefixLog;
    }
}

// ShellExecute runs a batch file standing in for the browser; it records what it was given.
TEST(WindowsFolders, TheHelpButtonOpensTheShippedPageThroughShellExecute) {
    testenv::TempDir dir;
    const fs::path browser = dir.path() / "browser.cmd";
    const fs::path record = dir.path() / "opened.txt";
    std::ofstream(browser) << "@echo off\n>\"" << record.string() << "\" echo %~1\n";
    testenv::ScopedVariable chosen("HALDEN_BROWSER", browser.string());
    const CommandRun run = runRender("--host nuke --size 32x18 -o \"" +
                                     (dir.path() / "out.png").string() + "\" --press getHelp");
    ASSERT_EQ(run.status, 0) << run.err;

    // The browser starts without the plug-in waiting for it.
    for (int i = 0; i < 200 && testenv::readFile(record).empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::string opened = testenv::readText(record);
    while (!opened.empty() && (opened.back() == '\n' || opened.back() == ' ')) {
        opened.pop_back();
    }
    ASSERT_FALSE(opened.empty());
    const fs::path shipped =
        fs::path(HALDEN_BUNDLE_DIR) / "Contents" / "Resources" / "docs" / "index.html";
    std::error_code error;
    EXPECT_TRUE(fs::equivalent(opened, shipped, error)) << opened << " " << error.message();
}

} // namespace
