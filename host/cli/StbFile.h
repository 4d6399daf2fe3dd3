#pragma once

#include "host/cli/ImageIo.h"
#include "host/cli/RgbaImage.h"

#include <filesystem>

namespace ofxhost {

// TGA, BMP and HDR files through stb. 8-bit values are read as stored / 255, with no colour
// conversion; HDR keeps its floats. Rows are flipped between the file's top-first order and
// RgbaImage's bottom-first order. Failures throw ImageIoError naming the file.
class StbFile {
public:
    static RgbaImage read(const std::filesystem::path& path, const ImageLimits& limits);
};

} // namespace ofxhost
