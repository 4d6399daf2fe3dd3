// One frame: inputs to textures, the definition's pipeline of processes and kernel passes,
// feedback between effect executions, the final blend and the accumulation copy.
#include "render/GenericEffect.h"

#include "gpu/Runtime.h"
#include "log/Logger.h"
#include "render/FinalProcessing.h"
#include "render/GenericProcessor.h"
#include "render/MemoryKind.h"

#include "ofx/support/Clip.h"
#include "ofx/support/DoubleParam.h"
#include "ofx/support/Exception.h"
#include "ofx/support/Image.h"

#include <chrono>
#include <exception>
#include <new>
#include <stdexcept>

// An input as the textures and the blend read it: width x height frame pixels, rows going up.
struct GenericEffect::InputView {
    const void* pixels = nullptr;
    int rowBytes = 0;
    bool device = false;
};

struct GenericEffect::Frame {
    std::unique_ptr<OFX::Image> output;
    OfxRectI bounds{0, 0, 0, 0};
    int width = 0;
    int height = 0;
    void* outputBuffer = nullptr;
    int outputRowBytes = 0;
    std::map<std::string, OFX::Image*> images;
    std::map<std::string, std::unique_ptr<OFX::Image>> holders;
    std::map<std::string, bool> connection;
    std::map<std::string, std::uint64_t> textures;
    std::map<std::string, InputView> views;
    PresetValues values;
    std::string renderMode;
    bool fullResolution = true;
    int processCount = 1;
    // Where every copy and launch of the render goes: the host's stream, or the plug-in's own.
    gpu::StreamHandle stream = 0;
};

namespace {

using Clock = std::chrono::steady_clock;

long long millisecondsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

bool hasPlatform(const XMLEffectDefinition& definition, const char* platform) {
    for (const ProcessDef& process : definition.processes()) {
        for (const KernelDef& kernel : process.kernels) {
            if (kernel.platform == platform) {
                return true;
            }
        }
    }
    return false;
}

void dumpParameters(const XMLEffectDefinition& definition, const PresetValues& values) {
    HALDEN_LOG_INFO("=== FIRST RENDER PARAMETER DUMP ===");
    for (const ParameterDef& param : definition.parameters()) {
        const char* name = param.name.c_str();
        const char* type = param.type.c_str();
        const auto found = values.find(param.name);
        if (found == values.end()) {
            HALDEN_LOG_INFO("  %s [%s]: NOT FOUND", name, type);
            continue;
        }
        const PresetValue& v = found->second;
        if (param.type == "float" || param.type == "double") {
            HALDEN_LOG_INFO("  %s [%s]: %.4f (default=%.4f)", name, type, v.asDouble(),
                            param.defaultValue);
        } else if (param.type == "int" || param.type == "choice") {
            HALDEN_LOG_INFO("  %s [%s]: %d (default=%d)", name, type, v.asInt(),
                            static_cast<int>(param.defaultValue));
        } else if (param.type == "bool") {
            HALDEN_LOG_INFO("  %s [%s]: %s (default=%s)", name, type, v.asBool() ? "true" : "false",
                            param.boolDefault ? "true" : "false");
        } else if (param.type == "vec2") {
            const std::array<float, 4> c = v.asComponents();
            HALDEN_LOG_INFO("  %s [%s]: (%.4f, %.4f)", name, type, c[0], c[1]);
        } else if (param.type == "vec3" || param.type == "color") {
            const std::array<float, 4> c = v.asComponents();
            HALDEN_LOG_INFO("  %s [%s]: (%.4f, %.4f, %.4f)", name, type, c[0], c[1], c[2]);
        } else {
            HALDEN_LOG_INFO("  %s [%s]: (complex type)", name, type);
        }
    }
    HALDEN_LOG_INFO("=== END PARAMETER DUMP ===");
}

// What the host hears of a failed render: out of memory when the runtime ran out, else a
// plain failure, unless the error already carries its status.
OfxStatus failureStatus(const std::exception& e, gpu::Error pending) {
    if (const auto* ofx = dynamic_cast<const OFX::Exception*>(&e)) {
        return ofx->status();
    }
    if (dynamic_cast<const std::bad_alloc*>(&e) != nullptr ||
        pending == gpu::Error::MemoryAllocation) {
        return kOfxStatErrMemory;
    }
    return kOfxStatFailed;
}

bool sameRect(const OfxRectI& a, const OfxRectI& b) {
    return a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2;
}

render::RenderArguments kernelArguments(const OFX::RenderArguments& args) {
    render::RenderArguments a;
    a.present = true;
    a.time = args.time;
    a.renderScaleX = args.renderScale.x;
    a.renderScaleY = args.renderScale.y;
    a.interactive = args.interactiveRenderStatus;
    a.sequential = args.sequentialRenderStatus;
    a.renderWindow[0] = args.renderWindow.x1;
    a.renderWindow[1] = args.renderWindow.y1;
    a.renderWindow[2] = args.renderWindow.x2;
    a.renderWindow[3] = args.renderWindow.y2;
    return a;
}

} // namespace

double GenericEffect::doubleParameter(const std::string& name, double time, double fallback) {
    OFX::DoubleParam* param = fetchDoubleParam(name);
    return param == nullptr ? fallback : param->getValueAtTime(time);
}

bool GenericEffect::readVector(const std::string& name, const std::string& type, double time,
                               std::array<double, 4>& value, std::string& error) {
    try {
        const PresetValue v = getParameterValue(name, time);
        if (!v.isVector()) {
            error = "not a " + type + " parameter";
            return false;
        }
        const std::array<float, 4> c = v.asComponents();
        value = {c[0], c[1], c[2], c[3]};
        return true;
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
}

void GenericEffect::setupAndProcess(const OFX::RenderArguments& args) {
    HALDEN_LOG_DEBUG("[setupAndProcess] ENTRY");
    const auto start = Clock::now();
    gpu::Runtime& runtime = gpu::runtime();
    // A failure left pending by an earlier action is not this render's.
    runtime.getLastError();
    followDevice(runtime);
    Frame frame;
    frame.stream = renderStream(args, runtime);
    try {
        OFX::Clip* outputClip = nullptr;
        {
            std::lock_guard<std::mutex> lock(stateMutex_);
            outputClip = clips_.at("output");
        }
        frame.output = outputClip ? outputClip->fetchImage(args.time) : nullptr;
        if (!frame.output) {
            throw std::runtime_error("Failed to fetch output image");
        }
        frame.bounds = frame.output->getBounds();
        frame.width = frame.bounds.x2 - frame.bounds.x1;
        frame.height = frame.bounds.y2 - frame.bounds.y1;
        frame.outputBuffer = frame.output->getPixelData();
        frame.outputRowBytes = frame.output->getRowBytes();
        if (args.isEnabledCudaRender) {
            requireOwnedDeviceMemory("output", frame.outputBuffer);
        }

        HALDEN_LOG_INFO("Creating default textures for noinput feature");
        if (textures_.createDefaultTextures(frame.width, frame.height)) {
            HALDEN_LOG_INFO("Default textures created successfully");
        } else {
            HALDEN_LOG_ERROR("Failed to create default textures");
            throw std::runtime_error("Failed to create default textures");
        }
        if (!bundled_.loaded()) {
            HALDEN_LOG_DEBUG("[setupAndProcess] Loading bundled resources");
            if (!bundled_.loadBundledResources(definition_.resources(), runtime)) {
                HALDEN_LOG_ERROR("Failed to load bundled resources");
            }
            // A silhouette left out would shift the others' slots and change the picture:
            // give the frame up and load them all again next time.
            if (bundled_.records().size() != definition_.resources().size()) {
                bundled_.release();
                throw std::runtime_error("Failed to load bundled resources");
            }
        }

        // The CPU backend runs the CUDA path too, so "cuda" is the mode wherever the
        // definition has CUDA kernels and the host asked for no other GPU path.
        if (args.isEnabledCudaRender) {
            frame.renderMode = "cuda";
        } else if (args.isEnabledMetalRender) {
            frame.renderMode = "metal";
        } else if (hasPlatform(definition_, "cuda") && !hasPlatform(definition_, "opencl")) {
            frame.renderMode = "cuda";
            HALDEN_LOG_INFO("Host doesn't report CUDA support, but plugin has CUDA kernels - "
                            "using CUDA fallback");
        } else {
            frame.renderMode = "opencl";
        }
        int passes = 0;
        std::size_t kernelCount = 0;
        for (const ProcessDef& process : definition_.processes()) {
            for (const KernelDef& kernel : process.kernels) {
                if (kernel.platform == frame.renderMode) {
                    passes += kernel.executions;
                    ++kernelCount;
                }
            }
        }
        HALDEN_LOG_DEBUG("Effect '%s' on %s: %d total passes across %zu kernels",
                         definition_.name().c_str(), frame.renderMode.c_str(), passes, kernelCount);

        currentManager_ = &pool_.acquireBufferManager(frame.outputBuffer, frame.width, frame.height,
                                                      processBuffers_.count());
        HALDEN_LOG_DEBUG("Phase B: Using buffer pool for dstImgBuffer=%p (pool size=%zu)",
                         frame.outputBuffer, pool_.size());
        frame.processCount =
            definition_.processes().empty() ? 1 : static_cast<int>(definition_.processes().size());
        processBuffers_.prepare(frame.width, frame.height, frame.processCount,
                                processBufferUse(args.time));
        frame.fullResolution = args.renderScale.x >= 1.0 && args.renderScale.y >= 1.0;
        if (!definition_.accumulationBuffers().empty() && frame.fullResolution &&
            !accumulation_.prepare(frame.width, frame.height, definition_.accumulationBuffers())) {
            throw std::runtime_error("Accumulation buffer allocation failed");
        }
        frame.images["output"] = frame.output.get();

        prepareInputs(args, frame);
        HALDEN_LOG_DEBUG("Images: %d, Textures: %d (base inputs only)",
                         static_cast<int>(frame.images.size()),
                         static_cast<int>(frame.textures.size()));
        // Every slot, read or not, so the kernels find each source at its index.
        if (processBuffers_.count() > 0) {
            frame.textures["effectOutput"] = processBuffers_.effectOutput().texture;
            for (std::size_t i = 0; i < processBuffers_.count(); ++i) {
                frame.textures["pipelineOutput_" + std::to_string(i)] =
                    processBuffers_.processOutputs()[i].texture;
            }
            HALDEN_LOG_DEBUG("Phase 3a.3: Using %d cached CUDA texture objects (effectOutput + "
                             "%d pipelines)",
                             static_cast<int>(processBuffers_.count() + 1),
                             static_cast<int>(processBuffers_.count()));
        }
        for (std::size_t i = 0; i < accumulation_.buffers().size(); ++i) {
            frame.textures["accum_" + accumulation_.names()[i]] =
                accumulation_.buffers()[i].texture;
            HALDEN_LOG_DEBUG("Added accumulation buffer '%s' to texture map",
                             accumulation_.names()[i].c_str());
        }
        HALDEN_LOG_DEBUG("Final texture count: %d", static_cast<int>(frame.textures.size()));

        readParameterValues(args.time, frame);
        runPipeline(args, frame);
        finalBlend(args, frame);
        accumulate(args, frame);
        // Every step checks its own calls; this catches a release whose failure went unseen.
        const gpu::Error late = runtime.getLastError();
        if (late != gpu::Error::Success) {
            throw OFX::Exception(late == gpu::Error::MemoryAllocation ? kOfxStatErrMemory
                                                                      : kOfxStatFailed,
                                 std::string("A device call failed during the render: ") +
                                     runtime.getErrorString(late));
        }
    } catch (const std::exception& e) {
        HALDEN_LOG_ERROR("ERROR in setupAndProcess: %s", e.what());
        currentManager_ = nullptr;
        const OfxStatus status = failureStatus(e, runtime.getLastError());
        reportRenderFailure(e.what());
        throw OFX::Exception(status, e.what());
    }
    currentManager_ = nullptr;
    if (failureShown_) {
        clearPersistentMessage();
        failureShown_ = false;
    }
    HALDEN_LOG_DEBUG("[setupAndProcess] done in %lldms", millisecondsSince(start));
}

void GenericEffect::reportRenderFailure(const std::string& what) {
    // Persistent, so a failing playback does not raise one dialog per frame; the next good
    // frame clears it.
    const std::string text = "Render failed: " + what;
    if (setPersistentMessage(OFX::eMessageError, "", text) == kOfxStatErrMissingHostFeature) {
        sendMessage(OFX::eMessageError, "", text);
    }
    failureShown_ = true;
}

void GenericEffect::requireOwnedDeviceMemory(const char* name, const void* pixels) {
    gpu::Runtime& runtime = gpu::runtime();
    if (render::runtimeOwnsDeviceMemory(runtime, pixels)) {
        return;
    }
    HALDEN_LOG_ERROR("Image '%s' at %p is not device memory of the %s runtime - not rendering",
                     name, pixels, runtime.name());
    throw OFX::Exception(kOfxStatErrUnsupported, std::string("the ") + name +
                                                     " image is device memory the " +
                                                     runtime.name() + " runtime does not own");
}

GenericEffect::InputView GenericEffect::frameView(const std::string& name, const OFX::Image& image,
                                                  bool device, const Frame& frame) {
    const OfxRectI b = image.getBounds();
    const int rowBytes = image.getRowBytes();
    if (sameRect(b, frame.bounds) && rowBytes > 0) {
        return {image.getPixelData(), rowBytes, device};
    }
    HALDEN_LOG_DEBUG("Input '%s' (%d,%d)-(%d,%d), row bytes %d, is laid out unlike the frame "
                     "(%d,%d)-(%d,%d): staging a copy",
                     name.c_str(), b.x1, b.y1, b.x2, b.y2, rowBytes, frame.bounds.x1,
                     frame.bounds.y1, frame.bounds.x2, frame.bounds.y2);
    render::ImageRows rows;
    rows.data = image.getPixelData();
    rows.rowBytes = rowBytes;
    rows.x1 = b.x1;
    rows.y1 = b.y1;
    rows.x2 = b.x2;
    rows.y2 = b.y2;
    rows.device = device;
    std::vector<float>& staging = staged_[name];
    gpu::Runtime& runtime = gpu::runtime();
    const gpu::Error error =
        render::stageImage(runtime, rows, frame.bounds.x1, frame.bounds.y1, frame.width,
                           frame.height, frame.stream, staging, stagingScratch_);
    if (error != gpu::Error::Success) {
        HALDEN_LOG_ERROR("Failed to read input '%s': %s", name.c_str(),
                         runtime.getErrorString(error));
        throw std::runtime_error("Failed to read input " + name);
    }
    return {staging.data(), frame.width * static_cast<int>(gpu::kTexelBytes), false};
}

void GenericEffect::uploadInput(const std::string& name, std::unique_ptr<OFX::Image> image,
                                const OFX::RenderArguments& args, Frame& frame, bool alwaysCreate) {
    gpu::Runtime& runtime = gpu::runtime();
    const void* pixels = image->getPixelData();
    if (args.isEnabledCudaRender) {
        requireOwnedDeviceMemory(name.c_str(), pixels);
    }
    const bool device = render::inputIsDeviceMemory(runtime, pixels);
    const OFX::Image& held = *image;
    frame.images[name] = image.get();
    frame.holders[name] = std::move(image);
    const InputView view = frameView(name, held, device, frame);
    frame.views[name] = view;

    const int w = frame.width;
    const int h = frame.height;
    const gpu::StreamHandle stream = frame.stream;
    render::TextureRecord cached;
    const bool hasRecord = textures_.find(name, cached);
    bool ok = false;
    if (alwaysCreate) {
        ok = textures_.createTexture(name, w, h, view.pixels, view.rowBytes, stream);
    } else if (!hasRecord || (view.device && !cached.linear && !cached.viewRefused)) {
        ok = textures_.createTexture(name, w, h, view.pixels, view.rowBytes, stream);
        if (ok) {
            HALDEN_LOG_DEBUG("Created texture for: %s", name.c_str());
        } else {
            HALDEN_LOG_ERROR("Failed to create texture for: %s", name.c_str());
        }
    } else if (cached.dataPointer != view.pixels || cached.width != w || cached.height != h) {
        if (cached.dataPointer != view.pixels) {
            HALDEN_LOG_DEBUG("⚠️  Source pointer changed for '%s' (Resolve buffer reuse "
                             "detected!)",
                             name.c_str());
        }
        ok = textures_.createTexture(name, w, h, view.pixels, view.rowBytes, stream);
        HALDEN_LOG_DEBUG("Recreated texture for dimension change: %s", name.c_str());
    } else {
        ok = textures_.updateTextureData(name, view.pixels, view.rowBytes, stream);
    }
    if (!ok || !textures_.find(name, cached)) {
        throw std::runtime_error("Failed to make the texture of input " + name);
    }
    frame.textures[name] = cached.textureObject;
}

void GenericEffect::prepareInputs(const OFX::RenderArguments& args, Frame& frame) {
    if (definition_.isTransition()) {
        HALDEN_LOG_DEBUG("Fetching transition clips images");
        for (const char* name : {"SourceFrom", "SourceTo"}) {
            OFX::Clip* clip = nullptr;
            {
                std::lock_guard<std::mutex> lock(stateMutex_);
                const auto found = clips_.find(name);
                clip = found == clips_.end() ? nullptr : found->second;
            }
            if (clip == nullptr || !clip->isConnected()) {
                continue;
            }
            frame.connection[name] = true;
            std::unique_ptr<OFX::Image> image = clip->fetchImage(args.time);
            if (image) {
                uploadInput(name, std::move(image), args, frame, true);
            }
            HALDEN_LOG_DEBUG("Fetched %s image", name);
        }
        return;
    }

    for (const InputDef& input : definition_.inputs()) {
        HALDEN_LOG_DEBUG("Processing input: %s", input.name.c_str());
        OFX::Clip* clip = nullptr;
        {
            std::lock_guard<std::mutex> lock(stateMutex_);
            const auto found = clips_.find(input.name);
            clip = found == clips_.end() ? nullptr : found->second;
        }
        if (clip == nullptr) {
            if (input.optional) {
                continue;
            }
            throw std::runtime_error("Required input " + input.name + " not available");
        }
        const bool connected = clip->isConnected();
        frame.connection[input.name] = connected;
        if (input.optional && !connected) {
            HALDEN_LOG_DEBUG("Optional input %s not connected", input.name.c_str());
            continue;
        }
        std::unique_ptr<OFX::Image> image = clip->fetchImage(args.time);
        if (image) {
            uploadInput(input.name, std::move(image), args, frame, false);
        }
    }
}

void GenericEffect::readParameterValues(double time, Frame& frame) {
    for (const ParameterDef& param : definition_.parameters()) {
        frame.values[param.name] = getParameterValue(param.name, time);
    }
    if (!firstRenderDumpDone_) {
        firstRenderDumpDone_ = true;
        dumpParameters(definition_, frame.values);
    }
}

gpu::StreamHandle GenericEffect::renderStream(const OFX::RenderArguments& args,
                                              gpu::Runtime& runtime) {
    if (args.isEnabledCudaRender && args.pCudaStream != nullptr) {
        return reinterpret_cast<gpu::StreamHandle>(args.pCudaStream);
    }
    // A host without streams queued what produced the inputs on the legacy default stream:
    // the plug-in's own stream starts after it, and nothing of ours blocks other streams.
    if (ownStream_ == 0 && runtime.streamCreate(&ownStream_) != gpu::Error::Success) {
        runtime.getLastError();
        ownStream_ = 0;
        return 0;
    }
    if (runtime.streamWaitFor(ownStream_, 0) != gpu::Error::Success) {
        runtime.getLastError();
        return 0;
    }
    return ownStream_;
}

render::ProcessBufferUse GenericEffect::processBufferUse(double time) {
    render::ProcessBufferUse use;
    const std::vector<ProcessDef>& processes = definition_.processes();
    if (processes.empty()) {
        return use;
    }
    // The last process writes the output itself unless the effect, or it, runs again.
    const bool effectRepeats = resolveExecutions(definition_.pipelineExecutions(), time) > 1;
    use.effectOutput = effectRepeats;
    for (std::size_t p = 0; p < processes.size(); ++p) {
        use.processOutputs.push_back(p + 1 < processes.size() || effectRepeats ||
                                     resolveExecutions(processes[p].executions, time) > 1);
    }
    return use;
}

void GenericEffect::runPipeline(const OFX::RenderArguments& args, Frame& frame) {
    const std::string& executionsText = definition_.pipelineExecutions();
    const int executions = resolveExecutions(executionsText, args.time);
    if (executionsText.rfind("param:", 0) == 0) {
        HALDEN_LOG_DEBUG("Dynamic effect executions from parameter '%s': %d",
                         executionsText.substr(6).c_str(), executions);
    }
    void* stream = reinterpret_cast<void*>(frame.stream);
    const std::vector<ProcessDef>& processes = definition_.processes();
    const int processCount = static_cast<int>(processes.size());
    for (int e = 0; e < executions; ++e) {
        if (executions > 1) {
            HALDEN_LOG_DEBUG("Effect execution %d/%d starting", e + 1, executions);
        }
        const auto start = Clock::now();
        if (processes.empty()) {
            HALDEN_LOG_DEBUG("Phase 3a.4: Single pipeline (old format) - %zu kernels",
                             std::size_t{0});
            runSinglePipeline({}, frame, frame.outputBuffer, frame.outputRowBytes, args,
                              {0, 1, e, executions, 0, 1});
        } else {
            HALDEN_LOG_DEBUG("Phase 3a.4: Multi-pipeline loop - %zu pipelines", processes.size());
            for (int p = 0; p < processCount; ++p) {
                const ProcessDef& process = processes[std::size_t(p)];
                std::vector<KernelDef> kernels;
                for (const KernelDef& kernel : process.kernels) {
                    if (kernel.platform == frame.renderMode) {
                        kernels.push_back(kernel);
                    }
                }
                if (kernels.empty()) {
                    HALDEN_LOG_ERROR("Phase 3a.4: Pipeline %d '%s' has no kernels for %s - "
                                     "skipping",
                                     p, process.name.c_str(), frame.renderMode.c_str());
                    continue;
                }
                const int iterations = resolveExecutions(process.executions, args.time);
                HALDEN_LOG_DEBUG("🚀 Executing pipeline %d/%zu '%s' (%zu kernels, %d "
                                 "pipeline_executions from '%s')",
                                 p + 1, processes.size(), process.name.c_str(), kernels.size(),
                                 iterations, process.executions.c_str());
                for (int i = 0; i < iterations; ++i) {
                    if (iterations > 1) {
                        HALDEN_LOG_DEBUG("🔁 Pipeline '%s' iteration %d/%d (effect iter %d/%d)",
                                         process.name.c_str(), i + 1, iterations, e + 1,
                                         executions);
                    }
                    const bool last =
                        e == executions - 1 && p == processCount - 1 && i == iterations - 1;
                    void* target = frame.outputBuffer;
                    int targetRowBytes = frame.outputRowBytes;
                    if (last) {
                        HALDEN_LOG_DEBUG("CUDA Pipeline %d: Writing to _dstImg (final output)", p);
                    } else if (std::size_t(p) < processBuffers_.count()) {
                        const render::LinearBuffer& buffer =
                            processBuffers_.processOutputs()[std::size_t(p)];
                        target = buffer.data;
                        targetRowBytes = static_cast<int>(buffer.pitch);
                        HALDEN_LOG_DEBUG("CUDA Pipeline %d: Writing to pipelineOutput[%d] array "
                                         "(%p)",
                                         p, p, target);
                    }
                    runSinglePipeline(kernels, frame, target, targetRowBytes, args,
                                      {p, processCount, e, executions, i, iterations});
                }
                HALDEN_LOG_DEBUG("Phase 3a.4: Pipeline %d '%s' complete (%d executions)", p,
                                 process.name.c_str(), iterations);
            }
            HALDEN_LOG_DEBUG("Phase 3a.4: All %zu pipelines executed successfully",
                             processes.size());
        }
        if (executions < 2) {
            HALDEN_LOG_DEBUG("Total pipeline execution: %lldms", millisecondsSince(start));
        } else {
            HALDEN_LOG_DEBUG("Effect execution %d/%d: pipeline execution took %lldms", e + 1,
                             executions, millisecondsSince(start));
        }
        if (e < executions - 1) {
            feedbackCopy(processes.empty() ? 0 : processCount - 1, frame, stream);
        }
    }
}

void GenericEffect::feedbackCopy(int process, Frame& frame, void* stream) {
    if (process < 0 || std::size_t(process) >= processBuffers_.count()) {
        HALDEN_LOG_ERROR("Invalid pipeline index %d for feedback copy", process);
        throw std::runtime_error("Feedback copy failed");
    }
    gpu::Runtime& runtime = gpu::runtime();
    // Both buffers share one layout, padding included.
    const std::size_t bytes = processBuffers_.effectOutput().pitch * std::size_t(frame.height);
    const gpu::StreamHandle handle = reinterpret_cast<gpu::StreamHandle>(stream);
    gpu::Error error =
        runtime.memcpyAsync(processBuffers_.effectOutput().data,
                            processBuffers_.processOutputs()[std::size_t(process)].data, bytes,
                            gpu::MemcpyKind::DeviceToDevice, handle);
    if (error != gpu::Error::Success) {
        HALDEN_LOG_ERROR("CUDA feedback copy failed (pipeline %d → effectOutput): %s", process,
                         runtime.getErrorString(error));
        throw std::runtime_error("Feedback copy failed");
    }
    error = runtime.streamSynchronize(handle);
    if (error != gpu::Error::Success) {
        HALDEN_LOG_ERROR("CUDA stream sync after feedback copy failed: %s",
                         runtime.getErrorString(error));
        throw std::runtime_error("Feedback copy failed");
    }
    HALDEN_LOG_ERROR("✅ Feedback: Copied pipeline %d output to effectOutput (%.2f MB, CUDA, "
                     "linear buffers)",
                     process, double(bytes) / 1048576.0);
}

void GenericEffect::runSinglePipeline(const std::vector<KernelDef>& kernels, Frame& frame,
                                      void* target, int targetRowBytes,
                                      const OFX::RenderArguments& args,
                                      const render::ExecutionIndices& indices) {
    HALDEN_LOG_DEBUG("runSinglePipeline: pipeline %d/%d, output=%p, size=%dx%d, kernels=%zu",
                     indices.currentPipeline, indices.totalPipelines, target, frame.width,
                     frame.height, kernels.size());
    render::GenericProcessor processor(*this, definition_);
    processor.setOutputBuffer(target, targetRowBytes);
    processor.setBufferManager(currentManager_);
    processor.setKernels(kernels);
    processor.setExecutionIndices(indices);
    processor.setImages(frame.images);
    processor.setParameters(frame.values);
    processor.setTextureObjects(frame.textures);
    processor.setConnectionStatus(frame.connection);
    processor.setGPURenderArgs(args);
    processor.setRenderWindow(args.renderWindow);
    processor.setRenderArguments(kernelArguments(args));

    render::FrameState state;
    state.frameRate = getFrameRate();
    state.pixelAspect = frame.output ? frame.output->getPixelAspectRatio() : 1.0;
    state.globalBlend = static_cast<float>(doubleParameter("Blend", args.time, 1.0));
    state.isTransition = getContext() == OFX::eContextTransition;
    state.transitionProgress =
        transitionParam_ ? static_cast<float>(transitionParam_->getValueAtTime(args.time)) : 0.0f;
    state.accumValid = accumulation_.accumValid;
    state.lastRenderedTime = accumulation_.lastRenderedTime;
    processor.setFrameState(state);
    processor.setDefaultTextures([this](int mode) { return textures_.getDefaultTexture(mode); });
    const double time = args.time;
    processor.setVectorReader(
        [this, time](const std::string& name, const std::string& type, std::array<double, 4>& value,
                     std::string& error) { return readVector(name, type, time, value, error); });

    if (!args.isEnabledOpenCLRender && !args.isEnabledCudaRender && !args.isEnabledMetalRender) {
        for (const KernelDef& kernel : kernels) {
            if (kernel.platform == "cuda") {
                HALDEN_LOG_DEBUG("Forcing CUDA render mode for Flame compatibility");
                processor.enableCudaRender(nullptr);
                break;
            }
        }
    }
    processor.setStream(reinterpret_cast<void*>(frame.stream));
    kernels::BundledResources bundled{};
    bundled_.fill(bundled);
    processor.setBundledResources(bundled);
    if (!definition_.accumulationBuffers().empty()) {
        HALDEN_LOG_INFO("ACCUM DEBUG: valid=%d, lastRendered=%.1f, currentTime=%.1f, "
                        "renderScale=%.2f,%.2f",
                        accumulation_.accumValid, accumulation_.lastRenderedTime, args.time,
                        args.renderScale.x, args.renderScale.y);
    }
    HALDEN_LOG_DEBUG("runSinglePipeline: calling processor->process()");
    processor.process();
    HALDEN_LOG_DEBUG("runSinglePipeline: complete");
    if (processor.failed()) {
        throw std::runtime_error("Pipeline " + std::to_string(indices.currentPipeline) +
                                 " failed on the device");
    }
}

void GenericEffect::finalBlend(const OFX::RenderArguments& args, Frame& frame) {
    kernels::SystemParameters record{};
    record.width = frame.width;
    record.height = frame.height;
    record.frame24 = static_cast<std::int32_t>(args.time * 24.0);
    record.globalBlend = static_cast<float>(doubleParameter("Blend", args.time, 1.0));

    // The blend source: the first required input with an image, else the first optional one,
    // else (transitions) the clip the transition is closer to. Its view covers the frame.
    const InputView* source = nullptr;
    for (const bool wantOptional : {false, true}) {
        for (const InputDef& input : definition_.inputs()) {
            const auto found = frame.views.find(input.name);
            if (source == nullptr && input.optional == wantOptional && found != frame.views.end() &&
                found->second.pixels != nullptr) {
                source = &found->second;
            }
        }
    }
    if (source == nullptr && definition_.isTransition()) {
        const double progress = transitionParam_ ? transitionParam_->getValueAtTime(args.time) : 0;
        const auto found = frame.views.find(progress < 0.5 ? "SourceFrom" : "SourceTo");
        if (found != frame.views.end()) {
            source = &found->second;
        }
    }
    if (currentManager_ == nullptr || frame.outputBuffer == nullptr) {
        return;
    }
    if (!currentManager_->initialized()) {
        // No run wrote the output: handing it back would show whatever the host left there.
        HALDEN_LOG_ERROR("RenderBufferManager not initialized for final processing");
        throw std::runtime_error("Nothing was rendered into the output");
    }
    // On the render's stream: the legacy default stream would serialise against every other
    // blocking stream of the process, the host's work included.
    if (!finalBlend_.apply(gpu::runtime(), frame.stream, record, source ? source->pixels : nullptr,
                           frame.outputBuffer, frame.width, frame.height,
                           source ? source->rowBytes : 0, frame.outputRowBytes)) {
        throw std::runtime_error("Final processing failed");
    }
}

void GenericEffect::accumulate(const OFX::RenderArguments& args, Frame& frame) {
    if (accumulation_.buffers().empty()) {
        return;
    }
    if (!frame.fullResolution) {
        HALDEN_LOG_INFO("ACCUM SKIP: proxy render frame=%.1f, renderScale=%.2f,%.2f, valid=%d, "
                        "lastRendered=%.1f",
                        args.time, args.renderScale.x, args.renderScale.y, accumulation_.accumValid,
                        accumulation_.lastRenderedTime);
        return;
    }
    gpu::Runtime& runtime = gpu::runtime();
    const gpu::MemcpyKind kind = render::accumulationCopyKind(runtime, frame.outputBuffer);
    if (kind == gpu::MemcpyKind::HostToDevice) {
        HALDEN_LOG_DEBUG("Accumulation copy: source is host memory (type=%d), using HostToDevice",
                         1);
    }
    const gpu::StreamHandle stream = frame.stream;
    bool allIssued = true;
    for (std::size_t i = 0; i < accumulation_.buffers().size(); ++i) {
        const render::LinearBuffer& buffer = accumulation_.buffers()[i];
        const gpu::Error error = render::copyImageToLinear(runtime, buffer.data, buffer.pitch,
                                                           frame.outputBuffer, frame.outputRowBytes,
                                                           frame.width, frame.height, kind, stream);
        if (error != gpu::Error::Success) {
            allIssued = false;
            HALDEN_LOG_ERROR("Accumulation buffer copy failed for '%s': %s",
                             accumulation_.names()[i].c_str(), runtime.getErrorString(error));
        }
    }
    const bool synchronised = runtime.streamSynchronize(stream) == gpu::Error::Success;
    // Half-copied buffers hold no frame: the next one must not read them as the last.
    accumulation_.accumValid = allIssued && synchronised;
    if (accumulation_.accumValid) {
        accumulation_.lastRenderedTime = static_cast<float>(args.time);
    }
    HALDEN_LOG_INFO("ACCUM COPY: frame=%.1f, valid=%d, renderScale=%.2f,%.2f", args.time,
                    accumulation_.accumValid, args.renderScale.x, args.renderScale.y);
    if (!accumulation_.accumValid) {
        throw std::runtime_error("Accumulation copy failed");
    }
}
