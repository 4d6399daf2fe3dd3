#pragma once

#include "host/cli/ImageIo.h"
#include "host/cli/RgbaImage.h"

#include <filesystem>
#include <string>

namespace ofxhost {

// OpenEXR files through the OpenEXR library: every compression it has, scanline and tiled,
// multi-part, any data window. A layer is read as RGBA: R, G, B (or Y) and A, a missing alpha
// being 1, a layer of one channel grey (alpha too). Out: R, G, B, A as float or half with the
// data and display windows the image came with. Rows are flipped between the file's top-first
// order and RgbaImage's bottom-first order. Failures throw ImageIoError naming the file.
class ExrFile {
public:
    static RgbaImage read(const std::filesystem::path& path, const ImageLimits& limits,
                          const std::string& layer);
    static void write(const RgbaImage& image, const std::filesystem::path& path,
                      const ExrWriteOptions& options);
    // "none", "rle", "zips", "zip", "piz", "pxr24", "b44", "b44a", "dwaa", "dwab".
    static bool knownCompression(const std::string& name);
};

} // namespace ofxhost
