#pragma once

#include "definition/DefinitionRecords.h"
#include "definition/EmbeddedDefinition.h"
#include "definition/XMLEffectDefinition.h"
#include "gpu/EmulatedTexture.h"
#include "gpu/HostRuntime.h"
#include "resources/LoadedResource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace resourcetest {

// The textures the shipped effect definition declares.
inline std::vector<ResourceDef> shippedDefinitions() {
    XMLEffectDefinition definition;
    EXPECT_TRUE(definition.parseEmbedded(embeddedEffectDefinition()));
    return definition.resources();
}

inline ResourceDef texture(const std::string& name, const std::string& file,
                           const std::string& sampler = "linear",
                           const std::string& wrap = "mirror") {
    ResourceDef def;
    def.name = name;
    def.file = file;
    def.sampler = sampler;
    def.wrap = wrap;
    return def;
}

// Every texel of a loaded texture, rows as the file stores them (top first).
inline std::vector<gpu::Texel> readTexels(gpu::HostRuntime& runtime,
                                          const resources::LoadedResource& record) {
    const std::size_t rowBytes = static_cast<std::size_t>(record.width) * gpu::kTexelBytes;
    std::vector<gpu::Texel> texels(static_cast<std::size_t>(record.width) * record.height);
    EXPECT_EQ(runtime.memcpy2DFromArrayAsync(texels.data(), rowBytes, record.array, 0, 0, rowBytes,
                                             record.height, gpu::MemcpyKind::DeviceToHost, 0),
              gpu::Error::Success);
    return texels;
}

inline std::vector<std::string> namesOf(const std::vector<resources::LoadedResource>& records) {
    std::vector<std::string> names;
    for (const resources::LoadedResource& record : records) {
        names.push_back(record.name);
    }
    return names;
}

} // namespace resourcetest
