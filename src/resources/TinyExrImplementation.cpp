// The one translation unit that compiles tinyexr's implementation (from its header). ZIP data
// goes through zlib, which the plug-in links statically; miniz is not used.
#define TINYEXR_USE_MINIZ 0
#define TINYEXR_IMPLEMENTATION
#include <tinyexr.h>

#include "resources/ExrDecode.h"

#include <string>
#include <vector>

namespace resources {

// tinyexr's lower-level calls, so that every allocation is freed on every path: its one-call
// loaders leak what they half read from a damaged file.
bool decodeExr(const unsigned char* data, std::size_t size, std::vector<float>& rgba, int& width,
               int& height, std::string& error) {
    EXRVersion version;
    const int parsed = ParseEXRVersionFromMemory(&version, data, size);
    if (parsed != TINYEXR_SUCCESS) {
        error = "Failed to parse EXR version. code(" + std::to_string(parsed) + ")";
        return false;
    }
    EXRHeader header;
    InitEXRHeader(&header);
    EXRImage image;
    InitEXRImage(&image);
    const char* message = nullptr;
    bool loaded = false;
    bool ok = ParseEXRHeaderFromMemory(&header, &version, data, size, &message) == TINYEXR_SUCCESS;
    if (ok) {
        for (int c = 0; c < header.num_channels; ++c) {
            header.requested_pixel_types[c] = TINYEXR_PIXELTYPE_FLOAT;
        }
        // Set before decoding: a decode that fails frees the image's channels by this count,
        // which it would otherwise have left at 0, leaking them.
        image.num_channels = header.num_channels;
        loaded = (header.num_channels == 1 || header.num_channels >= 3) &&
                 LoadEXRImageFromMemory(&image, &header, data, size, &message) == TINYEXR_SUCCESS;
        ok = loaded;
    }
    int index[4] = {-1, -1, -1, -1}; // R, G, B, A
    for (int c = 0; ok && c < header.num_channels; ++c) {
        const std::string name = header.channels[c].name;
        const int at = name == "R" ? 0 : name == "G" ? 1 : name == "B" ? 2 : name == "A" ? 3 : -1;
        if (at >= 0) {
            index[at] = c;
        }
    }
    if (ok && header.num_channels == 1) {
        index[0] = index[1] = index[2] = index[3] = 0;
    }
    if (ok && (index[0] < 0 || index[1] < 0 || index[2] < 0)) {
        error = "no R, G and B channels";
        ok = false;
    } else if (!ok) {
        error = message != nullptr ? message : "not a readable EXR image";
    }
    if (ok) {
        width = image.width;
        height = image.height;
        const std::size_t count =
            static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
        rgba.assign(4 * count, 1.0f);
        // Scanline images are one tile the size of the image.
        const int tiles = header.tiled ? image.num_tiles : 1;
        for (int t = 0; t < tiles; ++t) {
            const EXRTile* tile = header.tiled ? &image.tiles[t] : nullptr;
            const int tileWidth = tile ? header.tile_size_x : width;
            const int tileHeight = tile ? header.tile_size_y : height;
            const int x0 = tile ? tile->offset_x * header.tile_size_x : 0;
            const int y0 = tile ? tile->offset_y * header.tile_size_y : 0;
            const auto* const* planes =
                reinterpret_cast<const float* const*>(tile ? tile->images : image.images);
            for (int y = 0; y < tileHeight && y0 + y < height; ++y) {
                for (int x = 0; x < tileWidth && x0 + x < width; ++x) {
                    const std::size_t to =
                        4 * (static_cast<std::size_t>(y0 + y) * static_cast<std::size_t>(width) +
                             static_cast<std::size_t>(x0 + x));
                    const std::size_t from = static_cast<std::size_t>(y) * tileWidth + x;
                    for (int c = 0; c < 4; ++c) {
                        if (index[c] >= 0) {
                            rgba[to + static_cast<std::size_t>(c)] = planes[index[c]][from];
                        }
                    }
                }
            }
        }
    }
    if (message != nullptr) {
        FreeEXRErrorMessage(message);
    }
    // A load that failed has freed its image already, leaving the pointers behind.
    if (loaded) {
        FreeEXRImage(&image);
    }
    FreeEXRHeader(&header);
    return ok;
}

} // namespace resources
