#pragma once

#include "host/cli/RgbaImage.h"

#include <cstdint>
#include <filesystem>

namespace ofxhost {

// PNG, JPEG, TGA, BMP and HDR files through stb. 8-bit values are read as stored / 255 and
// 16-bit PNG as / 65535, with no colour conversion; HDR keeps its floats. Written files are
// 8-bit, clamped to 0..1. Rows are flipped between the file's top-first order and RgbaImage's
// bottom-first order. Failures throw ImageIoError.
class StbFile {
public:
    // The size the header claims; false when stb cannot tell (read says why).
    static bool size(const std::filesystem::path& path, std::int64_t& width, std::int64_t& height);
    static RgbaImage read(const std::filesystem::path& path);
    // RGBA when some pixel is not opaque, else RGB.
    static void writePng(const RgbaImage& image, const std::filesystem::path& path);
    static void writeJpeg(const RgbaImage& image, const std::filesystem::path& path);
};

} // namespace ofxhost
