#pragma once

#include <string>
#include <vector>

// How one silhouette file is stored.
struct SilhouetteFormat {
    bool half = true; // HALF channels, else FLOAT
    bool zip = false; // ZIP (16 scan lines per block), else RLE
};

// Writes a grey picture (rows top first) as a single-part scan-line OpenEXR file with the
// channels B, G and R all holding the picture. Returns false with a message on failure.
bool writeSilhouetteExr(const std::string& path, const std::vector<float>& grey, int width,
                        int height, const SilhouetteFormat& format, std::string* error);
