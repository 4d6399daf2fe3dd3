#pragma once

#include "definition/DefinitionRecords.h"
#include "gpu/Runtime.h"
#include "kernels/KernelParameters.h"
#include "resources/EmbeddedResource.h"
#include "resources/LoadedResource.h"

#include <cstddef>
#include <mutex>
#include <vector>

namespace resources {

// The bundled textures of one effect instance: found in the embedded table, decoded and
// uploaded at the instance's first render, handed to every kernel launch, and released with
// the instance. Each instance owns its own arrays and texture objects.
class BundledResourceSet {
public:
    // Textures are looked up in EMBEDDED_RESOURCES, or in the table given.
    BundledResourceSet();
    BundledResourceSet(const EmbeddedResource* table, std::size_t tableSize);
    // Releases whatever is still loaded.
    ~BundledResourceSet();
    BundledResourceSet(const BundledResourceSet&) = delete;
    BundledResourceSet& operator=(const BundledResourceSet&) = delete;

    // Uploads the declared textures once; later calls do nothing until release(). Returns
    // true in every case: a texture that is missing or fails to decode or upload is logged at
    // ERROR, left out (later records move up one place) and not tried again. The runtime is
    // kept for release(). Concurrent calls are serialised, so the first render of an instance
    // may run on several threads at once.
    bool loadBundledResources(const std::vector<ResourceDef>& definitions, gpu::Runtime& runtime);

    // Writes the records, at most MAX_BUNDLED_RESOURCES, and their count into the kernels'
    // block. The name pointers stay valid until release().
    void fill(kernels::BundledResources& block) const;

    // Destroys every texture object and array and clears the loaded flag.
    void release();

    bool loaded() const;
    // Read them only after loading has returned, never during a concurrent load.
    const std::vector<LoadedResource>& records() const { return records_; }

private:
    // Decodes and uploads one texture, appending its record on success.
    void load(const ResourceDef& definition, gpu::Runtime& runtime);

    const EmbeddedResource* table_;
    std::size_t tableSize_;
    mutable std::mutex mutex_;
    gpu::Runtime* runtime_ = nullptr;
    std::vector<LoadedResource> records_;
    bool loaded_ = false;
};

} // namespace resources
