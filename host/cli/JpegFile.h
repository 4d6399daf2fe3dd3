#pragma once

#include "host/cli/ImageIo.h"
#include "host/cli/RgbaImage.h"

#include <filesystem>

namespace ofxhost {

// JPEG through libjpeg(-turbo): greyscale and colour in, values as stored / 255, alpha 1; out
// 8-bit RGB at quality 95 without chroma subsampling, clamped to 0..1. A damaged file is an
// error, not a picture padded with grey. Failures throw ImageIoError naming the file.
class JpegFile {
public:
    static bool isJpeg(const unsigned char* head, std::size_t size);
    static RgbaImage read(const std::filesystem::path& path, const ImageLimits& limits);
    static void write(const RgbaImage& image, const std::filesystem::path& path);
};

} // namespace ofxhost
