#include "render/FinalProcessing.h"

#include "kernels/KernelPasses.h"
#include "log/Logger.h"
#include "render/MemoryKind.h"

namespace render {
namespace {

// An array with a surface over it, released on every path.
struct SurfaceArray {
    explicit SurfaceArray(gpu::Runtime& r) : runtime(r) {}
    ~SurfaceArray() { release(); }
    // The first error of the two releases; both are tried.
    gpu::Error release() {
        gpu::Error error = gpu::Error::Success;
        if (surface != 0) {
            error = runtime.destroySurfaceObject(surface);
            surface = 0;
        }
        if (array != 0) {
            const gpu::Error freed = runtime.freeArray(array);
            error = error == gpu::Error::Success ? freed : error;
            array = 0;
        }
        return error;
    }
    SurfaceArray(const SurfaceArray&) = delete;
    SurfaceArray& operator=(const SurfaceArray&) = delete;

    gpu::Runtime& runtime;
    gpu::ArrayHandle array = 0;
    gpu::SurfaceObject surface = 0;
};

enum class Which { Output, Source };

bool upload(SurfaceArray& target, Which which, gpu::StreamHandle stream, const void* buffer,
            int width, int height, int pitch) {
    gpu::Runtime& runtime = target.runtime;
    const bool output = which == Which::Output;
    gpu::Error error =
        runtime.mallocArray(&target.array, width, height, gpu::kArraySurfaceLoadStore);
    if (error != gpu::Error::Success) {
        target.array = 0;
        if (output) {
            HALDEN_LOG_ERROR("Failed to allocate output array for final processing: %s",
                             runtime.getErrorString(error));
        } else {
            HALDEN_LOG_ERROR("Failed to allocate source array for final processing: %s",
                             runtime.getErrorString(error));
        }
        return false;
    }
    const gpu::MemcpyKind kind = outputCopyKind(runtime, buffer, false);
    error = copyImageToArray(runtime, target.array, buffer, pitch, width, height, kind, stream);
    if (error != gpu::Error::Success) {
        if (output) {
            HALDEN_LOG_ERROR("Failed to copy output buffer to array: %s (copyKind=%d)",
                             runtime.getErrorString(error), static_cast<int>(kind));
        } else {
            HALDEN_LOG_ERROR("Failed to copy source buffer to array: %s (copyKind=%d)",
                             runtime.getErrorString(error), static_cast<int>(kind));
        }
        return false;
    }
    error = runtime.createSurfaceObject(&target.surface, target.array);
    if (error != gpu::Error::Success) {
        target.surface = 0;
        if (output) {
            HALDEN_LOG_ERROR("Failed to create output surface: %s", runtime.getErrorString(error));
        } else {
            HALDEN_LOG_ERROR("Failed to create source surface: %s", runtime.getErrorString(error));
        }
        return false;
    }
    return true;
}

} // namespace

bool applyFinalProcessing(gpu::Runtime& runtime, gpu::StreamHandle stream,
                          const kernels::SystemParameters& record, const void* sourceBuffer,
                          void* outputBuffer, int width, int height, int sourcePitch,
                          int outputPitch) {
    SurfaceArray output(runtime);
    if (!upload(output, Which::Output, stream, outputBuffer, width, height, outputPitch)) {
        return false;
    }
    // Nothing to mix at full blend: the source is not even copied.
    SurfaceArray source(runtime);
    if (sourceBuffer != nullptr && record.globalBlend < 1.0f &&
        !upload(source, Which::Source, stream, sourceBuffer, width, height, sourcePitch)) {
        return false;
    }

    runtime.getLastError();
    kernels::launchFinalProcessing(reinterpret_cast<void*>(stream), output.surface, source.surface,
                                   record);
    gpu::Error error = runtime.getLastError();
    if (error != gpu::Error::Success) {
        HALDEN_LOG_ERROR("Failed to launch final processing kernel: %s",
                         runtime.getErrorString(error));
        return false;
    }
    error = runtime.streamSynchronize(stream);
    if (error != gpu::Error::Success) {
        HALDEN_LOG_ERROR("Final processing kernel failed: %s", runtime.getErrorString(error));
        return false;
    }
    const gpu::MemcpyKind kind = outputCopyKind(runtime, outputBuffer, true);
    error = copyArrayToImage(runtime, outputBuffer, outputPitch, output.array, width, height, kind,
                             stream);
    if (error == gpu::Error::Success) {
        error = runtime.streamSynchronize(stream);
    }
    if (error != gpu::Error::Success) {
        HALDEN_LOG_ERROR("Failed to copy result back to output buffer: %s (copyKind=%d)",
                         runtime.getErrorString(error), static_cast<int>(kind));
        return false;
    }
    error = source.release();
    const gpu::Error released = output.release();
    error = error == gpu::Error::Success ? released : error;
    if (error != gpu::Error::Success) {
        HALDEN_LOG_ERROR("Failed to release final processing arrays: %s",
                         runtime.getErrorString(error));
        return false;
    }
    HALDEN_LOG_DEBUG("Final processing completed successfully");
    return true;
}

} // namespace render
