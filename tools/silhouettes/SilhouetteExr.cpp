#include "SilhouetteExr.h"

#include <tinyexr.h>

bool writeSilhouetteExr(const std::string& path, const std::vector<float>& grey, int width,
                        int height, const SilhouetteFormat& format, std::string* error) {
    // Channels are stored in name order; all three carry the same grey.
    EXRChannelInfo channels[3] = {};
    const char* names[3] = {"B", "G", "R"};
    int inputTypes[3];
    int storedTypes[3];
    float* planes[3];
    for (int c = 0; c < 3; ++c) {
        channels[c].name[0] = names[c][0];
        inputTypes[c] = TINYEXR_PIXELTYPE_FLOAT;
        storedTypes[c] = format.half ? TINYEXR_PIXELTYPE_HALF : TINYEXR_PIXELTYPE_FLOAT;
        // tinyexr reads the planes only; the cast follows its C interface.
        planes[c] = const_cast<float*>(grey.data());
    }

    EXRImage image;
    InitEXRImage(&image);
    image.images = reinterpret_cast<unsigned char**>(planes);
    image.width = width;
    image.height = height;
    image.num_channels = 3;

    EXRHeader header;
    InitEXRHeader(&header);
    header.num_channels = 3;
    header.channels = channels;
    header.pixel_types = inputTypes;
    header.requested_pixel_types = storedTypes;
    header.compression_type =
        format.zip ? TINYEXR_COMPRESSIONTYPE_ZIP : TINYEXR_COMPRESSIONTYPE_RLE;

    const char* message = nullptr;
    if (SaveEXRImageToFile(&image, &header, path.c_str(), &message) != TINYEXR_SUCCESS) {
        *error = message ? message : "unknown error";
        FreeEXRErrorMessage(message);
        return false;
    }
    return true;
}
