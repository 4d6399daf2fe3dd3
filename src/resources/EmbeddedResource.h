#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace resources {

// One file compiled into the library: a complete OpenEXR file and what its header says.
struct EmbeddedResource {
    const char* name; // lookup key: the file name without its extension
    const unsigned char* data;
    std::uint64_t size; // bytes
    std::int32_t width;
    std::int32_t height;
    std::int32_t channels;
};

constexpr std::size_t EMBEDDED_RESOURCE_COUNT = 5;

// The foreground silhouettes, in the order of the effect's occlusion choice: branches_dense,
// branches_thin, grass_dense, grass_sparse_1, grass_sparse_2.
extern const EmbeddedResource EMBEDDED_RESOURCES[EMBEDDED_RESOURCE_COUNT];

// The first row of EMBEDDED_RESOURCES whose name equals key byte for byte; null when none does.
const EmbeddedResource* findEmbeddedResource(const std::string& key);
// The same search in another table.
const EmbeddedResource* findEmbeddedResource(const std::string& key, const EmbeddedResource* rows,
                                             std::size_t count);

} // namespace resources
