#pragma once

#include "host/cli/RgbaImage.h"

#include <filesystem>
#include <stdexcept>
#include <string>

namespace ofxhost {

// An image file that cannot be read or written; the message is one line naming the file.
class ImageIoError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Image files in and out. Reading looks at the content (EXR, else PNG, JPEG, TGA, BMP, HDR);
// writing picks the format from the extension: EXR keeps floats, PNG and JPEG are 8-bit.
class ImageIo {
public:
    enum class Format { Exr, Png, Jpeg };

    // Throws ImageIoError for an extension it cannot write.
    static Format outputFormat(const std::filesystem::path& path);
    static RgbaImage read(const std::filesystem::path& path);
    static void write(const RgbaImage& image, const std::filesystem::path& path);
};

} // namespace ofxhost
