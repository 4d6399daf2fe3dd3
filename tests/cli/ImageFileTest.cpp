// The image files halden-render reads and writes, against files made by OpenEXR and libpng
// directly: every EXR compression, half output, tiled and multi-part files, layers, pixels
// placed in a larger frame, 16-bit PNG, and damaged PNG and JPEG files named as such.

#include "RenderRun.h"

#include "host/cli/ExrFile.h"
#include "host/cli/ImageIo.h"

#include <ImfChannelList.h>
#include <ImfFrameBuffer.h>
#include <ImfHeader.h>
#include <ImfInputFile.h>
#include <ImfMultiPartOutputFile.h>
#include <ImfPartType.h>
#include <ImfTiledOutputFile.h>
#include <ImfTiledOutputPart.h>
#include <png.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace {

using ofxhost::ExrWriteOptions;
using ofxhost::ImageIo;
using ofxhost::ImageIoError;
using ofxhost::ImagePlacement;
using ofxhost::RgbaImage;
using testcli::CliTest;
using testcli::RenderRun;

// Smooth, different in every channel and direction, bright in places, alpha not constant.
float valueAt(int x, int y, int c) {
    const float base = 0.5f + 0.4f * std::sin(0.21f * x + 0.13f * y + 1.7f * c);
    return c == 3 ? 0.25f + 0.5f * base : base * (1.0f + 3.0f * (x > 20 && y < 6));
}

// valueAt's picture; opaque, alpha is 1.
RgbaImage testImage(int width, int height, bool opaque = false) {
    return testcli::makeImage(width, height, [opaque](int x, int y, float* p) {
        for (int c = 0; c < 4; ++c) {
            p[c] = c == 3 && opaque ? 1.0f : valueAt(x, y, c);
        }
    });
}

// Largest and mean difference relative to max(1, |expected|).
struct Error {
    float largest = 0.0f;
    float mean = 0.0f;
};

Error compare(const RgbaImage& expected, const RgbaImage& actual) {
    if (expected.width() != actual.width() || expected.height() != actual.height()) {
        return {INFINITY, INFINITY};
    }
    Error error;
    const std::size_t count = std::size_t(expected.width()) * expected.height() * 4;
    double sum = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        const float e = expected.data()[i];
        const float d = std::abs(actual.data()[i] - e) / std::max(1.0f, std::abs(e));
        error.largest = std::max(error.largest, d);
        sum += d;
    }
    error.mean = float(sum / count);
    return error;
}

// One part's channels, written by OpenEXR from valueAt (channel c of name "X.c" is c's value
// plus offset, so layers tell apart).
struct PartSpec {
    std::string name;
    std::vector<std::pair<std::string, int>> channels; // name, RGBA index
    float offset = 0.0f;
};

struct Planes {
    std::vector<std::vector<float>> data;

    Planes(const PartSpec& part, const Imath::Box2i& window) {
        const int width = window.max.x - window.min.x + 1;
        const int height = window.max.y - window.min.y + 1;
        for (const auto& channel : part.channels) {
            std::vector<float> plane(std::size_t(width) * height);
            for (int row = 0; row < height; ++row) {
                for (int x = 0; x < width; ++x) {
                    // Row 0 of the file is the top: RgbaImage's row height - 1.
                    plane[std::size_t(row) * width + x] =
                        valueAt(x, height - 1 - row, channel.second) + part.offset;
                }
            }
            data.push_back(std::move(plane));
        }
    }

    Imf::FrameBuffer frame(const PartSpec& part, const Imath::Box2i& window) {
        Imf::FrameBuffer frame;
        for (std::size_t i = 0; i < part.channels.size(); ++i) {
            frame.insert(part.channels[i].first,
                         Imf::Slice::Make(Imf::FLOAT, data[i].data(), window));
        }
        return frame;
    }
};

Imf::Header headerFor(const PartSpec& part, const Imath::Box2i& display, const Imath::Box2i& window,
                      const std::string& type) {
    Imf::Header header(display, window);
    for (const auto& channel : part.channels) {
        header.channels().insert(channel.first, Imf::Channel(Imf::FLOAT));
    }
    header.setName(part.name);
    header.setType(type);
    if (type == Imf::TILEDIMAGE) {
        header.setTileDescription(Imf::TileDescription(16, 16, Imf::ONE_LEVEL));
    }
    return header;
}

class ImageFiles : public CliTest {};

// Lossless compressions give back every float; half output is half's rounding; the lossy ones
// stay within what they are known to lose, with rows and channels where they were.
TEST_F(ImageFiles, EveryExrCompressionRoundTripsInFloatAndHalf) {
    const RgbaImage image = testImage(67, 35);
    const std::map<std::string, float> lossyMean = {
        {"pxr24", 2e-5f}, {"b44", 2e-3f}, {"b44a", 2e-3f}, {"dwaa", 5e-3f}, {"dwab", 5e-3f}};
    for (const char* compression :
         {"none", "rle", "zips", "zip", "piz", "pxr24", "b44", "b44a", "dwaa", "dwab"}) {
        ASSERT_TRUE(ofxhost::ExrFile::knownCompression(compression));
        for (const bool half : {false, true}) {
            const auto file = dir.path() / (std::string(compression) + (half ? "-h" : "") + ".exr");
            ImageIo::write(image, file, ExrWriteOptions{half, compression});
            const Error error = compare(image, ImageIo::read(file));
            const auto lossy = lossyMean.find(compression);
            const std::string what = file.filename().string();
            // B44 leaves float channels alone and PXR24 half ones; DWA is lossy in both.
            const bool lossless = lossy == lossyMean.end() || (lossy->first[0] == 'b' && !half) ||
                                  (lossy->first == "pxr24" && half);
            if (!lossless) {
                EXPECT_LT(error.mean, lossy->second) << what;
                EXPECT_LT(error.largest, 40 * lossy->second) << what;
            } else if (half) {
                EXPECT_LT(error.largest, 1e-3f) << what;
            } else {
                EXPECT_EQ(error.largest, 0.0f) << what;
            }
        }
    }
    EXPECT_FALSE(ofxhost::ExrFile::knownCompression("jpeg"));
}

// Tiled and multi-part files, layers by prefix and by part name, luminance, a missing alpha,
// and a data window that is not the frame, all as OpenEXR wrote them.
TEST_F(ImageFiles, TiledMultiPartFilesAndLayersReadAsWritten) {
    const Imath::Box2i display(Imath::V2i(0, 0), Imath::V2i(49, 29));
    const Imath::Box2i window(Imath::V2i(3, 2), Imath::V2i(42, 25));
    const int width = 40, height = 24;
    const std::vector<PartSpec> parts = {
        {"depth", {{"Z", 0}}, 7.0f},
        {"beauty",
         {{"R", 0}, {"G", 1}, {"B", 2}, {"A", 3}, {"gloss.R", 0}, {"gloss.G", 1}, {"gloss.B", 2}},
         0.0f},
        {"diffuse", {{"R", 0}, {"G", 1}, {"B", 2}}, 2.0f},
        {"luma", {{"Y", 1}}, 3.0f},
    };
    std::vector<Imf::Header> headers;
    for (const PartSpec& part : parts) {
        headers.push_back(headerFor(part, display, window, Imf::TILEDIMAGE));
    }
    {
        Imf::MultiPartOutputFile file((dir.path() / "multi.exr").string().c_str(), headers.data(),
                                      int(headers.size()));
        for (std::size_t p = 0; p < parts.size(); ++p) {
            Planes planes(parts[p], window);
            Imf::TiledOutputPart part(file, int(p));
            part.setFrameBuffer(planes.frame(parts[p], window));
            part.writeTiles(0, part.numXTiles() - 1, 0, part.numYTiles() - 1);
        }
    }
    auto expected = [&](float offset, bool grey, bool alpha) {
        return testcli::makeImage(width, height, [&](int x, int y, float* p) {
            for (int c = 0; c < 3; ++c) {
                p[c] = valueAt(x, y, grey ? 1 : c) + offset;
            }
            p[3] = alpha ? valueAt(x, y, 3) : 1.0f;
        });
    };
    const auto file = dir.path() / "multi.exr";
    const RgbaImage beauty = ImageIo::read(file);
    EXPECT_EQ(compare(expected(0.0f, false, true), beauty).largest, 0.0f);
    ASSERT_TRUE(beauty.placement);
    EXPECT_EQ(beauty.placement->dataMinX, 3);
    EXPECT_EQ(beauty.placement->dataMinY, 2);
    EXPECT_EQ(beauty.placement->displayMaxX, 49);
    EXPECT_EQ(beauty.placement->displayMaxY, 29);
    EXPECT_EQ(compare(expected(0.0f, false, false), ImageIo::read(file, {}, "gloss")).largest,
              0.0f);
    EXPECT_EQ(compare(expected(2.0f, false, false), ImageIo::read(file, {}, "diffuse")).largest,
              0.0f);
    EXPECT_EQ(compare(expected(3.0f, true, false), ImageIo::read(file, {}, "luma")).largest, 0.0f);
    try {
        ImageIo::read(file, {}, "sheen");
        ADD_FAILURE() << "a missing layer was read";
    } catch (const ImageIoError& error) {
        EXPECT_NE(std::string(error.what())
                      .find("no layer sheen; its layers: beauty, depth, "
                            "diffuse, gloss, luma"),
                  std::string::npos)
            << error.what();
    }

    // The placement goes back out as it came in.
    ImageIo::write(beauty, dir.path() / "again.exr");
    const RgbaImage again = ImageIo::read(dir.path() / "again.exr");
    EXPECT_EQ(compare(beauty, again).largest, 0.0f);
    ASSERT_TRUE(again.placement);
    EXPECT_EQ(again.placement->dataMinX, 3);
    EXPECT_EQ(again.placement->displayMaxY, 29);
}

// Through halden-render: a layer picked, the pixels rendered where the file put them in its
// frame and written back there, in half with the asked compression.
TEST_F(ImageFiles, TheRenderKeepsTheFilesFrameAndWritesTheAskedStorage) {
    RgbaImage placed = testImage(40, 24);
    placed.placement = ImagePlacement{-6, 4, 0, 0, 49, 29};
    ImageIo::write(placed, dir.path() / "placed.exr");
    const RenderRun result = run("-i placed.exr -o out.exr --half --compression dwab "
                                 "--set blur_radius=0 --set post_blur_scale=0");
    ASSERT_EQ(result.status, 0) << result.err;
    const RgbaImage out = read("out.exr");
    ASSERT_TRUE(out.placement);
    EXPECT_EQ(out.placement->dataMinX, -6);
    EXPECT_EQ(out.placement->dataMinY, 4);
    EXPECT_EQ(out.placement->displayMaxX, 49);
    EXPECT_LT(compare(placed, out).mean, 5e-3f);
    Imf::InputFile header((dir.path() / "out.exr").string().c_str());
    EXPECT_EQ(header.header().compression(), Imf::DWAB_COMPRESSION);
    EXPECT_EQ(header.header().channels().findChannel("R")->type, Imf::HALF);

    // Pixels away from the frame's origin blur as the same pixels at it do: the plug-in
    // reads them where their bounds say.
    RgbaImage whole = placed;
    whole.placement.reset();
    ImageIo::write(whole, dir.path() / "whole.exr");
    ASSERT_EQ(run("-i placed.exr -o a.exr --set blur_radius=200").status, 0);
    ASSERT_EQ(run("-i whole.exr -o b.exr --set blur_radius=200").status, 0);
    const RgbaImage blurred = read("b.exr");
    EXPECT_GT(compare(whole, blurred).mean, 1e-3f);
    EXPECT_EQ(compare(blurred, read("a.exr")).largest, 0.0f);
}

// 16-bit PNG keeps its 16 bits; damaged PNG and JPEG files are errors naming the file, not
// pictures with holes.
TEST_F(ImageFiles, SixteenBitPngAndDamagedFiles) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = 5;
    png.height = 3;
    png.format = PNG_FORMAT_LINEAR_RGB;
    std::vector<std::uint16_t> samples(5 * 3 * 3);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = std::uint16_t(i * 1021 + 3);
    }
    const auto sixteen = dir.path() / "sixteen.png";
    ASSERT_NE(
        png_image_write_to_file(&png, sixteen.string().c_str(), 0, samples.data(), 0, nullptr), 0);
    const RgbaImage read16 = ImageIo::read(sixteen);
    EXPECT_FLOAT_EQ(read16.pixel(1, 2)[2], samples[5] / 65535.0f) << "top row, second pixel, B";
    EXPECT_EQ(read16.pixel(1, 2)[3], 1.0f);

    const RgbaImage opaque = testImage(40, 30, true);
    ImageIo::write(opaque, dir.path() / "whole.png");
    ImageIo::write(opaque, dir.path() / "whole.jpg");
    EXPECT_LT(
        compare(ImageIo::read(dir.path() / "whole.png"), ImageIo::read(dir.path() / "whole.jpg"))
            .mean,
        0.02f);
    for (const char* name : {"whole.png", "whole.jpg"}) {
        const std::string bytes = testenv::readFile(dir.path() / name);
        const auto cut = dir.path() / (std::string("cut-") + name);
        std::ofstream(cut, std::ios::binary) << bytes.substr(0, bytes.size() * 2 / 3);
        try {
            ImageIo::read(cut);
            ADD_FAILURE() << name << " cut short was read";
        } catch (const ImageIoError& error) {
            EXPECT_NE(std::string(error.what()).find(cut.string()), std::string::npos);
        }
    }
}

} // namespace
