// halden-render's failures: one line on stderr starting "halden-render: ", nothing on stdout,
// no picture, a non-zero exit. And the edits it makes reach the plug-in as a host's would.

#include "RenderRun.h"

#include "host/cli/ImageIo.h"
#include "host/plugin/PluginBundle.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace {

using ofxhost::ImageIo;
using ofxhost::RgbaImage;
using testcli::CliTest;
using testcli::RenderRun;

class RenderErrors : public CliTest {
protected:
    // The failure line, after checking the shape every failure must have.
    std::string failure(const std::string& arguments) const {
        const RenderRun result = run(arguments + " -o out.png");
        EXPECT_NE(result.status, 0);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
        EXPECT_EQ(result.err.rfind("halden-render: ", 0), 0u) << result.err;
        EXPECT_FALSE(std::filesystem::exists(dir.path() / "out.png"));
        return result.err;
    }
};

// Each mistake, and what its line must name: the file, the parameter and value, the range or
// the options, the right flag. A bundle that fails to load is named by rendering and
// describing alike.
TEST_F(RenderErrors, EachMistakeIsNamedBeforeRendering) {
    const auto binaries =
        dir.path() / "broken.ofx.bundle" / "Contents" / ofxhost::PluginBundle::architectureFolder();
    std::filesystem::create_directories(binaries);
    std::ofstream(binaries / "broken.ofx") << "not a shared library";
    std::ofstream(dir.path() / "notes.png") << "not a picture";
    std::ofstream(dir.path() / "broken.exr") << "v/1\x01 and then nothing";
    // A real header whose pixels are cut short.
    ImageIo::write(RgbaImage(64, 36), dir.path() / "whole.exr");
    const std::string whole = testenv::readFile(dir.path() / "whole.exr");
    std::ofstream(dir.path() / "cut.exr", std::ios::binary) << whole.substr(0, whole.size() - 40);
    const std::pair<const char*, const char*> cases[] = {
        {"-i no-such-picture.exr", "no-such-picture.exr"},
        {"-i notes.png", "cannot read"},
        {"-i broken.exr", "broken.exr"},
        {"-i cut.exr", "cannot read"},
        {"--size 32x18 --set lens_flare=3", "'lens_flare'"},
        {"--size 32x18 --set blur_radius=wide", "blur_radius"},
        {"--size 32x18 --set blur_radius=wide", "'wide'"},
        {"--size 32x18 --set optical_center=0.2", "2 comma-separated"},
        {"--size 32x18 --set quality_preset=Eighth", "'Half'"},
        {"--size 32x18 --set edge_mode=maybe", "true or false"},
        {"--size 32x18 --set blur_radius=250", "0 to 200"},
        {"--size 32x18 --set blade_count=2", "3 to 12"},
        {"--size 32x18 --set save_preset=1", "--press save_preset"},
        {"--size 32x18 --press blur_radius", "not a push button"},
        {"--sharpen", "'--sharpen'"},
        {"--frames 5-2", "ends before it starts"},
        {"--size 32x18 --overlay-image seen.exr", ".png"},
        {"--size 32x18 --overlays no-folder/calls.json", "no-folder"},
        {"--size 32x18 --bundle /no/such/thing.ofx.bundle", "/no/such/thing.ofx.bundle"},
        {"--size 32x18 --context transition", "does not support the context"},
        {"--describe --frobnicate", "'--frobnicate'"},
        {"--describe --context transition", "does not support the context"},
        {"--size 32x18 --bundle broken.ofx.bundle", "cannot load broken.ofx.bundle"},
        {"--describe --bundle broken.ofx.bundle", "cannot load broken.ofx.bundle"},
    };
    for (const auto& [arguments, named] : cases) {
        EXPECT_NE(failure(arguments).find(named), std::string::npos) << arguments;
    }
    const RenderRun tiff = run("--size 32x18 -o out.tif");
    EXPECT_NE(tiff.status, 0);
    EXPECT_NE(tiff.err.find("out.tif"), std::string::npos);
}

// A small file whose header claims a picture no machine holds is refused from the header, with
// the size and the limit named; so is any file beyond limits given on the command line.
TEST_F(RenderErrors, ClaimedSizesBeyondTheLimitsAreRefusedBeforeDecoding) {
    ImageIo::write(RgbaImage(4, 4), dir.path() / "small.exr");
    ImageIo::write(RgbaImage(4, 4), dir.path() / "small.png");
    // Values written after marker; for PNG the chunk's CRC is made to match again.
    auto patched = [this](const char* from, const char* to, const std::string& marker,
                          std::size_t skip, const std::vector<std::int32_t>& values,
                          bool bigEndian) {
        std::ifstream in(dir.path() / from, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const std::size_t at = bytes.find(marker);
        ASSERT_NE(at, std::string::npos) << marker;
        for (std::size_t i = 0; i < values.size(); ++i) {
            for (int b = 0; b < 4; ++b) {
                const int shift = bigEndian ? 24 - 8 * b : 8 * b;
                bytes[at + skip + 4 * i + b] = static_cast<char>(std::uint32_t(values[i]) >> shift);
            }
        }
        if (marker == "IHDR") {
            const auto* chunk = reinterpret_cast<const Bytef*>(bytes.data() + at);
            const std::uint32_t crc = std::uint32_t(crc32(0, chunk, 4 + 13));
            for (int b = 0; b < 4; ++b) {
                bytes[at + 17 + b] = static_cast<char>(crc >> (24 - 8 * b));
            }
        }
        std::ofstream(dir.path() / to, std::ios::binary) << bytes;
    };
    // EXR: the data window (min x, min y, max x, max y) after "dataWindow", "box2i", its size.
    const std::string window("dataWindow\0box2i\0", 17);
    patched("small.exr", "huge.exr", window, 21, {0, 0, 99999, 99999}, false);
    patched("small.exr", "wide.exr", window, 21, {INT32_MIN, 0, INT32_MAX, 3}, false);
    // PNG: width and height after "IHDR", big-endian.
    patched("small.png", "huge.png", "IHDR", 4, {16000, 16000}, true);

    const std::pair<const char*, const char*> cases[] = {
        {"-i huge.exr", "100000x100000 is more than 32768 pixels on a side"},
        {"-i wide.exr", "4294967296x4 is more than 32768"},
        {"-i huge.png", "16000x16000 needs 45.8 GiB, more than the 16.0 GiB allowed"},
        {"-i small.exr --max-side 3", "4x4 is more than 3 pixels on a side (--max-side)"},
        {"-i small.png --max-memory 0.000001", "small.png: rendering 4x4 needs"},
        {"--size 32x18 --kernel-map huge.exr", "huge.exr: 100000x100000"},
    };
    for (const auto& [arguments, named] : cases) {
        EXPECT_NE(failure(arguments).find(named), std::string::npos) << arguments;
    }
}

#if !defined(_WIN32)
// A disk that fills up mid-write (here a file size limit): the error names the file, and the
// picture that was there before is still there, whole, with nothing left beside it.
TEST_F(RenderErrors, AWriteThatFailsLeavesThePreviousFileWhole) {
    for (const char* name : {"shot.png", "shot.exr", "shot.jpg"}) {
        ASSERT_EQ(run(std::string("--size 64x36 -o ") + name).status, 0) << name;
        const std::string before = testenv::readText(dir.path() / name);
        const RenderRun full =
            run(std::string("--size 640x360 -o ") + name, "trap '' XFSZ; ulimit -f 4; ");
        EXPECT_NE(full.status, 0) << name;
        EXPECT_NE(full.err.find(name), std::string::npos) << full.err;
        EXPECT_EQ(full.out, "") << name;
        EXPECT_EQ(testenv::readText(dir.path() / name), before) << name;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            EXPECT_EQ(entry.path().filename().string().find("partial"), std::string::npos)
                << entry.path();
        }
    }
}
#endif

class UserEdits : public CliTest {};

#if defined(__linux__) || defined(_WIN32)
TEST_F(UserEdits, PressingSaveStoresThePresetNamedByASetValueAndTheDropdownLoadsIt) {
    // The press comes first on the command line and still saves under the name set after it.
    const RenderRun saved = run("--host flame --size 48x27 -o flat.exr --press save_preset "
                                "--set blur_radius=0 --set post_blur_scale=0 --set "
                                "preset_name=Flat");
    ASSERT_EQ(saved.status, 0) << saved.err;
    // Saved under the name set, in XDG_CONFIG_HOME (APPDATA on Windows): the scratch folder.
    EXPECT_TRUE(
        std::filesystem::exists(dir.path() / "brinmoor" / "presets" / "BRMR Halden" / "Flat.xml"));
    // Option 2 is the first user preset; loading it switches the blur off again.
    const RenderRun loaded = run("--host flame --size 48x27 -o loaded.exr --set preset_list=2");
    ASSERT_EQ(loaded.status, 0) << loaded.err;
    EXPECT_EQ(testcli::maxDifference(read("flat.exr"), read("loaded.exr")), 0.0f);
}
#endif

class TestPluginRender : public RenderErrors {
protected:
    TestPluginRender() {
        const auto grey = [](int, int, float* p) { std::fill(p, p + 4, 0.25f); };
        ImageIo::write(testcli::makeImage(8, 4, grey), dir.path() / "in.exr");
    }
    const std::string bundle = std::string("--bundle \"") + HALDEN_TEST_PLUGIN_BUNDLE + "\"";
};

TEST_F(TestPluginRender, ARenderThatFailsEndsWithOneLineOfOurs) {
    const RenderRun result = run(bundle + " -i in.exr --set fail_render=true -o out.png");
    EXPECT_NE(result.status, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "out.png"));
    // The test effect's support layer reports the exception on stderr itself; ours follows.
    const size_t last = result.err.rfind('\n', result.err.size() - 2);
    const std::string line = result.err.substr(last == std::string::npos ? 0 : last + 1);
    EXPECT_EQ(line, "halden-render: rendering frame 0 failed (status 1)\n") << result.err;
}

TEST_F(TestPluginRender, AStrictHostPrintsEachBreachAndExitsWithItsOwnStatus) {
    const std::string misbehave = bundle + " -i in.exr --set \"note=write in render\"";
    const RenderRun strict = run(misbehave + " --host strict -o strict.png");
    EXPECT_EQ(testenv::exitStatus(strict.status), 3);
    EXPECT_EQ(strict.err, "strict host: violation in render: parameter 'gain' written\n");
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "strict.png")) << "the picture is made";
    if (std::getenv("HALDEN_HOST_STRICT") == nullptr) {
        const RenderRun lenient = run(misbehave + " -o lenient.png");
        EXPECT_EQ(lenient.status, 0) << lenient.err;
    }
}

TEST_F(TestPluginRender, PressesFollowTheSetValuesAndReachThePlugin) {
    // The test effect multiplies by gain; its reset button sets gain back to 1.
    const RenderRun doubled = run(bundle + " -i in.exr -o doubled.exr --set gain=2");
    ASSERT_EQ(doubled.status, 0) << doubled.err;
    EXPECT_FLOAT_EQ(read("doubled.exr").pixel(3, 2)[0], 0.5f);

    const RenderRun reset = run(bundle + " -i in.exr -o reset.exr --press reset --set gain=2");
    ASSERT_EQ(reset.status, 0) << reset.err;
    EXPECT_FLOAT_EQ(read("reset.exr").pixel(3, 2)[0], 0.25f);
}

} // namespace
