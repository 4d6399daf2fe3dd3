#pragma once

#include "gpu/Runtime.h"

#include <cstdint>

namespace render {

// The two float RGBA arrays the passes of a frame ping-pong between, with a texture and a
// surface over each: pass 0 writes A, pass 1 reads A and writes B, pass 2 reads B and writes
// A, and so on. One manager per host output buffer, reused while the size stays the same.
class RenderBufferManager {
public:
    explicit RenderBufferManager(gpu::Runtime& runtime) : runtime_(runtime) {}
    ~RenderBufferManager() { cleanup(); }
    RenderBufferManager(const RenderBufferManager&) = delete;
    RenderBufferManager& operator=(const RenderBufferManager&) = delete;

    bool initialize(int width, int height, gpu::StreamHandle stream, const void* outputBuffer,
                    int totalPasses);
    // 0 for pass 0; texture A for odd passes, B for even passes from 2 on.
    gpu::TextureObject getInputTexture(int pass) const;
    // Surface A for even passes, B for odd ones.
    gpu::SurfaceObject getOutputSurface(int pass) const;
    // Copies the array the last pass wrote into the output buffer (rows outputPitch bytes
    // apart going up: it may exceed width * 16, or be negative for rows stored top first).
    bool copyFinalToOutput(gpu::StreamHandle stream, int totalPasses, void* outputBuffer, int width,
                           int height, int outputPitch);
    void cleanup();

    bool initialized() const { return initialized_; }
    int width() const { return width_; }
    int height() const { return height_; }
    int totalPasses() const { return totalPasses_; }
    bool finalInA() const { return finalInA_; }

private:
    gpu::Runtime& runtime_;
    int width_ = 0;
    int height_ = 0;
    int totalPasses_ = 0;
    std::uint64_t frameBytes_ = 0;
    bool initialized_ = false;
    gpu::TextureObject textureA_ = 0;
    gpu::TextureObject textureB_ = 0;
    gpu::SurfaceObject surfaceA_ = 0;
    gpu::SurfaceObject surfaceB_ = 0;
    gpu::ArrayHandle arrayA_ = 0;
    gpu::ArrayHandle arrayB_ = 0;
    bool finalInA_ = false;
};

} // namespace render
