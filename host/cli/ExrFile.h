#pragma once

#include "host/cli/RgbaImage.h"

#include <filesystem>

namespace ofxhost {

// OpenEXR through tinyexr: any RGB(A), Y or A file in, float RGBA with ZIP compression out.
// Rows are flipped between the file's top-first order and RgbaImage's bottom-first order.
// Failures throw ImageIoError.
class ExrFile {
public:
    static RgbaImage read(const std::filesystem::path& path);
    static void write(const RgbaImage& image, const std::filesystem::path& path);
};

} // namespace ofxhost
