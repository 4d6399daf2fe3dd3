#include "render/RenderBufferManager.h"

#include "log/Logger.h"
#include "render/MemoryKind.h"

#include <atomic>
#include <ctime>

namespace render {
namespace {

// Process-wide counters reported once a second.
struct Metrics {
    std::atomic<int> inits{0};
    std::atomic<int> failures{0};
    std::atomic<int> bufferChanges{0};
    std::atomic<const void*> lastBuffer{nullptr};
    std::atomic<std::int64_t> lastSecond{0};
};

Metrics& metrics() {
    static Metrics m;
    return m;
}

} // namespace

bool RenderBufferManager::initialize(int width, int height, gpu::StreamHandle /*stream*/,
                                     const void* outputBuffer, int totalPasses) {
    if (initialized_ && width == width_ && height == height_) {
        if (totalPasses == totalPasses_) {
            HALDEN_LOG_DEBUG("RenderBufferManager: Reusing existing buffers (%dx%d)", width,
                             height);
        } else {
            HALDEN_LOG_DEBUG(
                "RenderBufferManager: Pass count changed (%d→%d) but reusing buffers (same size)",
                totalPasses_, totalPasses);
            totalPasses_ = totalPasses;
            finalInA_ = totalPasses % 2 == 1;
        }
        return true;
    }
    cleanup();

    Metrics& m = metrics();
    ++m.inits;
    if (m.lastBuffer.exchange(outputBuffer) != outputBuffer) {
        ++m.bufferChanges;
    }
    const std::int64_t second = static_cast<std::int64_t>(std::time(nullptr));
    if (m.lastSecond.exchange(second) != second) {
        HALDEN_LOG_DEBUG(
            "📊 RenderBufferManager CUDA metrics (last second): %d inits, %d failures, %d "
            "dstImgBuffer changes",
            m.inits.exchange(0), m.failures.exchange(0), m.bufferChanges.exchange(0));
    }

    width_ = width;
    height_ = height;
    frameBytes_ = std::uint64_t(width) * std::uint64_t(height) * 16u;
    finalInA_ = totalPasses % 2 == 1;
    HALDEN_LOG_INFO("RenderBufferManager: Allocating CUDA ping-pong buffers (%dx%d, %.2f MB each)",
                    width, height, double(frameBytes_) / 1048576.0);

    const gpu::TextureDesc desc = gpu::TextureDesc::standard();
    const char* failure = nullptr;
    gpu::Error error = runtime_.mallocArray(&arrayA_, width, height, gpu::kArraySurfaceLoadStore);
    if (error != gpu::Error::Success) {
        failure = "Failed to allocate CUDA array A";
        arrayA_ = 0;
    }
    if (!failure) {
        error = runtime_.mallocArray(&arrayB_, width, height, gpu::kArraySurfaceLoadStore);
        if (error != gpu::Error::Success) {
            failure = "Failed to allocate CUDA array B";
            arrayB_ = 0;
        }
    }
    if (!failure) {
        error =
            runtime_.createTextureObject(&textureA_, gpu::ResourceDesc::fromArray(arrayA_), desc);
        if (error != gpu::Error::Success) {
            failure = "Failed to create texture object A";
            textureA_ = 0;
        }
    }
    if (!failure) {
        error =
            runtime_.createTextureObject(&textureB_, gpu::ResourceDesc::fromArray(arrayB_), desc);
        if (error != gpu::Error::Success) {
            failure = "Failed to create texture object B";
            textureB_ = 0;
        }
    }
    if (!failure) {
        error = runtime_.createSurfaceObject(&surfaceA_, arrayA_);
        if (error != gpu::Error::Success) {
            failure = "Failed to create surface object A";
            surfaceA_ = 0;
        }
    }
    if (!failure) {
        error = runtime_.createSurfaceObject(&surfaceB_, arrayB_);
        if (error != gpu::Error::Success) {
            failure = "Failed to create surface object B";
            surfaceB_ = 0;
        }
    }
    if (failure) {
        HALDEN_LOG_ERROR("%s: %s", failure, runtime_.getErrorString(error));
        initialized_ = true; // let cleanup release the partial set
        cleanup();
        HALDEN_LOG_ERROR("Failed to initialize CUDA buffers");
        ++m.failures;
        return false;
    }
    HALDEN_LOG_INFO(
        "RenderBufferManager CUDA: Initialized %dx%d ping-pong buffers (totalPasses=%d)", width,
        height, totalPasses);
    totalPasses_ = totalPasses;
    initialized_ = true;
    HALDEN_LOG_INFO("RenderBufferManager: CUDA buffers initialized successfully");
    return true;
}

gpu::TextureObject RenderBufferManager::getInputTexture(int pass) const {
    if (!initialized_) {
        HALDEN_LOG_ERROR("RenderBufferManager not initialized");
        return 0;
    }
    if (pass == 0) {
        return 0;
    }
    return pass % 2 == 1 ? textureA_ : textureB_;
}

gpu::SurfaceObject RenderBufferManager::getOutputSurface(int pass) const {
    if (!initialized_) {
        HALDEN_LOG_ERROR("RenderBufferManager not initialized");
        return 0;
    }
    return pass % 2 == 0 ? surfaceA_ : surfaceB_;
}

bool RenderBufferManager::copyFinalToOutput(gpu::StreamHandle stream, int totalPasses,
                                            void* outputBuffer, int width, int height,
                                            int outputPitch) {
    if (!initialized_) {
        HALDEN_LOG_ERROR("RenderBufferManager not initialized for final copy");
        return false;
    }
    const bool fromA = totalPasses % 2 == 1;
    HALDEN_LOG_DEBUG("Copying final result from cudaArray%s to output buffer (pitch=%d bytes)",
                     fromA ? "A" : "B", outputPitch);
    const gpu::MemcpyKind kind = outputCopyKind(runtime_, outputBuffer, true);
    gpu::Error error = copyArrayToImage(runtime_, outputBuffer, outputPitch,
                                        fromA ? arrayA_ : arrayB_, width, height, kind, stream);
    if (error != gpu::Error::Success) {
        HALDEN_LOG_ERROR("cudaMemcpy2DFromArray failed: %s (copyKind=%d)",
                         runtime_.getErrorString(error), static_cast<int>(kind));
        return false;
    }
    error = runtime_.streamSynchronize(stream);
    if (error != gpu::Error::Success) {
        HALDEN_LOG_ERROR("cudaStreamSynchronize after array→buffer copy failed: %s",
                         runtime_.getErrorString(error));
        return false;
    }
    return true;
}

void RenderBufferManager::cleanup() {
    if (!initialized_) {
        return;
    }
    if (textureA_) {
        runtime_.destroyTextureObject(textureA_);
    }
    if (textureB_) {
        runtime_.destroyTextureObject(textureB_);
    }
    if (surfaceA_) {
        runtime_.destroySurfaceObject(surfaceA_);
    }
    if (surfaceB_) {
        runtime_.destroySurfaceObject(surfaceB_);
    }
    if (arrayA_) {
        runtime_.freeArray(arrayA_);
    }
    if (arrayB_) {
        runtime_.freeArray(arrayB_);
    }
    HALDEN_LOG_DEBUG("RenderBufferManager CUDA: Cleaned up");
    textureA_ = textureB_ = 0;
    surfaceA_ = surfaceB_ = 0;
    arrayA_ = arrayB_ = 0;
    initialized_ = false;
    HALDEN_LOG_DEBUG("RenderBufferManager: CUDA buffers cleaned up");
}

} // namespace render
