#include "resources/EmbeddedResource.h"

// Generated at build time from resources/textures by halden_embed_exr.
#include "kBranchesDenseExr.h"
#include "kBranchesThinExr.h"
#include "kGrassDenseExr.h"
#include "kGrassSparse1Exr.h"
#include "kGrassSparse2Exr.h"

namespace resources {

// Only constants: the table is complete before any code of the library runs.
const EmbeddedResource EMBEDDED_RESOURCES[EMBEDDED_RESOURCE_COUNT] = {
    {"branches_dense", kBranchesDenseExr, kBranchesDenseExrSize, kBranchesDenseExrWidth,
     kBranchesDenseExrHeight, kBranchesDenseExrChannels},
    {"branches_thin", kBranchesThinExr, kBranchesThinExrSize, kBranchesThinExrWidth,
     kBranchesThinExrHeight, kBranchesThinExrChannels},
    {"grass_dense", kGrassDenseExr, kGrassDenseExrSize, kGrassDenseExrWidth, kGrassDenseExrHeight,
     kGrassDenseExrChannels},
    {"grass_sparse_1", kGrassSparse1Exr, kGrassSparse1ExrSize, kGrassSparse1ExrWidth,
     kGrassSparse1ExrHeight, kGrassSparse1ExrChannels},
    {"grass_sparse_2", kGrassSparse2Exr, kGrassSparse2ExrSize, kGrassSparse2ExrWidth,
     kGrassSparse2ExrHeight, kGrassSparse2ExrChannels},
};

const EmbeddedResource* findEmbeddedResource(const std::string& key) {
    return findEmbeddedResource(key, EMBEDDED_RESOURCES, EMBEDDED_RESOURCE_COUNT);
}

const EmbeddedResource* findEmbeddedResource(const std::string& key, const EmbeddedResource* rows,
                                             std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (key == rows[i].name) {
            return &rows[i];
        }
    }
    return nullptr;
}

} // namespace resources
