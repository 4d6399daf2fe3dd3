#pragma once

#include "host/cli/RgbaImage.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

namespace ofxhost {

// An image file that cannot be read or written; the message is one line naming the file.
class ImageIoError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What a render may take on before any pixel is decoded: the size the file's header claims,
// and the memory the render of a picture that size needs (about kBytesPerPixel per pixel: the
// decoded file, the host's images, the plug-in's textures and working images).
struct ImageLimits {
    static constexpr int kBytesPerPixel = 192;
    int maxSide = 32768;
    double maxBytes = 16.0 * 1024 * 1024 * 1024;
};

// How EXR output is stored: float or half channels, and one of ExrFile's compressions.
struct ExrWriteOptions {
    bool half = false;
    std::string compression = "zip";
};

// Image files in and out. Reading looks at the content (EXR, PNG and JPEG through their
// reference libraries, else TGA, BMP or HDR); writing picks the format from the extension: EXR
// keeps floats, PNG and JPEG are 8-bit.
class ImageIo {
public:
    enum class Format { Exr, Png, Jpeg };

    // Throws ImageIoError for an extension it cannot write.
    static Format outputFormat(const std::filesystem::path& path);
    // Refuses a file whose header claims more than limits allow, before decoding it. layer
    // picks an EXR layer's channels (NAME.R, NAME.G, ...); empty means the unnamed RGBA.
    static RgbaImage read(const std::filesystem::path& path, const ImageLimits& limits = {},
                          const std::string& layer = "");
    // Throws ImageIoError naming path when a width x height picture exceeds limits.
    static void checkSize(const std::filesystem::path& path, std::int64_t width,
                          std::int64_t height, const ImageLimits& limits);
    static void write(const RgbaImage& image, const std::filesystem::path& path,
                      const ExrWriteOptions& exr = {});
    // path opened for reading in binary, wide on Windows; null when it cannot be.
    using FileHandle = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;
    static FileHandle openForReading(const std::filesystem::path& path);
    // Replaces path with size bytes through a temporary file beside it, every write checked:
    // on any failure the file that was there is untouched and the temporary one gone.
    static void writeFile(const std::filesystem::path& path, const void* data, std::size_t size);
};

} // namespace ofxhost
