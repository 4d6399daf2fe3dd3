#include "host/cli/StbFile.h"

#include <memory>
#include <string>

// The one translation unit that compiles stb's image reader, limited to the formats
// halden-render reads with it. Third-party code: its warnings are not ours to fix.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_TGA
#define STBI_ONLY_BMP
#define STBI_ONLY_HDR
#define STBI_NO_STDIO
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wshadow"
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

namespace ofxhost {

namespace {

int readFrom(void* user, char* data, int size) {
    return int(std::fread(data, 1, std::size_t(size), static_cast<std::FILE*>(user)));
}

void skipIn(void* user, int n) {
    std::fseek(static_cast<std::FILE*>(user), n, SEEK_CUR);
}

int atEnd(void* user) {
    return std::feof(static_cast<std::FILE*>(user));
}

const stbi_io_callbacks kCallbacks = {readFrom, skipIn, atEnd};

} // namespace

RgbaImage StbFile::read(const std::filesystem::path& path, const ImageLimits& limits) {
    const ImageIo::FileHandle file = ImageIo::openForReading(path);
    if (!file) {
        throw ImageIoError("cannot read " + path.string());
    }
    auto failure = [&] {
        const char* reason = stbi_failure_reason();
        return ImageIoError("cannot read " + path.string() + ": " +
                            (reason != nullptr ? reason : "not a readable image"));
    };
    int width = 0, height = 0, stored = 0;
    if (stbi_info_from_callbacks(&kCallbacks, file.get(), &width, &height, &stored) == 0) {
        throw failure();
    }
    ImageIo::checkSize(path, width, height, limits);
    std::rewind(file.get());
    const bool hdr = stbi_is_hdr_from_callbacks(&kCallbacks, file.get()) != 0;
    std::rewind(file.get());
    if (hdr) {
        std::unique_ptr<float, decltype(&stbi_image_free)> pixels(
            stbi_loadf_from_callbacks(&kCallbacks, file.get(), &width, &height, &stored, 4),
            &stbi_image_free);
        if (!pixels) {
            throw failure();
        }
        return RgbaImage::fromTopFirst(pixels.get(), width, height, 4, 1.0f);
    }
    std::unique_ptr<unsigned char, decltype(&stbi_image_free)> pixels(
        stbi_load_from_callbacks(&kCallbacks, file.get(), &width, &height, &stored, 4),
        &stbi_image_free);
    if (!pixels) {
        throw failure();
    }
    return RgbaImage::fromTopFirst(pixels.get(), width, height, 4, 1.0f / 255.0f);
}

} // namespace ofxhost
