#pragma once

#include "host/cli/ImageIo.h"

#include "CommandRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>

namespace testcli {

// A picture whose every pixel paint(x, y, rgba) sets.
template <class Paint>
ofxhost::RgbaImage makeImage(int width, int height, Paint paint) {
    ofxhost::RgbaImage image(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            paint(x, y, image.pixel(x, y));
        }
    }
    return image;
}

// Largest per-channel difference; infinity when the sizes differ or a sample is NaN.
inline float maxDifference(const ofxhost::RgbaImage& a, const ofxhost::RgbaImage& b) {
    if (a.width() != b.width() || a.height() != b.height()) {
        return INFINITY;
    }
    float worst = 0.0f;
    const size_t count = size_t(a.width()) * a.height() * 4;
    for (size_t i = 0; i < count; ++i) {
        const float d = std::abs(a.data()[i] - b.data()[i]);
        worst = std::isnan(d) ? INFINITY : std::max(worst, d);
    }
    return worst;
}

// One run of the halden-render executable: its exit status and what it printed.
using RenderRun = testenv::CommandRun;

// Runs halden-render in a scratch folder, with the plug-in's log and presets kept there and
// the CPU backend forced, so runs are alike on every machine.
class CliTest : public ::testing::Test {
protected:
    // arguments go through the shell as written; shell runs first, in the same shell.
    RenderRun run(const std::string& arguments, const std::string& shell = "") const {
        return testenv::runRender(arguments, dir.path(), shell);
    }

    std::string path(const std::string& name) const {
        return "\"" + (dir.path() / name).string() + "\"";
    }

    ofxhost::RgbaImage read(const std::string& name) const {
        return ofxhost::ImageIo::read(dir.path() / name);
    }

    testenv::TempDir dir;
    testenv::ScopedVariable state{"XDG_STATE_HOME", dir.path().string()};
    testenv::ScopedVariable config{testenv::kUserConfigVariable, dir.path().string()};
    testenv::ScopedVariable backend{"HALDEN_BACKEND", std::string("cpu")};
};

} // namespace testcli
