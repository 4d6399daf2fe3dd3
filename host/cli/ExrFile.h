#pragma once

#include "host/cli/RgbaImage.h"

#include <cstdint>
#include <filesystem>

namespace ofxhost {

// OpenEXR through tinyexr: any RGB(A), Y or A file in, float RGBA with ZIP compression out.
// Rows are flipped between the file's top-first order and RgbaImage's bottom-first order.
// Failures throw ImageIoError.
class ExrFile {
public:
    // The size the header claims; false when there is no header to read (read says why).
    static bool size(const std::filesystem::path& path, std::int64_t& width, std::int64_t& height);
    static RgbaImage read(const std::filesystem::path& path);
    static void write(const RgbaImage& image, const std::filesystem::path& path);
};

} // namespace ofxhost
