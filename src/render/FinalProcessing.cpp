#include "render/FinalProcessing.h"

#include "kernels/KernelPasses.h"
#include "log/Logger.h"
#include "render/MemoryKind.h"

namespace render {

gpu::Error SurfaceArray::release() {
    gpu::Error error = gpu::Error::Success;
    if (surface != 0) {
        error = runtime->destroySurfaceObject(surface);
        surface = 0;
    }
    if (array != 0) {
        const gpu::Error freed = runtime->freeArray(array);
        error = error == gpu::Error::Success ? freed : error;
        array = 0;
    }
    width = height = 0;
    return error;
}

namespace {

enum class Which { Output, Source };

// Fills target from buffer, making its array and surface first when it has none of this size.
bool upload(gpu::Runtime& runtime, SurfaceArray& target, Which which, gpu::StreamHandle stream,
            const void* buffer, int width, int height, int pitch) {
    const bool output = which == Which::Output;
    if (target.array != 0 && (target.width != width || target.height != height)) {
        target.release();
    }
    target.runtime = &runtime;
    const bool made = target.array != 0;
    gpu::Error error =
        made ? gpu::Error::Success
             : runtime.mallocArray(&target.array, width, height, gpu::kArraySurfaceLoadStore);
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
    target.width = width;
    target.height = height;
    error = made ? gpu::Error::Success : runtime.createSurfaceObject(&target.surface, target.array);
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

FinalBlend::~FinalBlend() {
    release();
}

gpu::Error FinalBlend::release() {
    const gpu::Error error = source_.array != 0 ? source_.release() : gpu::Error::Success;
    const gpu::Error released = output_.array != 0 ? output_.release() : gpu::Error::Success;
    return error == gpu::Error::Success ? released : error;
}

bool FinalBlend::apply(gpu::Runtime& runtime, gpu::StreamHandle stream,
                       const kernels::SystemParameters& record, const void* sourceBuffer,
                       void* outputBuffer, int width, int height, int sourcePitch,
                       int outputPitch) {
    // A failed step leaves nothing behind: the next frame starts afresh.
    if (!blend(runtime, stream, record, sourceBuffer, outputBuffer, width, height, sourcePitch,
               outputPitch)) {
        release();
        return false;
    }
    return true;
}

bool FinalBlend::blend(gpu::Runtime& runtime, gpu::StreamHandle stream,
                       const kernels::SystemParameters& record, const void* sourceBuffer,
                       void* outputBuffer, int width, int height, int sourcePitch,
                       int outputPitch) {
    SurfaceArray& output = output_;
    if (!upload(runtime, output, Which::Output, stream, outputBuffer, width, height, outputPitch)) {
        return false;
    }
    // Nothing to mix at full blend: the source is not even copied.
    SurfaceArray& source = source_;
    const bool mixed = sourceBuffer != nullptr && record.globalBlend < 1.0f;
    if (mixed &&
        !upload(runtime, source, Which::Source, stream, sourceBuffer, width, height, sourcePitch)) {
        return false;
    }

    runtime.getLastError();
    kernels::launchFinalProcessing(reinterpret_cast<void*>(stream), output.surface,
                                   mixed ? source.surface : 0, record);
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
    HALDEN_LOG_DEBUG("Final processing completed successfully");
    return true;
}

} // namespace render
