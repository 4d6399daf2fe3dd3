#include "host/cli/ExrFile.h"

#include "host/cli/ImageIo.h"
#include "resources/ExrDecode.h"

#include <tinyexr.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace ofxhost {

namespace {

std::string takeMessage(const char* message, const char* fallback) {
    std::string text = message != nullptr ? message : fallback;
    if (message != nullptr) {
        FreeEXRErrorMessage(message);
    }
    return text;
}

} // namespace

bool ExrFile::size(const std::filesystem::path& path, std::int64_t& width, std::int64_t& height) {
    const std::string name = path.string();
    EXRVersion version;
    if (ParseEXRVersionFromFile(&version, name.c_str()) != TINYEXR_SUCCESS || version.multipart ||
        version.non_image) {
        return false;
    }
    EXRHeader header;
    InitEXRHeader(&header);
    const char* message = nullptr;
    const int result = ParseEXRHeaderFromFile(&header, &version, name.c_str(), &message);
    takeMessage(message, "");
    if (result != TINYEXR_SUCCESS) {
        FreeEXRHeader(&header);
        return false;
    }
    // In 64 bits: a window of INT_MIN..INT_MAX overflows int.
    width = std::int64_t(header.data_window.max_x) - header.data_window.min_x + 1;
    height = std::int64_t(header.data_window.max_y) - header.data_window.min_y + 1;
    FreeEXRHeader(&header);
    return true;
}

RgbaImage ExrFile::read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                           std::istreambuf_iterator<char>());
    if (!in && !in.eof()) {
        throw ImageIoError("cannot read " + path.string());
    }
    std::vector<float> pixels;
    int width = 0;
    int height = 0;
    std::string error;
    if (!resources::decodeExr(bytes.data(), bytes.size(), pixels, width, height, error)) {
        throw ImageIoError("cannot read " + path.string() + ": " + error);
    }
    RgbaImage image(width, height);
    const std::size_t rowFloats = static_cast<std::size_t>(width) * 4;
    for (int row = 0; row < height; ++row) {
        std::memcpy(image.pixel(0, height - 1 - row), pixels.data() + rowFloats * row,
                    rowFloats * sizeof(float));
    }
    return image;
}

void ExrFile::write(const RgbaImage& image, const std::filesystem::path& path) {
    const int width = image.width();
    const int height = image.height();
    // EXR readers expect the channels in name order: A, B, G, R (RGBA indices 3, 2, 1, 0).
    const char* names[4] = {"A", "B", "G", "R"};
    const int sourceChannel[4] = {3, 2, 1, 0};
    std::vector<std::vector<float>> planes(4, std::vector<float>(std::size_t(width) * height));
    for (int row = 0; row < height; ++row) {
        for (int x = 0; x < width; ++x) {
            const float* p = image.pixel(x, height - 1 - row);
            for (int c = 0; c < 4; ++c) {
                planes[c][std::size_t(row) * width + x] = p[sourceChannel[c]];
            }
        }
    }
    float* planePointers[4] = {planes[0].data(), planes[1].data(), planes[2].data(),
                               planes[3].data()};

    EXRImage exrImage;
    InitEXRImage(&exrImage);
    exrImage.num_channels = 4;
    exrImage.width = width;
    exrImage.height = height;
    exrImage.images = reinterpret_cast<unsigned char**>(planePointers);

    EXRHeader header;
    InitEXRHeader(&header);
    std::vector<EXRChannelInfo> channels(4);
    std::vector<int> pixelTypes(4, TINYEXR_PIXELTYPE_FLOAT);
    std::vector<int> storedTypes(4, TINYEXR_PIXELTYPE_FLOAT);
    for (int c = 0; c < 4; ++c) {
        std::memset(&channels[c], 0, sizeof(EXRChannelInfo));
        std::strncpy(channels[c].name, names[c], sizeof channels[c].name - 1);
    }
    header.num_channels = 4;
    header.channels = channels.data();
    header.pixel_types = pixelTypes.data();
    header.requested_pixel_types = storedTypes.data();
    header.compression_type = TINYEXR_COMPRESSIONTYPE_ZIP;

    const char* message = nullptr;
    unsigned char* encoded = nullptr;
    const std::size_t size = SaveEXRImageToMemory(&exrImage, &header, &encoded, &message);
    std::unique_ptr<unsigned char, decltype(&std::free)> owned(encoded, &std::free);
    if (size == 0 || encoded == nullptr) {
        throw ImageIoError("cannot write " + path.string() + ": " +
                           takeMessage(message, "EXR encoding failed"));
    }
    ImageIo::writeFile(path, encoded, size);
}

} // namespace ofxhost
