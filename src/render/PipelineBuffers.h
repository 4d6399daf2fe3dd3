#pragma once

#include "gpu/Runtime.h"

#include <string>
#include <vector>

namespace render {

// Linear float RGBA frames with a pitch-2D texture over each; rows are pitch bytes apart,
// width x 16 rounded up to what textures accept.
struct LinearBuffer {
    void* data = nullptr;
    gpu::TextureObject texture = 0;
    std::size_t pitch = 0;
};

// Which of the frames a render reads back: the effect output (fed back between executions of
// the whole effect) and each process's output (read by the next process, or by the process
// itself when it runs again). Empty processOutputs: every one.
struct ProcessBufferUse {
    bool effectOutput = true;
    std::vector<bool> processOutputs;

    bool uses(std::size_t process) const {
        return process >= processOutputs.size() || processOutputs[process];
    }
    bool operator==(const ProcessBufferUse& other) const {
        return effectOutput == other.effectOutput && processOutputs == other.processOutputs;
    }
};

// The effect-output buffer and one buffer per process, carrying results between processes and
// effect executions. Kept across frames while the size, process count and use stay the same.
// A frame nothing reads is not allocated: its slot stays, with no data and texture 0, so the
// kernels' sources keep their indices.
class ProcessBuffers {
public:
    explicit ProcessBuffers(gpu::Runtime& runtime) : runtime_(runtime) {}
    ~ProcessBuffers() { release(); }
    ProcessBuffers(const ProcessBuffers&) = delete;
    ProcessBuffers& operator=(const ProcessBuffers&) = delete;

    // Throws std::runtime_error when a buffer or its texture cannot be made; nothing is left
    // allocated.
    void prepare(int width, int height, int processes, const ProcessBufferUse& use = {});
    void release();

    const LinearBuffer& effectOutput() const { return effectOutput_; }
    // One per process, in process order.
    const std::vector<LinearBuffer>& processOutputs() const { return processOutputs_; }
    std::size_t count() const { return processOutputs_.size(); }

private:
    gpu::Runtime& runtime_;
    LinearBuffer effectOutput_;
    std::vector<LinearBuffer> processOutputs_;
    int width_ = 0;
    int height_ = 0;
    int processes_ = 0;
    ProcessBufferUse use_;
};

// Zero-filled frames that keep a finished render for the next one, one per declared name.
class AccumulationBuffers {
public:
    explicit AccumulationBuffers(gpu::Runtime& runtime) : runtime_(runtime) {}
    ~AccumulationBuffers() { release(); }
    AccumulationBuffers(const AccumulationBuffers&) = delete;
    AccumulationBuffers& operator=(const AccumulationBuffers&) = delete;

    // (Re)allocates for this size; false when that failed, with everything released.
    bool prepare(int width, int height, const std::vector<std::string>& names);
    void release();

    const std::vector<std::string>& names() const { return names_; }
    const std::vector<LinearBuffer>& buffers() const { return buffers_; }
    bool accumValid = false;
    float lastRenderedTime = -1.0f;

private:
    gpu::Runtime& runtime_;
    std::vector<LinearBuffer> buffers_;
    std::vector<std::string> names_;
    int width_ = 0;
    int height_ = 0;
};

} // namespace render
