#include "host/cli/StbFile.h"

#include "host/cli/ImageIo.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

// The one translation unit that compiles stb's image reader and writer, limited to the
// formats halden-render documents. Third-party code: its warnings are not ours to fix.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_TGA
#define STBI_ONLY_BMP
#define STBI_ONLY_HDR
#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wshadow"
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#include <stb/stb_image.h>
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace ofxhost {

namespace {

constexpr int kJpegQuality = 95;

// Copies stb's top-first interleaved RGBA into the bottom-first image, scaled to floats.
template <class Sample>
RgbaImage fromTopFirst(const Sample* samples, int width, int height, float scale) {
    RgbaImage image(width, height);
    const std::size_t rowSamples = static_cast<std::size_t>(width) * 4;
    for (int row = 0; row < height; ++row) {
        const Sample* in = samples + rowSamples * row;
        float* out = image.pixel(0, height - 1 - row);
        for (std::size_t i = 0; i < rowSamples; ++i) {
            out[i] = static_cast<float>(in[i]) * scale;
        }
    }
    return image;
}

unsigned char toByte(float value) {
    // NaN reads as black rather than as whatever the cast would make of it.
    if (!(value > 0.0f)) {
        return 0;
    }
    return static_cast<unsigned char>(std::lround(std::min(value, 1.0f) * 255.0f));
}

bool opaque(const RgbaImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (toByte(image.pixel(x, y)[3]) != 255) {
                return false;
            }
        }
    }
    return true;
}

// Top-first 8-bit samples with the first `channels` of RGBA.
std::vector<unsigned char> toBytes(const RgbaImage& image, int channels) {
    std::vector<unsigned char> bytes(std::size_t(image.width()) * image.height() * channels);
    std::size_t at = 0;
    for (int row = 0; row < image.height(); ++row) {
        for (int x = 0; x < image.width(); ++x) {
            const float* p = image.pixel(x, image.height() - 1 - row);
            for (int c = 0; c < channels; ++c) {
                bytes[at++] = toByte(p[c]);
            }
        }
    }
    return bytes;
}

// stb's writers hand over the encoded file in pieces.
void appendTo(void* context, void* data, int size) {
    auto* encoded = static_cast<std::vector<unsigned char>*>(context);
    const auto* bytes = static_cast<const unsigned char*>(data);
    encoded->insert(encoded->end(), bytes, bytes + size);
}

std::string failure(const std::filesystem::path& path) {
    const char* reason = stbi_failure_reason();
    return "cannot read " + path.string() + ": " +
           (reason != nullptr ? reason : "not a readable image");
}

} // namespace

bool StbFile::size(const std::filesystem::path& path, std::int64_t& width, std::int64_t& height) {
    int w = 0, h = 0, channels = 0;
    if (stbi_info(path.string().c_str(), &w, &h, &channels) == 0) {
        return false;
    }
    width = w;
    height = h;
    return true;
}

RgbaImage StbFile::read(const std::filesystem::path& path) {
    const std::string name = path.string();
    int width = 0;
    int height = 0;
    int stored = 0;
    if (stbi_is_hdr(name.c_str())) {
        std::unique_ptr<float, decltype(&stbi_image_free)> pixels(
            stbi_loadf(name.c_str(), &width, &height, &stored, 4), &stbi_image_free);
        if (!pixels) {
            throw ImageIoError(failure(path));
        }
        return fromTopFirst(pixels.get(), width, height, 1.0f);
    }
    if (stbi_is_16_bit(name.c_str())) {
        std::unique_ptr<std::uint16_t, decltype(&stbi_image_free)> pixels(
            stbi_load_16(name.c_str(), &width, &height, &stored, 4), &stbi_image_free);
        if (!pixels) {
            throw ImageIoError(failure(path));
        }
        return fromTopFirst(pixels.get(), width, height, 1.0f / 65535.0f);
    }
    std::unique_ptr<unsigned char, decltype(&stbi_image_free)> pixels(
        stbi_load(name.c_str(), &width, &height, &stored, 4), &stbi_image_free);
    if (!pixels) {
        throw ImageIoError(failure(path));
    }
    return fromTopFirst(pixels.get(), width, height, 1.0f / 255.0f);
}

void StbFile::writePng(const RgbaImage& image, const std::filesystem::path& path) {
    const int channels = opaque(image) ? 3 : 4;
    const std::vector<unsigned char> bytes = toBytes(image, channels);
    std::vector<unsigned char> encoded;
    if (stbi_write_png_to_func(appendTo, &encoded, image.width(), image.height(), channels,
                               bytes.data(), image.width() * channels) == 0) {
        throw ImageIoError("cannot write " + path.string() + ": PNG encoding failed");
    }
    ImageIo::writeFile(path, encoded.data(), encoded.size());
}

void StbFile::writeJpeg(const RgbaImage& image, const std::filesystem::path& path) {
    const std::vector<unsigned char> bytes = toBytes(image, 3);
    std::vector<unsigned char> encoded;
    if (stbi_write_jpg_to_func(appendTo, &encoded, image.width(), image.height(), 3, bytes.data(),
                               kJpegQuality) == 0) {
        throw ImageIoError("cannot write " + path.string() + ": JPEG encoding failed");
    }
    ImageIo::writeFile(path, encoded.data(), encoded.size());
}

} // namespace ofxhost
