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
    // An array copy of device memory whose zero-copy view the runtime refused (a row pitch it
    // cannot sample, such as odd widths): asking again each frame would only fail again.
    bool viewRefused = false;
};

// The instance's input textures, cached by input name across frames, and the three 1 x 1
// stand-ins for unconnected inputs. Every operation holds the texture mutex.
class TextureCache {
public:
    explicit TextureCache(gpu::Runtime& runtime) : runtime_(runtime) {}
    ~TextureCache() { cleanupTextures(); }
    TextureCache(const TextureCache&) = delete;
    TextureCache& operator=(const TextureCache&) = delete;

    // Makes or remakes the texture of an input from float RGBA rows `pitch` (> 0) bytes apart.
    // An array of the same size is refilled rather than made again. A failure leaves no
    // record, so the next frame starts clean. Copies go on the render's stream, after whatever
    // the host queued there to produce the input.
    bool createTexture(const std::string& name, int width, int height, const void* data, int pitch,
                       gpu::StreamHandle stream = 0);
    // Refreshes an existing texture from new pixels of the same size; a failure drops the
    // record.
    bool updateTextureData(const std::string& name, const void* data, int pitch,
                           gpu::StreamHandle stream = 0);
    void cleanupTextures();

    // Black, white and transparent stand-ins, made once; the size is only logged.
    bool createDefaultTextures(int width, int height);
    // 1 black, 2 white, 3 transparent; 0 for anything else or before they exist.
    gpu::TextureObject getDefaultTexture(int mode) const;

    bool find(const std::string& name, TextureRecord& record) const;

private:
    bool createArrayTexture(const std::string& name, TextureRecord& record, const void* data,
                            int pitch, bool device, gpu::StreamHandle stream);
    bool fillArray(const TextureRecord& record, const void* data, int pitch, bool device,
                   gpu::StreamHandle stream);
    // Destroys the record's texture and, unless it is a view, its array; false when the
    // runtime refused either.
    bool release(const TextureRecord& record);

    gpu::Runtime& runtime_;
    mutable std::mutex mutex_;
    std::map<std::string, TextureRecord> cache_;
    TextureRecord defaults_[3];
    bool defaultsCreated_ = false;
};

} // namespace render
