#pragma once

#include "host/cli/ImageIo.h"
#include "host/cli/RgbaImage.h"

#include <filesystem>

namespace ofxhost {

// PNG through libpng: any bit depth and colour type in, values as stored / 255 (or / 65535 for
// 16-bit), no colour conversion; out 8-bit, clamped to 0..1, RGBA when some pixel is not
// opaque, else RGB. Rows are flipped between the file's top-first order and RgbaImage's
// bottom-first order. Failures throw ImageIoError naming the file.
class PngFile {
public:
    static bool isPng(const unsigned char* head, std::size_t size);
    static RgbaImage read(const std::filesystem::path& path, const ImageLimits& limits);
    static void write(const RgbaImage& image, const std::filesystem::path& path);
};

} // namespace ofxhost
