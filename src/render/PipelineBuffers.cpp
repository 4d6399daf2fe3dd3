#include "render/PipelineBuffers.h"

#include "log/Logger.h"

#include <stdexcept>
#include <utility>

namespace render {
namespace {

double megabytes(double bytes) {
    return bytes / 1048576.0;
}

void freeBuffer(gpu::Runtime& runtime, LinearBuffer& buffer) {
    if (buffer.texture != 0) {
        runtime.destroyTextureObject(buffer.texture);
    }
    if (buffer.data != nullptr) {
        runtime.free(buffer.data);
    }
    buffer = LinearBuffer{};
}

gpu::Error pitchTexture(gpu::Runtime& runtime, LinearBuffer& buffer, int width, int height) {
    return runtime.createTextureObject(
        &buffer.texture, gpu::ResourceDesc::fromPitch2D(buffer.data, width, height, buffer.pitch),
        gpu::TextureDesc::standard());
}

// A frame's linear buffer; rows padded to the device's pitch alignment so a texture can view
// them.
gpu::Error allocateFrame(gpu::Runtime& runtime, LinearBuffer& buffer, int width, int height) {
    buffer.pitch = gpu::texturePitch(std::size_t(width), runtime.texturePitchAlignment());
    const gpu::Error error = runtime.malloc(&buffer.data, buffer.pitch * std::size_t(height));
    if (error != gpu::Error::Success) {
        buffer.data = nullptr;
    }
    return error;
}

} // namespace

void ProcessBuffers::release() {
    freeBuffer(runtime_, effectOutput_);
    for (LinearBuffer& buffer : processOutputs_) {
        freeBuffer(runtime_, buffer);
    }
    processOutputs_.clear();
    width_ = height_ = processes_ = 0;
    use_ = ProcessBufferUse{};
}

void ProcessBuffers::prepare(int width, int height, int processes, const ProcessBufferUse& use) {
    const double frameBytes = double(width) * double(height) * 16.0;
    if (width_ == 0 || processOutputs_.empty()) {
        HALDEN_LOG_DEBUG("Phase 3a.2: First allocation of multi-pipeline buffers (CUDA)");
    } else if (width != width_ || height != height_ || processes != processes_ || !(use == use_)) {
        HALDEN_LOG_DEBUG("Phase 3a.2: Dimensions/pipeline count changed (%dx%d→%dx%d, %d→%d "
                         "pipelines) - reallocating (CUDA)",
                         width_, height_, width, height, processes_, processes);
    } else {
        HALDEN_LOG_DEBUG("Phase 3a.2: Reusing cached multi-pipeline buffers (CUDA, %d pipelines, "
                         "%.2f MB)",
                         processes, megabytes(frameBytes * (processes + 1)));
        return;
    }

    release();
    HALDEN_LOG_DEBUG("Phase 3a.2: Allocating CUDA linear buffers for %d pipelines (%.2f MB "
                     "total) - Metal parity",
                     processes, megabytes((processes + 1) * frameBytes));
    std::vector<LinearBuffer> made;
    made.reserve(std::size_t(processes));
    gpu::Error error = use.effectOutput ? allocateFrame(runtime_, effectOutput_, width, height)
                                        : gpu::Error::Success;
    if (error != gpu::Error::Success) {
        HALDEN_LOG_ERROR("Phase 3a.2: Failed to allocate effectOutput CUDA buffer: %s",
                         runtime_.getErrorString(error));
        throw std::runtime_error("Failed to allocate effectOutput CUDA buffer");
    }
    if (use.effectOutput) {
        HALDEN_LOG_DEBUG("Phase 3a.2: Allocated effectOutput linear buffer (%.2f MB)",
                         megabytes(frameBytes));
    } else {
        HALDEN_LOG_DEBUG("Phase 3a.2: effectOutput is never read: not allocated");
    }
    for (int i = 0; i < processes; ++i) {
        LinearBuffer buffer;
        if (!use.uses(std::size_t(i))) {
            HALDEN_LOG_DEBUG("Phase 3a.2: pipelineOutput[%d] is never read: not allocated", i);
            made.push_back(buffer);
            continue;
        }
        error = allocateFrame(runtime_, buffer, width, height);
        if (error != gpu::Error::Success) {
            HALDEN_LOG_ERROR("Phase 3a.2: Failed to allocate pipelineOutput[%d] CUDA buffer: %s", i,
                             runtime_.getErrorString(error));
            for (LinearBuffer& done : made) {
                freeBuffer(runtime_, done);
            }
            freeBuffer(runtime_, effectOutput_);
            throw std::runtime_error("Failed to allocate pipeline CUDA buffer");
        }
        HALDEN_LOG_DEBUG("Phase 3a.2: Allocated pipelineOutput[%d] linear buffer (%.2f MB)", i,
                         megabytes(frameBytes));
        made.push_back(buffer);
    }

    // Without its texture a buffer is of no use to the kernels, and a frame rendered without
    // one would read the wrong image: the render fails and the next one allocates anew.
    const auto giveUp = [&] {
        for (LinearBuffer& done : made) {
            freeBuffer(runtime_, done);
        }
        release();
        throw std::runtime_error("Failed to create pipeline texture");
    };
    error = effectOutput_.data != nullptr ? pitchTexture(runtime_, effectOutput_, width, height)
                                          : gpu::Error::Success;
    if (error != gpu::Error::Success) {
        HALDEN_LOG_ERROR("Failed to create cached effectOutput pitch2D texture: %s",
                         runtime_.getErrorString(error));
        effectOutput_.texture = 0;
        giveUp();
    }
    for (std::size_t i = 0; i < made.size(); ++i) {
        if (made[i].data == nullptr) {
            continue;
        }
        error = pitchTexture(runtime_, made[i], width, height);
        if (error != gpu::Error::Success) {
            HALDEN_LOG_ERROR("Failed to create cached pipelineOutput_%zu pitch2D texture: %s", i,
                             runtime_.getErrorString(error));
            made[i].texture = 0;
            giveUp();
        }
    }
    processOutputs_ = std::move(made);
    HALDEN_LOG_DEBUG(
        "Phase 3a.2: Created %d cached pitch2D texture objects (Metal parity, reused across "
        "frames)",
        static_cast<int>(processOutputs_.size() + 1));
    width_ = width;
    height_ = height;
    processes_ = processes;
    use_ = use;
    HALDEN_LOG_DEBUG("Phase 3a.2: All CUDA arrays allocated successfully (%d pipeline arrays + 1 "
                     "effectOutput)",
                     processes);
}

void AccumulationBuffers::release() {
    for (LinearBuffer& buffer : buffers_) {
        freeBuffer(runtime_, buffer);
    }
    buffers_.clear();
    names_.clear();
    width_ = height_ = 0;
}

bool AccumulationBuffers::prepare(int width, int height, const std::vector<std::string>& names) {
    if (buffers_.empty()) {
        HALDEN_LOG_INFO("Accumulation buffers: First allocation (%zu buffers)", names.size());
    } else if (width != width_ || height != height_) {
        HALDEN_LOG_INFO("Accumulation buffers: Resolution changed (%dx%d → %dx%d) - reallocating",
                        width_, height_, width, height);
    } else {
        return true;
    }
    release();
    const std::size_t bytes = std::size_t(width) * std::size_t(height) * gpu::kTexelBytes;
    for (const std::string& name : names) {
        LinearBuffer buffer;
        gpu::Error error = allocateFrame(runtime_, buffer, width, height);
        if (error == gpu::Error::Success) {
            error = runtime_.memset(buffer.data, 0, buffer.pitch * std::size_t(height));
        }
        if (error != gpu::Error::Success) {
            HALDEN_LOG_ERROR("Failed to allocate accumulation buffer '%s': %s", name.c_str(),
                             runtime_.getErrorString(error));
            freeBuffer(runtime_, buffer);
            release();
            HALDEN_LOG_ERROR("Accumulation buffer allocation failed - temporal effects will not "
                             "work");
            return false;
        }
        error = pitchTexture(runtime_, buffer, width, height);
        if (error != gpu::Error::Success) {
            HALDEN_LOG_ERROR("Failed to create texture for accumulation buffer '%s': %s",
                             name.c_str(), runtime_.getErrorString(error));
            buffer.texture = 0;
            freeBuffer(runtime_, buffer);
            release();
            HALDEN_LOG_ERROR("Accumulation buffer allocation failed - temporal effects will not "
                             "work");
            return false;
        }
        buffers_.push_back(buffer);
        names_.push_back(name);
        HALDEN_LOG_INFO("Accumulation buffer '%s' allocated: %dx%d (%.2f MB)", name.c_str(), width,
                        height, megabytes(double(bytes)));
    }
    width_ = width;
    height_ = height;
    accumValid = false;
    lastRenderedTime = -1.0f;
    HALDEN_LOG_INFO("Accumulation buffers ready: %zu buffer(s), %.2f MB total", buffers_.size(),
                    megabytes(double(bytes) * double(buffers_.size())));
    return true;
}

} // namespace render
