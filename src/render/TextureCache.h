#pragma once

#include "gpu/Runtime.h"

#include <map>
#include <mutex>
#include <string>

namespace render {

// One input's texture: a copy in an array, or a zero-copy pitch-2D view over device memory.
struct TextureRecord {
    gpu::ArrayHandle array = 0; // 0 for a zero-copy view
    gpu::TextureObject textureObject = 0;
    const void* dataPointer = nullptr;
    int width = 0;
    int height = 0;
    std::string platform;
    bool linear = false; // zero-copy pitch-2D view over the caller's memory
};

// The instance's input textures, cached by input name across frames, and the three 1 x 1
// stand-ins for unconnected inputs. Every operation holds the texture mutex.
class TextureCache {
public:
    explicit TextureCache(gpu::Runtime& runtime) : runtime_(runtime) {}
    ~TextureCache() { cleanupTextures(); }
    TextureCache(const TextureCache&) = delete;
    TextureCache& operator=(const TextureCache&) = delete;

    // Makes or remakes the texture of an input from float RGBA rows `pitch` bytes apart.
    bool createTexture(const std::string& name, int width, int height, const void* data, int pitch);
    // Refreshes an existing texture from new pixels of the same size.
    bool updateTextureData(const std::string& name, const void* data, int pitch);
    void cleanupTextures();

    // Black, white and transparent stand-ins, made once; the size is only logged.
    bool createDefaultTextures(int width, int height);
    // 1 black, 2 white, 3 transparent; 0 for anything else or before they exist.
    gpu::TextureObject getDefaultTexture(int mode) const;

    bool find(const std::string& name, TextureRecord& record) const;

private:
    bool createArrayTexture(const std::string& name, TextureRecord& record, const void* data,
                            int pitch, bool device);

    gpu::Runtime& runtime_;
    mutable std::mutex mutex_;
    std::map<std::string, TextureRecord> cache_;
    TextureRecord defaults_[3];
    bool defaultsCreated_ = false;
};

} // namespace render
