// libFuzzer target: any bytes as halden-render's input file (EXR, PNG, JPEG, TGA, BMP, HDR) give
// a picture or an ImageIoError, never a crash, a hang or a sanitizer report.
#include "host/cli/ImageIo.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The readers take a path: one scratch file per fuzzing process.
    static const std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("halden-image-fuzz-" + std::to_string(getpid()) + ".img");
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    // Small limits keep each run's memory within the fuzzer's: what they refuse is refused
    // from the header, which is part of what is tested.
    ofxhost::ImageLimits limits;
    limits.maxSide = 4096;
    limits.maxBytes = 512.0 * 1024 * 1024;
    try {
        (void)ofxhost::ImageIo::read(path, limits);
    } catch (const ofxhost::ImageIoError&) {
    }
    return 0;
}
