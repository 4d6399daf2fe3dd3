#pragma once

#include "definition/XMLEffectDefinition.h"
#include "kernels/KernelParameters.h"
#include "presets/PresetValue.h"
#include "render/KernelBlockPacking.h"

#include "ofx/support/ImageProcessor.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace OFX {
class Image;
}

namespace render {

class RenderBufferManager;

// Runs one process's kernel list over one frame: every execution of every kernel is one pass
// through the buffer manager's ping-pong arrays, with freshly packed parameter records, and
// the last pass is copied into the output buffer. Lives for one run.
class GenericProcessor : public OFX::ImageProcessor {
public:
    GenericProcessor(OFX::ImageEffect& effect, const XMLEffectDefinition& definition);

    void setImages(const std::map<std::string, OFX::Image*>& images);
    void setParameters(const PresetValues& values);
    void setTextureObjects(const std::map<std::string, std::uint64_t>& textures);
    void setConnectionStatus(const std::map<std::string, bool>& status);
    void setOutputBuffer(void* buffer, int rowBytes) {
        outputBuffer_ = buffer;
        outputRowBytes_ = rowBytes;
    }
    void setBufferManager(RenderBufferManager* manager) { bufferManager_ = manager; }
    void setKernels(const std::vector<KernelDef>& kernels) { kernels_ = kernels; }
    void setExecutionIndices(const ExecutionIndices& indices) { indices_ = indices; }
    void setRenderArguments(const RenderArguments& arguments) { arguments_ = arguments; }
    void setFrameState(const FrameState& frame) { frame_ = frame; }
    void setBundledResources(const kernels::BundledResources& bundled) { bundled_ = bundled; }
    void setDefaultTextures(DefaultTextureSource source) { defaultTextures_ = std::move(source); }
    void setVectorReader(VectorParameterReader reader) { readVector_ = std::move(reader); }
    void enableCudaRender(void* stream);
    // The stream the passes and their copies go on (the host's, or the plug-in's own).
    void setStream(void* stream) { _pCudaStream = stream; }
    // A device step of the run failed: buffer set-up, a pass's launch or execution, or the
    // final copy. The output buffer then does not hold this run's result.
    bool failed() const { return failed_; }

    void processImagesOpenCL() override;
    void processImagesCUDA() override;
    void processImagesMetal() override {}
    // CPU fallback: copies the first required input unchanged.
    void multiThreadProcessImages(const OfxRectI& window) override;

private:
    void executeKernelPass(const char* kernelFile, const kernels::SystemParameters& system,
                           const kernels::PipelineParameters& pipeline,
                           const kernels::SourceConnections& sources,
                           const kernels::AnimatedParameters& animated, std::uint64_t inputTexture,
                           std::uint64_t outputSurface);

    const XMLEffectDefinition& definition_;
    std::map<std::string, OFX::Image*> images_;
    PresetValues values_;
    std::map<std::string, std::uint64_t> textures_;
    std::map<std::string, bool> connectionStatus_;
    void* outputBuffer_ = nullptr;
    int outputRowBytes_ = 0;
    RenderBufferManager* bufferManager_ = nullptr;
    std::vector<KernelDef> kernels_;
    ExecutionIndices indices_;
    RenderArguments arguments_;
    FrameState frame_;
    kernels::BundledResources bundled_{};
    DefaultTextureSource defaultTextures_;
    VectorParameterReader readVector_;
    bool failed_ = false;
};

// The pass function of a kernel file: its name cut at ".cu" and ".metal" and matched against
// the known kernels; nullptr when none matches.
using KernelPassEntry = void (*)(void*, const kernels::SystemParameters*,
                                 const kernels::PipelineParameters*,
                                 const kernels::SourceConnections*,
                                 const kernels::AnimatedParameters*,
                                 const kernels::BundledResources*, const char*, std::uint64_t,
                                 std::uint64_t);
KernelPassEntry findKernelPassFunction(const std::string& kernelFile);

} // namespace render
