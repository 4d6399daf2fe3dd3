// What halden-render writes: pictures of the right size, float EXR that round-trips, 8-bit
// clamped PNG, the top of a picture kept at the top, frame sequences, and device memory giving
// the host-memory result. Proxies are checked with the overlays drawn over them.

#include "RenderRun.h"

#include "host/cli/ImageIo.h"

// A PNG reader and writer that are not halden-render's, compiled here for this file alone.
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wshadow"
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb/stb_image.h>
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

using ofxhost::ImageIo;
using ofxhost::RgbaImage;
using testcli::CliTest;
using testcli::makeImage;
using testcli::maxDifference;
using testcli::RenderRun;

const std::string kNoBlur = "--set blur_radius=0 --set post_blur_scale=0";

float meanDifference(const RgbaImage& a, const RgbaImage& b) {
    double sum = 0.0;
    const size_t count = size_t(a.width()) * a.height() * 4;
    for (size_t i = 0; i < count; ++i) {
        sum += std::abs(a.data()[i] - b.data()[i]);
    }
    return static_cast<float>(sum / count);
}

// A dim gradient with one bright pixel near the top-left corner of the picture (row 3 from
// the top, column 5): nothing about it is symmetric.
RgbaImage asymmetricImage(int width, int height) {
    RgbaImage image = makeImage(width, height, [&](int x, int y, float* p) {
        p[0] = 0.1f * x / width;
        p[1] = 0.1f * y / height;
        p[2] = 0.05f;
        p[3] = 1.0f;
    });
    float* bright = image.pixel(5, height - 1 - 3);
    bright[0] = bright[1] = bright[2] = 4.0f;
    return image;
}

// The 8-bit samples of a PNG exactly as stored: top row first, no flipping of ours involved.
struct RawPng {
    int width = 0;
    int height = 0;
    int channels = 0;
    std::unique_ptr<unsigned char, decltype(&stbi_image_free)> pixels{nullptr, &stbi_image_free};

    explicit RawPng(const std::filesystem::path& file) {
        pixels.reset(stbi_load(file.string().c_str(), &width, &height, &channels, 0));
    }
    const unsigned char* at(int x, int rowFromTop) const {
        return pixels.get() + (size_t(rowFromTop) * width + x) * channels;
    }
};

TEST_F(CliTest, TheDemoSceneBlursIntoAPictureOfTheAskedSize) {
    const RenderRun blurred = run("--size 160x90 -o demo.exr");
    ASSERT_EQ(blurred.status, 0) << blurred.err;
    // The absolute path of what it wrote is the last line.
    EXPECT_EQ(blurred.out, "Wrote " + (dir.path() / "demo.exr").lexically_normal().string() + "\n");
    EXPECT_EQ(blurred.err, "") << "no progress line when stderr is not a terminal";
    const RenderRun sharp = run("--size 160x90 -o sharp.exr " + kNoBlur);
    ASSERT_EQ(sharp.status, 0) << sharp.err;

    const RgbaImage demo = read("demo.exr");
    ASSERT_EQ(demo.width(), 160);
    ASSERT_EQ(demo.height(), 90);
    float centre = 0.0f;
    float brightest = 0.0f;
    for (int y = 0; y < 90; ++y) {
        for (int x = 0; x < 160; ++x) {
            const float* p = demo.pixel(x, y);
            const float value = std::max({p[0], p[1], p[2]});
            brightest = std::max(brightest, value);
            if (x >= 60 && x < 100 && y >= 30 && y < 60) {
                centre = std::max(centre, value);
            }
        }
    }
    EXPECT_GT(centre, 0.2f) << "the middle of the picture holds lights";
    EXPECT_GT(brightest, 1.0f) << "EXR keeps values above 1";
    EXPECT_GT(meanDifference(demo, read("sharp.exr")), 0.005f) << "the blur changed the scene";

    // The least forgiving host sees the same picture, and no breach of its rules (status 3).
    const RenderRun strict = run("--size 160x90 --host strict -o strict.exr");
    ASSERT_EQ(strict.status, 0) << strict.err;
    EXPECT_EQ(maxDifference(demo, read("strict.exr")), 0.0f);

    // Device memory images give the host-memory result.
    const RenderRun device = run("--size 160x90 --device-memory -o device.exr");
    ASSERT_EQ(device.status, 0) << device.err;
    EXPECT_LE(maxDifference(read("device.exr"), demo), 1e-6f);
}

TEST_F(CliTest, AnExrWithoutBlurComesBackUnchanged) {
    const RgbaImage input = asymmetricImage(64, 36);
    ImageIo::write(input, dir.path() / "in.exr");

    const RenderRun toExr = run("-i in.exr -o out.exr " + kNoBlur);
    ASSERT_EQ(toExr.status, 0) << toExr.err;
    EXPECT_LE(maxDifference(read("out.exr"), input), 1e-5f);
}

TEST_F(CliTest, APngInputKeepsItsTopRowAtTheTop) {
    // Written top row first by stb itself: row 2 from the top is red.
    std::vector<unsigned char> bytes(32 * 18 * 3, 20);
    for (int x = 0; x < 32; ++x) {
        bytes[(2 * 32 + x) * 3] = 255;
    }
    ASSERT_NE(
        stbi_write_png((dir.path() / "in.png").string().c_str(), 32, 18, 3, bytes.data(), 32 * 3),
        0);
    const RenderRun result = run("-i in.png -o out.exr " + kNoBlur);
    ASSERT_EQ(result.status, 0) << result.err;
    const RgbaImage out = read("out.exr");
    EXPECT_NEAR(out.pixel(10, 18 - 1 - 2)[0], 1.0f, 1e-6f) << "OFX rows count from the bottom";
    EXPECT_NEAR(out.pixel(10, 2)[0], 20.0f / 255.0f, 1e-6f) << "stored value / 255, no gamma";
}

// Out of range everywhere but one black pixel in the second row from the top.
TEST_F(CliTest, PngOutputIsEightBitClampedToZeroToOneWithTheTopRowFirst) {
    const RgbaImage input = makeImage(8, 4, [](int x, int y, float* p) {
        const bool black = x == 5 && y == 4 - 1 - 1;
        p[0] = black ? 0.0f : 6.0f;
        p[1] = black ? 0.0f : -2.0f;
        p[2] = black ? 0.0f : 0.5f;
        p[3] = 1.0f;
    });
    ImageIo::write(input, dir.path() / "in.exr");
    const RenderRun result = run("-i in.exr -o out.png " + kNoBlur);
    ASSERT_EQ(result.status, 0) << result.err;
    const RawPng png(dir.path() / "out.png");
    ASSERT_TRUE(png.pixels);
    EXPECT_FALSE(stbi_is_16_bit((dir.path() / "out.png").string().c_str()));
    EXPECT_EQ(png.channels, 3) << "an opaque picture needs no alpha channel";
    EXPECT_EQ(png.at(5, 2)[0], 255);
    EXPECT_EQ(png.at(5, 2)[1], 0);
    EXPECT_EQ(png.at(5, 2)[2], 128);
    EXPECT_EQ(png.at(5, 1)[0], 0) << "the black pixel is still in the second row from the top";
}

TEST_F(CliTest, AFrameRangeWritesOneNumberedFilePerFrame) {
    const RenderRun hashes = run("--size 48x27 --frames 1-3 -o \"shot.####.exr\"");
    ASSERT_EQ(hashes.status, 0) << hashes.err;
    for (const char* name : {"shot.0001.exr", "shot.0002.exr", "shot.0003.exr"}) {
        EXPECT_TRUE(std::filesystem::exists(dir.path() / name)) << name;
    }
    EXPECT_NE(hashes.out.find("shot.0003.exr\n"), std::string::npos);

    // Without hashes the number goes before the extension; a range that ends at the largest
    // frame number ends there.
    const RenderRun last = run("--size 8x5 --frames 2147483646-2147483647 -o end.png");
    ASSERT_EQ(last.status, 0) << last.err;
    EXPECT_EQ(std::count(last.out.begin(), last.out.end(), '\n'), 2) << last.out;
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "end.2147483646.png"));
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "end.2147483647.png"));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "end.png"));
}

TEST_F(CliTest, ParametersAcceptVectorsAndChoiceTexts) {
    const RenderRun result = run("--size 48x27 -o p.png --set optical_center=0.2,0.1 "
                                 "--set quality_preset=\"Half\" --set aperture_enable=on "
                                 "--set blade_count=6 --set colorspace=1");
    EXPECT_EQ(result.status, 0) << result.err;
}

} // namespace
