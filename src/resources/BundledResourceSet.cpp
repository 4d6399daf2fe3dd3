#include "resources/BundledResourceSet.h"

#include "log/Logger.h"

#include "resources/ExrDecode.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace resources {

namespace {

// Everything from the last dot on is the extension; a name without a dot is used whole.
std::string lookupKey(const std::string& file) {
    return file.substr(0, file.rfind('.'));
}

int samplerModeOf(const std::string& sampler) {
    return sampler == "nearest" ? 1 : 0;
}

int wrapModeOf(const std::string& wrap) {
    if (wrap == "repeat") {
        return 1;
    }
    return wrap == "mirror" ? 2 : 0;
}

gpu::AddressMode addressModeOf(int wrapMode) {
    switch (wrapMode) {
    case 1:
        return gpu::AddressMode::Wrap;
    case 2:
        return gpu::AddressMode::Mirror;
    default:
        return gpu::AddressMode::Clamp;
    }
}

} // namespace

BundledResourceSet::BundledResourceSet()
    : BundledResourceSet(EMBEDDED_RESOURCES, EMBEDDED_RESOURCE_COUNT) {}

BundledResourceSet::BundledResourceSet(const EmbeddedResource* table, std::size_t tableSize)
    : table_(table), tableSize_(tableSize) {}

BundledResourceSet::~BundledResourceSet() {
    release();
}

bool BundledResourceSet::loaded() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return loaded_;
}

bool BundledResourceSet::loadBundledResources(const std::vector<ResourceDef>& definitions,
                                              gpu::Runtime& runtime) {
    std::lock_guard<std::mutex> lock(mutex_);
    HALDEN_LOG_DEBUG("[loadBundledResources] ENTRY");
    if (loaded_) {
        HALDEN_LOG_DEBUG("[loadBundledResources] Already loaded, returning true");
        return true;
    }
    HALDEN_LOG_DEBUG("[loadBundledResources] Getting resource definitions from XML");
    HALDEN_LOG_DEBUG("[loadBundledResources] Got %zu resource definitions", definitions.size());
    if (definitions.empty()) {
        HALDEN_LOG_DEBUG("No bundled resources to load");
        loaded_ = true;
        return true;
    }

    HALDEN_LOG_INFO("Loading %zu bundled resources...", definitions.size());
    runtime_ = &runtime;
    // Appending a record must not throw once its texture exists.
    records_.reserve(definitions.size());
    for (const ResourceDef& definition : definitions) {
        load(definition, runtime);
    }
    loaded_ = true;
    HALDEN_LOG_INFO("Loaded %zu/%zu bundled resources successfully", records_.size(),
                    definitions.size());
    return true;
}

void BundledResourceSet::load(const ResourceDef& definition, gpu::Runtime& runtime) {
    const char* name = definition.name.c_str();
    HALDEN_LOG_DEBUG("[loadBundledResources] Processing resource: name='%s', file='%s'", name,
                     definition.file.c_str());
    const std::string key = lookupKey(definition.file);
    HALDEN_LOG_DEBUG("[loadBundledResources] Lookup key='%s'", key.c_str());
    HALDEN_LOG_DEBUG("[loadBundledResources] Calling findEmbeddedResource");
    const EmbeddedResource* row = findEmbeddedResource(key, table_, tableSize_);
    HALDEN_LOG_DEBUG("[loadBundledResources] findEmbeddedResource returned %p",
                     static_cast<const void*>(row));
    if (!row) {
        HALDEN_LOG_ERROR("Bundled resource '%s' (file: %s, lookup: %s) not found in embedded data",
                         name, definition.file.c_str(), key.c_str());
        return;
    }
    const auto size = static_cast<std::size_t>(row->size);
    HALDEN_LOG_INFO("Loading resource '%s': %dx%d, %d channels, %zu bytes", name, row->width,
                    row->height, row->channels, size);

    HALDEN_LOG_DEBUG("[loadBundledResources] About to call LoadEXRFromMemory (size=%zu)", size);
    std::vector<float> pixels;
    int width = 0;
    int height = 0;
    std::string decodeError;
    const bool decoded = decodeExr(row->data, size, pixels, width, height, decodeError);
    HALDEN_LOG_DEBUG("[loadBundledResources] LoadEXRFromMemory returned %d, pixels=%p",
                     decoded ? 0 : -1, decoded ? static_cast<void*>(pixels.data()) : nullptr);
    if (!decoded) {
        HALDEN_LOG_ERROR("Failed to decode EXR '%s': %s", name,
                         decodeError.empty() ? "unknown error" : decodeError.c_str());
        return;
    }
    HALDEN_LOG_DEBUG("Decoded EXR '%s': %dx%d (expected %dx%d from metadata)", name, width, height,
                     row->width, row->height);

    LoadedResource record;
    record.name = definition.name;
    record.width = width;
    record.height = height;
    record.channels = row->channels;
    record.samplerMode = samplerModeOf(definition.sampler);
    record.wrapMode = wrapModeOf(definition.wrap);

    // Arrays always hold four 32-bit float components per texel.
    HALDEN_LOG_DEBUG("[loadBundledResources] Creating CUDA texture %dx%d", width, height);
    HALDEN_LOG_DEBUG("[loadBundledResources] Calling cudaMallocArray");
    gpu::Error error = runtime.mallocArray(&record.array, static_cast<std::size_t>(width),
                                           static_cast<std::size_t>(height), 0);
    HALDEN_LOG_DEBUG("[loadBundledResources] cudaMallocArray returned %d", static_cast<int>(error));
    if (error != gpu::Error::Success) {
        HALDEN_LOG_ERROR("Failed to allocate CUDA array for '%s': %s", name,
                         runtime.getErrorString(error));
        return;
    }

    const std::size_t rowBytes = static_cast<std::size_t>(width) * gpu::kTexelBytes;
    HALDEN_LOG_DEBUG("[loadBundledResources] Calling cudaMemcpy2DToArray");
    error =
        runtime.memcpy2DToArray(record.array, 0, 0, pixels.data(), rowBytes, rowBytes,
                                static_cast<std::size_t>(height), gpu::MemcpyKind::HostToDevice);
    HALDEN_LOG_DEBUG("[loadBundledResources] cudaMemcpy2DToArray returned %d",
                     static_cast<int>(error));
    if (error != gpu::Error::Success) {
        HALDEN_LOG_ERROR("Failed to copy data to CUDA array for '%s': %s", name,
                         runtime.getErrorString(error));
        runtime.freeArray(record.array);
        return;
    }

    gpu::TextureDesc desc;
    desc.addressMode[0] = addressModeOf(record.wrapMode);
    desc.addressMode[1] = addressModeOf(record.wrapMode);
    desc.filterMode = record.samplerMode == 1 ? gpu::FilterMode::Point : gpu::FilterMode::Linear;
    desc.readMode = gpu::ReadMode::ElementType;
    desc.normalizedCoords = true;
    HALDEN_LOG_DEBUG("[loadBundledResources] Calling cudaCreateTextureObject");
    error = runtime.createTextureObject(&record.textureObject,
                                        gpu::ResourceDesc::fromArray(record.array), desc);
    HALDEN_LOG_DEBUG("[loadBundledResources] cudaCreateTextureObject returned %d, texObj=%llu",
                     static_cast<int>(error),
                     static_cast<unsigned long long>(record.textureObject));
    if (error != gpu::Error::Success) {
        HALDEN_LOG_ERROR("Failed to create CUDA texture object for '%s': %s", name,
                         runtime.getErrorString(error));
        runtime.freeArray(record.array);
        return;
    }

    HALDEN_LOG_INFO("Created CUDA texture for resource '%s'", name);
    pixels.clear();
    pixels.shrink_to_fit();
    records_.push_back(std::move(record));
}

void BundledResourceSet::fill(kernels::BundledResources& block) const {
    std::lock_guard<std::mutex> lock(mutex_);
    block.resourceCount = 0;
    const std::size_t used =
        std::min(records_.size(), static_cast<std::size_t>(kernels::MAX_BUNDLED_RESOURCES));
    for (std::size_t i = 0; i < used; ++i) {
        const LoadedResource& record = records_[i];
        kernels::BundledResource& entry = block.resources[i];
        entry.textureObject = record.textureObject;
        entry.name = record.name.c_str();
        entry.width = record.width;
        entry.height = record.height;
        entry.channels = record.channels;
        entry.samplerMode = record.samplerMode;
        entry.wrapMode = record.wrapMode;
        HALDEN_LOG_DEBUG("Populating bundled resource '%s': samplerMode=%d, wrapMode=%d",
                         entry.name, entry.samplerMode, entry.wrapMode);
        ++block.resourceCount;
    }
    if (records_.size() > used) {
        HALDEN_LOG_ERROR("WARNING: %zu bundled resources exceed MAX_BUNDLED_RESOURCES (%d), "
                         "truncated",
                         records_.size(), kernels::MAX_BUNDLED_RESOURCES);
    }
}

void BundledResourceSet::release() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!records_.empty()) {
        HALDEN_LOG_DEBUG("Freeing %zu bundled resources", records_.size());
        for (const LoadedResource& record : records_) {
            if (record.textureObject != 0) {
                runtime_->destroyTextureObject(record.textureObject);
            }
            if (record.array != 0) {
                runtime_->freeArray(record.array);
            }
        }
    }
    records_.clear();
    runtime_ = nullptr;
    loaded_ = false;
}

} // namespace resources
