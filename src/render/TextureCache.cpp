#include "render/TextureCache.h"

#include "log/Logger.h"
#include "render/MemoryKind.h"

namespace render {
namespace {

const char* kindName(bool device) {
    return device ? "device" : "host";
}

const char* copyKindName(bool device) {
    return device ? "DeviceToDevice" : "HostToDevice";
}

} // namespace

bool TextureCache::fillArray(const TextureRecord& record, const void* data, int pitch, bool device,
                             gpu::StreamHandle stream) {
    const gpu::Error error = runtime_.memcpy2DToArrayAsync(
        record.array, 0, 0, data, std::size_t(pitch), std::size_t(record.width) * gpu::kTexelBytes,
        std::size_t(record.height),
        device ? gpu::MemcpyKind::DeviceToDevice : gpu::MemcpyKind::HostToDevice, stream);
    if (error != gpu::Error::Success) {
        HALDEN_LOG_ERROR("cudaMemcpy2DToArray failed (%s): %s", copyKindName(device),
                         runtime_.getErrorString(error));
        return false;
    }
    return true;
}

bool TextureCache::release(const TextureRecord& record) {
    bool released = true;
    if (record.textureObject != 0) {
        const gpu::Error error = runtime_.destroyTextureObject(record.textureObject);
        if (error != gpu::Error::Success) {
            HALDEN_LOG_ERROR("cudaDestroyTextureObject failed: %s", runtime_.getErrorString(error));
            released = false;
        }
    }
    if (!record.linear && record.array != 0) {
        const gpu::Error error = runtime_.freeArray(record.array);
        if (error != gpu::Error::Success) {
            HALDEN_LOG_ERROR("cudaFreeArray failed: %s", runtime_.getErrorString(error));
            released = false;
        }
    }
    return released;
}

bool TextureCache::createArrayTexture(const std::string& name, TextureRecord& record,
                                      const void* data, int pitch, bool device,
                                      gpu::StreamHandle stream) {
    HALDEN_LOG_DEBUG("Creating cudaArray texture for '%s' (%s memory)", name.c_str(),
                     kindName(device));
    gpu::Error error = runtime_.mallocArray(&record.array, record.width, record.height, 0);
    if (error != gpu::Error::Success) {
        HALDEN_LOG_ERROR("cudaMallocArray failed: %s", runtime_.getErrorString(error));
        record.array = 0;
        return false;
    }
    if (!fillArray(record, data, pitch, device, stream)) {
        runtime_.freeArray(record.array);
        record.array = 0;
        return false;
    }
    HALDEN_LOG_DEBUG("✅ cudaArray texture created (copied %d bytes using %s)",
                     record.width * record.height * 16, copyKindName(device));
    error = runtime_.createTextureObject(&record.textureObject,
                                         gpu::ResourceDesc::fromArray(record.array),
                                         gpu::TextureDesc::standard());
    if (error != gpu::Error::Success) {
        HALDEN_LOG_ERROR("cudaCreateTextureObject failed: %s", runtime_.getErrorString(error));
        runtime_.freeArray(record.array);
        record.array = 0;
        record.textureObject = 0;
        return false;
    }
    record.linear = false;
    return true;
}

bool TextureCache::createTexture(const std::string& name, int width, int height, const void* data,
                                 int pitch, gpu::StreamHandle stream) {
    std::lock_guard<std::mutex> lock(mutex_);
    HALDEN_LOG_DEBUG("createTexture: %s (%dx%d, pitch=%d bytes)", name.c_str(), width, height,
                     pitch);
    // Hosts often hand a new buffer every frame: an array of the same size is refilled.
    TextureRecord reusable;
    const auto existing = cache_.find(name);
    if (existing != cache_.end()) {
        const TextureRecord old = existing->second;
        cache_.erase(existing);
        if (old.platform == "cuda" && !old.linear && old.array != 0 && old.width == width &&
            old.height == height) {
            reusable = old;
        } else if (old.platform == "cuda" && !release(old)) {
            return false;
        }
    }
    if (pitch <= 0) {
        HALDEN_LOG_ERROR("Rows of '%s' must go up in memory for a texture (pitch=%d)", name.c_str(),
                         pitch);
        release(reusable);
        return false;
    }

    int type = 0;
    const bool device = inputIsDeviceMemory(runtime_, data, &type);
    HALDEN_LOG_DEBUG(
        "Memory detection for '%s': type=%d (0=unregistered, 1=host, 2=device, 3=managed)",
        name.c_str(), type);

    TextureRecord record;
    record.dataPointer = data;
    record.width = width;
    record.height = height;
    record.platform = "cuda";
    bool made = false;
    if (device) {
        HALDEN_LOG_DEBUG("Creating ZERO-COPY pitch2D texture for '%s' (device memory, pitch=%d)",
                         name.c_str(), pitch);
        const gpu::Error error = runtime_.createTextureObject(
            &record.textureObject,
            gpu::ResourceDesc::fromPitch2D(const_cast<void*>(data), width, height,
                                           std::size_t(pitch)),
            gpu::TextureDesc::standard());
        if (error != gpu::Error::Success) {
            HALDEN_LOG_DEBUG("Zero-copy pitch2D failed (%s), falling back to cudaArray copy",
                             runtime_.getErrorString(error));
            runtime_.getLastError();
            record.textureObject = 0;
            record.viewRefused = true;
        } else if (record.textureObject != 0) {
            record.linear = true;
            made = true;
        } else {
            record.viewRefused = true;
        }
    }
    if (made && !release(reusable)) {
        release(record);
        return false;
    }
    if (!made && reusable.array != 0) {
        HALDEN_LOG_DEBUG("Refilling the cudaArray texture of '%s' (%s memory, same size)",
                         name.c_str(), kindName(device));
        record.array = reusable.array;
        record.textureObject = reusable.textureObject;
        if (!fillArray(record, data, pitch, device, stream)) {
            release(record);
            return false;
        }
    } else if (!made && !createArrayTexture(name, record, data, pitch, device, stream)) {
        return false;
    }
    cache_[name] = record;
    HALDEN_LOG_DEBUG("Texture cached for '%s' (linear=%d)", name.c_str(), record.linear ? 1 : 0);
    return true;
}

bool TextureCache::updateTextureData(const std::string& name, const void* data, int pitch,
                                     gpu::StreamHandle stream) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = cache_.find(name);
    if (found == cache_.end()) {
        HALDEN_LOG_ERROR("No cached texture found for %s", name.c_str());
        return false;
    }
    HALDEN_LOG_DEBUG("updateTextureData: %s (pitch=%d bytes)", name.c_str(), pitch);
    TextureRecord& record = found->second;
    if (record.platform == "metal") {
        return false;
    }
    if (record.platform != "cuda") {
        HALDEN_LOG_ERROR("Platform %s not implemented yet", record.platform.c_str());
        return false;
    }
    // A record that could not be refreshed is dropped whole: the next frame makes it anew.
    const auto drop = [&] {
        const TextureRecord stale = record;
        cache_.erase(found);
        release(stale);
        return false;
    };
    if (pitch <= 0) {
        HALDEN_LOG_ERROR("Rows of '%s' must go up in memory for a texture (pitch=%d)", name.c_str(),
                         pitch);
        return drop();
    }
    if (!record.linear) {
        const bool device = inputIsDeviceMemory(runtime_, data);
        HALDEN_LOG_DEBUG("Updating cudaArray texture for '%s' (copying from %s)", name.c_str(),
                         kindName(device));
        if (!fillArray(record, data, pitch, device, stream)) {
            return drop();
        }
        HALDEN_LOG_DEBUG("✅ cudaArray texture updated (copied %d bytes using %s)",
                         record.width * record.height * 16, copyKindName(device));
        return true;
    }
    HALDEN_LOG_DEBUG("Updating zero-copy pitch2D texture for '%s' (recreating view)", name.c_str());
    const gpu::TextureObject old = record.textureObject;
    record.textureObject = 0;
    if (old != 0 && runtime_.destroyTextureObject(old) != gpu::Error::Success) {
        return drop();
    }
    gpu::TextureObject view = 0;
    const gpu::Error error = runtime_.createTextureObject(
        &view,
        gpu::ResourceDesc::fromPitch2D(const_cast<void*>(data), record.width, record.height,
                                       std::size_t(pitch)),
        gpu::TextureDesc::standard());
    if (error != gpu::Error::Success) {
        HALDEN_LOG_ERROR("cudaCreateTextureObject (pitch2D update) failed: %s",
                         runtime_.getErrorString(error));
        return drop();
    }
    record.textureObject = view;
    HALDEN_LOG_DEBUG("✅ Zero-copy pitch2D texture view updated (no copy performed!)");
    return true;
}

void TextureCache::cleanupTextures() {
    std::lock_guard<std::mutex> lock(mutex_);
    HALDEN_LOG_DEBUG("cleanupTextures: %d cached", static_cast<int>(cache_.size()));
    for (auto& [name, record] : cache_) {
        if (record.textureObject != 0) {
            const gpu::Error error = runtime_.destroyTextureObject(record.textureObject);
            if (error != gpu::Error::Success) {
                HALDEN_LOG_ERROR("cudaDestroyTextureObject failed: %s",
                                 runtime_.getErrorString(error));
            }
        }
        if (record.array != 0) {
            const gpu::Error error = runtime_.freeArray(record.array);
            if (error != gpu::Error::Success) {
                HALDEN_LOG_ERROR("cudaFreeArray failed: %s", runtime_.getErrorString(error));
            }
            HALDEN_LOG_DEBUG("Freed cudaArray for '%s'", name.c_str());
        } else {
            HALDEN_LOG_DEBUG("No cudaArray to free for '%s' (zero-copy linear texture)",
                             name.c_str());
        }
    }
    cache_.clear();
    for (TextureRecord& record : defaults_) {
        if (record.platform != "cuda") {
            continue;
        }
        if (record.textureObject != 0) {
            runtime_.destroyTextureObject(record.textureObject);
        }
        if (record.array != 0) {
            runtime_.freeArray(record.array);
        }
        record = TextureRecord{};
    }
    defaultsCreated_ = false;
}

bool TextureCache::createDefaultTextures(int width, int height) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (defaultsCreated_) {
        return true;
    }
    HALDEN_LOG_DEBUG("Creating default textures (%dx%d)", width, height);
    struct StandIn {
        const char* name;
        float pixel[4];
    };
    const StandIn standIns[3] = {
        {"black", {0, 0, 0, 1}}, {"white", {1, 1, 1, 1}}, {"transparent", {0, 0, 0, 0}}};
    for (int i = 0; i < 3; ++i) {
        TextureRecord& record = defaults_[i];
        if (record.textureObject != 0) {
            continue; // made by an earlier, partly failed attempt
        }
        gpu::ArrayHandle array = 0;
        gpu::Error error = runtime_.mallocArray(&array, 1, 1, 0);
        if (error != gpu::Error::Success) {
            HALDEN_LOG_ERROR("Failed to allocate %s texture array: %s", standIns[i].name,
                             runtime_.getErrorString(error));
            return false;
        }
        error = runtime_.memcpy2DToArray(array, 0, 0, standIns[i].pixel, gpu::kTexelBytes,
                                         gpu::kTexelBytes, 1, gpu::MemcpyKind::HostToDevice);
        if (error != gpu::Error::Success) {
            HALDEN_LOG_ERROR("Failed to copy %s texture data: %s", standIns[i].name,
                             runtime_.getErrorString(error));
            runtime_.freeArray(array);
            return false;
        }
        gpu::TextureObject texture = 0;
        error = runtime_.createTextureObject(&texture, gpu::ResourceDesc::fromArray(array),
                                             gpu::TextureDesc::standard());
        if (error != gpu::Error::Success) {
            HALDEN_LOG_ERROR("Failed to create %s texture object: %s", standIns[i].name,
                             runtime_.getErrorString(error));
            runtime_.freeArray(array);
            return false;
        }
        record.array = array;
        record.textureObject = texture;
        record.width = 1;
        record.height = 1;
        record.platform = "cuda";
        record.linear = false;
    }
    defaultsCreated_ = true;
    HALDEN_LOG_DEBUG("Created default textures (black, white, transparent)");
    return true;
}

gpu::TextureObject TextureCache::getDefaultTexture(int mode) const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!defaultsCreated_) {
        HALDEN_LOG_ERROR("Default textures not created yet");
        return 0;
    }
    return mode >= 1 && mode <= 3 ? defaults_[mode - 1].textureObject : 0;
}

bool TextureCache::find(const std::string& name, TextureRecord& record) const {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = cache_.find(name);
    if (found == cache_.end()) {
        return false;
    }
    record = found->second;
    return true;
}

} // namespace render
