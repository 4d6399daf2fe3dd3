#pragma once

#include "gpu/ResourceDesc.h"

#include <cstdint>
#include <string>

namespace resources {

// A bundled texture uploaded for one effect instance.
struct LoadedResource {
    gpu::TextureObject textureObject = 0;
    gpu::ArrayHandle array = 0;
    std::int32_t width = 0;  // decoded
    std::int32_t height = 0; // decoded
    // The embedded table row's count (3 for every shipped image), not the decoded RGBA's 4.
    std::int32_t channels = 0;
    std::string name;             // the definition's texture name
    std::int32_t samplerMode = 0; // 0 linear, 1 nearest
    std::int32_t wrapMode = 0;    // 0 clamp, 1 repeat, 2 mirror
};

} // namespace resources
