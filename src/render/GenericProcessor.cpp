#include "render/GenericProcessor.h"

#include "gpu/Runtime.h"
#include "kernels/KernelPasses.h"
#include "log/Logger.h"
#include "render/MemoryKind.h"
#include "render/RenderBufferManager.h"

#include "ofx/support/ImageEffect.h"

#include <chrono>
#include <cstring>

namespace render {
namespace {

struct KernelPassFunction {
    const char* name;
    KernelPassEntry entry;
};

const KernelPassFunction KERNEL_PASS_FUNCTIONS[] = {
    {"halden_v01", &call_halden_v01_kernel_Pass},
    {"post_blur", &call_post_blur_kernel_Pass},
};

using Clock = std::chrono::steady_clock;

long long microsecondsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
}

} // namespace

KernelPassEntry findKernelPassFunction(const std::string& kernelFile) {
    std::string base = kernelFile;
    const std::string::size_type cu = base.find(".cu");
    if (cu != std::string::npos) {
        base.erase(cu);
    }
    const std::string::size_type metal = base.find(".metal");
    if (metal != std::string::npos) {
        base.erase(metal);
    }
    for (const KernelPassFunction& function : KERNEL_PASS_FUNCTIONS) {
        if (base == function.name) {
            return function.entry;
        }
    }
    return nullptr;
}

GenericProcessor::GenericProcessor(OFX::ImageEffect& effect, const XMLEffectDefinition& definition)
    : OFX::ImageProcessor(effect), definition_(definition) {
    HALDEN_LOG_DEBUG("GenericProcessor created for effect: %s", definition.name().c_str());
}

void GenericProcessor::setImages(const std::map<std::string, OFX::Image*>& images) {
    images_ = images;
    const auto output = images_.find("output");
    if (output != images_.end()) {
        setDstImg(output->second);
    }
    HALDEN_LOG_DEBUG("GenericProcessor: Set %d images", static_cast<int>(images_.size()));
}

void GenericProcessor::setParameters(const PresetValues& values) {
    values_ = values;
    HALDEN_LOG_DEBUG("GenericProcessor: Set %d parameters", static_cast<int>(values_.size()));
}

void GenericProcessor::setTextureObjects(const std::map<std::string, std::uint64_t>& textures) {
    textures_ = textures;
    HALDEN_LOG_DEBUG("GenericProcessor: Set %d texture objects",
                     static_cast<int>(textures_.size()));
}

void GenericProcessor::setConnectionStatus(const std::map<std::string, bool>& status) {
    connectionStatus_ = status;
    HALDEN_LOG_DEBUG("GenericProcessor: Set connection status for %d inputs",
                     static_cast<int>(connectionStatus_.size()));
}

void GenericProcessor::enableCudaRender(void* stream) {
    _isEnabledCudaRender = true;
    _pCudaStream = stream;
}

void GenericProcessor::processImagesOpenCL() {
    HALDEN_LOG_ERROR("OpenCL no longer supported - use CUDA or Metal");
}

void GenericProcessor::multiThreadProcessImages(const OfxRectI& window) {
    HALDEN_LOG_ERROR("🔴 GenericProcessor: CPU fallback called! (GPU unavailable)");
    OFX::Image* source = nullptr;
    for (const InputDef& input : definition_.inputs()) {
        const auto found = images_.find(input.name);
        if (!input.optional && found != images_.end() && found->second != nullptr) {
            source = found->second;
            break;
        }
    }
    if (source == nullptr || _dstImg == nullptr) {
        HALDEN_LOG_ERROR("Missing source or destination image for CPU processing");
        return;
    }
    const std::size_t rowBytes = std::size_t(window.x2 - window.x1) * gpu::kTexelBytes;
    for (int y = window.y1; y < window.y2; ++y) {
        if (_effect.abort()) {
            return;
        }
        const void* from = source->getPixelAddress(window.x1, y);
        void* to = _dstImg->getPixelAddress(window.x1, y);
        if (from != nullptr && to != nullptr && window.x2 > window.x1) {
            std::memcpy(to, from, rowBytes);
        }
    }
}

void GenericProcessor::processImagesCUDA() {
    HALDEN_LOG_DEBUG("GenericProcessor::processImagesCUDA called");
    if (kernels_.empty()) {
        HALDEN_LOG_ERROR("No CUDA kernels defined");
        return;
    }
    int totalPasses = 0;
    for (const KernelDef& kernel : kernels_) {
        totalPasses += kernel.executions;
    }
    HALDEN_LOG_DEBUG("CUDA multi-pass rendering: %d kernels, %d total passes",
                     static_cast<int>(kernels_.size()), totalPasses);
    if (_dstImg == nullptr) {
        HALDEN_LOG_ERROR("No destination image for the render");
        return;
    }
    gpu::Runtime& runtime = gpu::runtime();
    const gpu::StreamHandle stream = reinterpret_cast<gpu::StreamHandle>(_pCudaStream);
    const OfxRectI bounds = _dstImg->getBounds();
    const int width = bounds.x2 - bounds.x1;
    const int height = bounds.y2 - bounds.y1;
    void* output = outputBuffer_;
    int rowBytes = outputRowBytes_;
    if (output != nullptr) {
        HALDEN_LOG_DEBUG("✓ Custom output buffer: %p (multipipeline path)", output);
    } else {
        output = _dstImg->getPixelData();
        rowBytes = _dstImg->getRowBytes();
        HALDEN_LOG_DEBUG("⚠ Using _dstImg fallback: %p (old path, will be deprecated)", output);
    }

    const int expected = width * static_cast<int>(gpu::kTexelBytes);
    HALDEN_LOG_DEBUG("=== OUTPUT BUFFER INFO ===");
    HALDEN_LOG_DEBUG("📤 Output buffer: Pointer=%p", output);
    HALDEN_LOG_DEBUG("Image dimensions: %dx%d", width, height);
    HALDEN_LOG_DEBUG("Row bytes (actual): %d", rowBytes);
    HALDEN_LOG_DEBUG("Row bytes (expected): %d", expected);
    HALDEN_LOG_DEBUG("Padding per row: %d bytes", rowBytes - expected);
    gpu::MemoryType type = gpu::MemoryType::Unregistered;
    const gpu::Error query = runtime.pointerGetAttributes(&type, output);
    if (query != gpu::Error::Success) {
        HALDEN_LOG_ERROR("cudaPointerGetAttributes failed: %s", runtime.getErrorString(query));
        runtime.getLastError();
    } else {
        HALDEN_LOG_DEBUG("Memory type: %d (0=unregistered, 1=host, 2=device, 3=managed)",
                         static_cast<int>(type));
    }
    HALDEN_LOG_DEBUG("==========================");
    if (rowBytes != expected) {
        // The passes write arrays and the final copy honours the real pitch, so padded rows
        // are handled; the lines say what was seen.
        HALDEN_LOG_ERROR("⚠️  ROW STRIDE MISMATCH DETECTED!");
        HALDEN_LOG_ERROR("⚠️  Kernels assume tightly packed rows, but Resolve uses %d bytes "
                         "padding per row",
                         rowBytes - expected);
        HALDEN_LOG_ERROR(
            "⚠️  This WILL cause illegal memory access! Need to fix kernel indexing.");
    }

    if (bufferManager_ == nullptr) {
        HALDEN_LOG_ERROR("No buffer manager provided to GenericProcessor!");
        return;
    }
    if (!bufferManager_->initialize(width, height, stream, output, totalPasses)) {
        HALDEN_LOG_ERROR("Failed to initialize CUDA render buffers - aborting");
        failed_ = true;
        return;
    }

    int pass = 0;
    const int kernelCount = static_cast<int>(kernels_.size());
    for (int k = 0; k < kernelCount; ++k) {
        const KernelDef& kernel = kernels_[std::size_t(k)];
        HALDEN_LOG_DEBUG("CUDA Kernel %d/%d (%s): %d executions", k + 1, kernelCount,
                         kernel.file.c_str(), kernel.executions);
        for (int e = 0; e < kernel.executions; ++e) {
            const auto passStart = Clock::now();
            const std::uint64_t input = pass == 0 ? 0 : bufferManager_->getInputTexture(pass);
            const std::uint64_t surface = bufferManager_->getOutputSurface(pass);

            kernels::SystemParameters system =
                packSystemParameters(width, height, arguments_, frame_, indices_);
            system.currentKernelExecution = e;
            system.totalKernelExecutions = kernel.executions;
            system.currentKernel = k;
            system.totalKernels = kernelCount;
            system.currentPass = pass;
            system.totalPasses = totalPasses;
            HALDEN_LOG_DEBUG("Pass %d/%d: Kernel %d, Execution %d", pass + 1, totalPasses, k, e);

            const auto setup = Clock::now();
            const kernels::PipelineParameters pipeline{definition_.name().c_str(), "1.0"};
            HALDEN_LOG_DEBUG("Created PipelineParameters with effect name: '%s'",
                             definition_.name().c_str());
            const long long paramsTime = microsecondsSince(setup);
            const auto sourcesStart = Clock::now();
            const kernels::SourceConnections sources =
                packSourceConnections(definition_, definition_.isTransition(), textures_,
                                      connectionStatus_, defaultTextures_);
            const long long sourcesTime = microsecondsSince(sourcesStart);
            const kernels::AnimatedParameters animated =
                packAnimatedParameters(definition_, values_, readVector_);
            HALDEN_LOG_DEBUG("[TIMING] Setup: params=%lld μs, sources=%lld μs", paramsTime,
                             sourcesTime);

            executeKernelPass(kernel.file.c_str(), system, pipeline, sources, animated, input,
                              surface);
            HALDEN_LOG_DEBUG("⏱️  %s (exec %d/%d) took: %lldms", kernel.file.c_str(), e + 1,
                             kernel.executions, microsecondsSince(passStart) / 1000);
            ++pass;
        }
    }

    const auto copyStart = Clock::now();
    if (bufferManager_->copyFinalToOutput(stream, totalPasses, output, width, height, rowBytes)) {
        HALDEN_LOG_DEBUG("⏱️  Final copy took: %lldms", microsecondsSince(copyStart) / 1000);
    } else {
        HALDEN_LOG_ERROR("Failed to copy final cudaArray to output buffer");
        failed_ = true;
    }
}

void GenericProcessor::executeKernelPass(const char* kernelFile,
                                         const kernels::SystemParameters& system,
                                         const kernels::PipelineParameters& pipeline,
                                         const kernels::SourceConnections& sources,
                                         const kernels::AnimatedParameters& animated,
                                         std::uint64_t inputTexture, std::uint64_t outputSurface) {
    HALDEN_LOG_DEBUG("Calling CUDA kernel: %s (pass %d/%d, %d sources)", kernelFile,
                     system.currentPass, system.totalPasses, sources.sourceCount);
    const auto lookup = Clock::now();
    const KernelPassEntry entry = findKernelPassFunction(kernelFile);
    if (entry == nullptr) {
        HALDEN_LOG_ERROR("No multi-pass kernel function found for kernel: %s (effect: %s)",
                         kernelFile, definition_.name().c_str());
        return;
    }
    HALDEN_LOG_DEBUG("[TIMING] Kernel lookup: %lld μs", microsecondsSince(lookup));
    HALDEN_LOG_DEBUG("Executing kernel pass: kernel=%s, execution=%d/%d, pass=%d/%d", kernelFile,
                     system.currentKernelExecution, system.totalKernelExecutions,
                     system.currentPass, system.totalPasses);
    const auto launch = Clock::now();
    entry(_pCudaStream, &system, &pipeline, &sources, &animated, &bundled_, kernelFile,
          inputTexture, outputSurface);
    HALDEN_LOG_DEBUG("[TIMING] Kernel launch+exec: %lld μs", microsecondsSince(launch));

    gpu::Runtime& runtime = gpu::runtime();
    const gpu::Error launchError = runtime.getLastError();
    if (launchError != gpu::Error::Success) {
        HALDEN_LOG_ERROR("❌ CUDA kernel LAUNCH error (pass %d): %s", system.currentPass,
                         runtime.getErrorString(launchError));
        failed_ = true;
    }
    const gpu::Error syncError =
        runtime.streamSynchronize(reinterpret_cast<gpu::StreamHandle>(_pCudaStream));
    if (syncError != gpu::Error::Success) {
        HALDEN_LOG_ERROR("❌ CUDA kernel EXECUTION error (pass %d): %s", system.currentPass,
                         runtime.getErrorString(syncError));
        failed_ = true;
    } else {
        HALDEN_LOG_DEBUG("✅ Kernel pass %d completed successfully", system.currentPass);
    }
}

} // namespace render
