// Throughput of the lens-blur pass on the active backend (CPU here, CUDA where a device answers)
// per look, and the time of a whole frame through the plug-in as halden-render runs it, both at
// 1920x1080 over halden-render's demo scene.
//
// halden_bench --write-scene <file> writes that scene (EXR or PNG) for other tools to blur.
// halden_bench --gpu-check [limit G samples/s [frames]] prints the block scripts/gpu-check.sh
// reports (frames: the long run, 1000 by default).
#include "definition/EmbeddedDefinition.h"
#include "definition/XMLEffectDefinition.h"
#include "gpu/HostRuntime.h"
#include "gpu/Runtime.h"
#include "host/cli/CommandLine.h"
#include "host/cli/DemoScene.h"
#include "host/cli/ImageIo.h"
#include "host/cli/PluginSession.h"
#include "host/effect/EffectInstance.h"
#include "host/effect/HostImage.h"
#include "kernels/KernelMath.h"
#include "kernels/KernelPasses.h"
#include "kernels/LensBlurKernel.h"
#include "kernels/RowThreadPool.h"
#include "kernels/cpu/FastPaths.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using namespace kernels;

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

void check(gpu::Error error) {
    if (error != gpu::Error::Success) {
        throw std::runtime_error(gpu::errorText(error));
    }
}

AnimatedParameters definitionDefaults() {
    XMLEffectDefinition definition;
    definition.parseEmbedded(embeddedEffectDefinition());
    AnimatedParameters p{};
    for (const ParameterDef& param : definition.parameters()) {
        if (param.type == "float") {
            p.floatParams[p.counts[COUNT_FLOAT]++] = float(param.defaultValue);
        } else if (param.type == "int" || param.type == "choice") {
            p.intParams[p.counts[COUNT_INT]++] = int(param.defaultValue);
        } else if (param.type == "bool") {
            p.boolParams[p.counts[COUNT_BOOL]++] = param.boolDefault;
        } else if (param.type == "vec2") {
            p.vec2Params[p.counts[COUNT_VEC2]++] = {float(param.components[0].defaultValue),
                                                    float(param.components[1].defaultValue)};
        }
    }
    return p;
}

std::string runtimeLabel() {
    // HALDEN_CPU_PATH picks the CPU path to measure: reference, sse2, avx2 or avx512.
    return std::string(gpu::runtime().name()) + " " +
           kernels::cpu::cpuPathName(kernels::cpu::activeCpuPath());
}

// A float RGBA array on the runtime with a texture (standard sampling) and a surface over it.
class DeviceImage {
public:
    DeviceImage(int width, int height, const float* pixels = nullptr,
                gpu::Runtime& runtime = gpu::runtime())
        : runtime_(runtime) {
        check(runtime_.mallocArray(&array_, width, height, gpu::kArraySurfaceLoadStore));
        if (pixels != nullptr) {
            check(runtime_.memcpy2DToArray(array_, 0, 0, pixels, width * 16u, width * 16u, height,
                                           gpu::MemcpyKind::HostToDevice));
        }
        check(runtime_.createTextureObject(&texture_, gpu::ResourceDesc::fromArray(array_),
                                           gpu::TextureDesc::standard()));
        check(runtime_.createSurfaceObject(&surface_, array_));
    }
    ~DeviceImage() {
        runtime_.destroySurfaceObject(surface_);
        runtime_.destroyTextureObject(texture_);
        runtime_.freeArray(array_);
    }
    DeviceImage(const DeviceImage&) = delete;
    DeviceImage& operator=(const DeviceImage&) = delete;

    gpu::TextureObject texture() const { return texture_; }
    gpu::SurfaceObject surface() const { return surface_; }
    gpu::ArrayHandle array() const { return array_; }

private:
    gpu::Runtime& runtime_;
    gpu::ArrayHandle array_ = 0;
    gpu::TextureObject texture_ = 0;
    gpu::SurfaceObject surface_ = 0;
};

// A size x size RGBA picture from a function of (u, v) in [-1, 1].
std::vector<float> pattern(int size, const std::function<void(float, float, float*)>& at) {
    std::vector<float> pixels(std::size_t(size) * size * 4);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            at(2 * (x + 0.5f) / float(size) - 1, 2 * (y + 0.5f) / float(size) - 1,
               &pixels[(std::size_t(y) * size + x) * 4]);
        }
    }
    return pixels;
}

struct Look {
    const char* name;
    std::function<void(AnimatedParameters&)> set;
    bool kernelMap = false;
    bool occluder = false;
};

const Look kLooks[] = {
    {"defaults", [](AnimatedParameters&) {}},
    {"blades6_curvature",
     [](AnimatedParameters& p) {
         p.boolParams[slot::aperture_enable] = 1;
         p.intParams[slot::blade_count] = 6;
         p.floatParams[slot::blade_rotation] = 20.0f;
         p.floatParams[slot::blade_curvature] = 0.35f;
         p.floatParams[slot::blade_softness] = 0.2f;
         p.floatParams[slot::edge_width] = 0.3f;
     }},
    {"catseye_swirl",
     [](AnimatedParameters& p) {
         p.boolParams[slot::catseye_enable] = 1;
         p.floatParams[slot::catseye_strength] = 1.2f;
         p.floatParams[slot::catseye_softness] = 0.5f;
         p.boolParams[slot::swirl_enable] = 1;
         p.floatParams[slot::swirl_factor] = 1.8f;
         p.floatParams[slot::radial_skew] = 1.2f;
     }},
    {"anamorphic_misalignment",
     [](AnimatedParameters& p) {
         p.vec2Params[slot::anamorphic] = {1.8f, 1.0f};
         p.boolParams[slot::superq_enable] = 1;
         p.floatParams[slot::superq_scale] = 0.8f;
         p.floatParams[slot::dimple_depth] = 0.8f;
         p.floatParams[slot::bokeh_power] = 3.5f;
     }},
    {"falloff_rack_focus",
     [](AnimatedParameters& p) {
         p.boolParams[slot::falloff_enable] = 1;
         p.floatParams[slot::rack_focus] = -0.3f;
         p.floatParams[slot::falloff_exponent] = 1.5f;
         p.vec2Params[slot::optical_center] = {0.3f, 0.1f};
         p.floatParams[slot::optical_scale] = 0.8f;
     }},
    {"occlusion_foliage_wind",
     [](AnimatedParameters& p) {
         p.intParams[slot::fg_texture] = 1;
         p.floatParams[slot::fg_opacity] = 1.0f;
         p.floatParams[slot::fg_speed] = 2.0f;
         p.floatParams[slot::fg_turbulence] = 1.0f;
     },
     false, true},
    {"kernel_map", [](AnimatedParameters& p) { p.floatParams[slot::kernel_rotation] = 30.0f; },
     true},
    {"rec709_reflect",
     [](AnimatedParameters& p) {
         p.intParams[slot::colorspace] = COLORSPACE_REC709;
         p.boolParams[slot::edge_mode] = 1;
         p.floatParams[slot::bokeh_power] = 4.0f;
     }},
};

// Samples the pass evaluates over the frame, rejected ones (blades, cat's eye) included: the
// count varies per pixel with falloff, and pixels under a radius of one take none.
double frameSamples(const SystemParameters& system, const SourceConnections& sources,
                    const AnimatedParameters& p) {
    double total = 0;
    for (int y = 0; y < system.height; ++y) {
        for (int x = 0; x < system.width; ++x) {
            const PixelFrame f = pixelFrame(x, y, system.width, system.height, p);
            const float radius = localBlurRadius(f, system.height, p, sources);
            const int count = sampleCount(radius, system.height, p);
            total += radius < 1.0f || count <= 0 ? 0 : count;
        }
    }
    return total;
}

void LensBlurPass(benchmark::State& state, const Look& look) {
    // A path this machine does not run falls back to another: not worth measuring again.
    const char* wanted = std::getenv("HALDEN_CPU_PATH");
    if (wanted != nullptr && *wanted != '\0' &&
        std::string(wanted) != cpu::cpuPathName(cpu::activeCpuPath())) {
        state.SkipWithError((std::string(wanted) + " does not run here").c_str());
        return;
    }
    const ofxhost::RgbaImage scene = ofxhost::DemoScene::render(kWidth, kHeight);
    DeviceImage in(kWidth, kHeight, scene.data());
    DeviceImage out(kWidth, kHeight);
    // A ring map, dimmer on the left, alpha ramping across; and a leafy occluder.
    const std::vector<float> map = pattern(256, [](float u, float v, float* p) {
        const float r = std::sqrt(u * u + v * v);
        const float level = (r > 0.4f && r < 1.0f ? 1.0f : 0.1f) * (u < 0 ? 0.5f : 1.0f);
        p[0] = level, p[1] = 0.6f * level, p[2] = 0.3f * level, p[3] = 0.5f * (u + 1);
    });
    const std::vector<float> leaves = pattern(256, [](float u, float v, float* p) {
        const float a = std::sin(9 * u + 4 * std::sin(5 * v)) * std::cos(7 * v + 3 * u);
        const float alpha = a > 0.2f ? 1.0f : 0.0f;
        p[0] = 0.1f * alpha, p[1] = 0.15f * alpha, p[2] = 0.05f * alpha, p[3] = alpha;
    });
    DeviceImage mapImage(256, 256, map.data());
    DeviceImage occluder(256, 256, leaves.data());

    AnimatedParameters params = definitionDefaults();
    params.boolParams[slot::kernel_enable] = look.kernelMap ? 1 : 0;
    look.set(params);
    SystemParameters system{};
    system.width = kWidth;
    system.height = kHeight;
    system.time = 12.0f;
    system.totalKernelExecutions = 1;
    const PipelineParameters pipeline{"BRMR Halden", "1.0"};
    SourceConnections sources{};
    sources.sources[0] = {in.texture(), 1, "Source", BORDER_CLAMP, NOINPUT_ERROR};
    sources.sources[1] = {mapImage.texture(), std::uint8_t(look.kernelMap ? 1 : 0), "KernelMap",
                          BORDER_CLAMP, NOINPUT_WHITE};
    sources.sourceCount = 2;
    BundledResources bundled{};
    if (look.occluder) {
        bundled.resources[0] = {occluder.texture(), "branches_dense", 256, 256, 4, 0, 0};
        bundled.resourceCount = 1;
    }
    const double samples = frameSamples(system, sources, params);

    for (auto _ : state) {
        call_halden_v01_kernel_Pass(nullptr, &system, &pipeline, &sources, &params, &bundled,
                                    "halden_v01.cu", 0, out.surface());
        check(gpu::runtime().streamSynchronize(0));
    }
    state.counters["samples_per_second"] =
        benchmark::Counter(samples * double(state.iterations()), benchmark::Counter::kIsRate);
    // Per core on the CPU backend, whose pool runs one thread per core.
    state.counters["samples_per_second_per_core"] = benchmark::Counter(
        samples * double(state.iterations()) / RowThreadPool::shared().threadCount(),
        benchmark::Counter::kIsRate);
    state.counters["samples_per_pixel"] = samples / (double(kWidth) * kHeight);
    state.SetLabel(std::string(look.name) + ", " + runtimeLabel());
}

// Both post-blur executions (across, then down) at the defaults over the demo scene.
void PostBlurPasses(benchmark::State& state) {
    const ofxhost::RgbaImage scene = ofxhost::DemoScene::render(kWidth, kHeight);
    DeviceImage in(kWidth, kHeight, scene.data());
    DeviceImage across(kWidth, kHeight);
    DeviceImage down(kWidth, kHeight);
    const AnimatedParameters params = definitionDefaults();
    SystemParameters system{};
    system.width = kWidth;
    system.height = kHeight;
    system.totalKernelExecutions = 2;
    const PipelineParameters pipeline{"BRMR Halden", "1.0"};
    SourceConnections sources{};
    sources.sources[0] = {in.texture(), 1, "Source", BORDER_CLAMP, NOINPUT_ERROR};
    sources.sourceCount = 1;
    const BundledResources bundled{};
    for (auto _ : state) {
        system.currentKernelExecution = 0;
        call_post_blur_kernel_Pass(nullptr, &system, &pipeline, &sources, &params, &bundled,
                                   "post_blur.cu", in.texture(), across.surface());
        system.currentKernelExecution = 1;
        call_post_blur_kernel_Pass(nullptr, &system, &pipeline, &sources, &params, &bundled,
                                   "post_blur.cu", across.texture(), down.surface());
        check(gpu::runtime().streamSynchronize(0));
    }
    state.SetLabel("defaults, " + runtimeLabel());
}

bool succeeded(OfxStatus status) {
    return status == kOfxStatOK || status == kOfxStatReplyDefault;
}

// An instance of the plug-in on the demo scene, set up as halden-render sets one up: the
// bundle loaded and described, the scene in host memory as the source, one output window.
// HALDEN_BACKEND picks the plug-in's runtime as it does for halden-render.
struct DemoInstance {
    DemoInstance(const std::filesystem::path& bundle, int width, int height)
        : session(ofxhost::CommandLine::profile(ofxhost::CliOptions{}), bundle, std::nullopt) {
        ofxhost::ProjectSettings project;
        project.size[0] = project.extent[0] = width;
        project.size[1] = project.extent[1] = height;
        project.firstFrame = project.lastFrame = 0;
        instance = &session.plugin().createInstance(session.context(), project);
        const OfxRectI bounds{0, 0, width, height};
        auto input = std::make_shared<ofxhost::HostImage>(bounds);
        const ofxhost::RgbaImage scene = ofxhost::DemoScene::render(width, height);
        std::memcpy(input->data(), scene.data(),
                    std::size_t(width) * height * ofxhost::HostImage::kPixelBytes);
        instance->setClipImage("Source", input);
        instance->setClipImage(kOfxImageEffectOutputClipName,
                               std::make_shared<ofxhost::HostImage>(bounds));
        instance->clipPreferences();
        args.window = bounds;
    }

    ofxhost::PluginSession session;
    ofxhost::EffectInstance* instance = nullptr;
    ofxhost::RenderArgs args;
};

// The whole frame at the defaults, one frame per iteration (all passes, with the plug-in's own
// uploads and downloads).
void renderFrames(benchmark::State& state, const std::filesystem::path& bundle) {
    DemoInstance demo(bundle, kWidth, kHeight);
    ofxhost::EffectInstance& instance = *demo.instance;
    if (!succeeded(instance.beginSequenceRender(0, 0, demo.args))) {
        state.SkipWithError("the plug-in could not begin rendering");
        return;
    }
    for (auto _ : state) {
        const OfxStatus status = instance.render(demo.args);
        if (!succeeded(status)) {
            state.SkipWithError(("render failed, status " + std::to_string(status)).c_str());
            break;
        }
    }
    instance.endSequenceRender(0, 0, demo.args);
}

// The bundle of the build this bench belongs to, also when the build folder was copied to
// another machine (scripts/gpu-check.sh).
std::filesystem::path gBenchPath;
std::filesystem::path bundlePath() {
    const std::filesystem::path built = HALDEN_BENCH_BUNDLE;
    const std::filesystem::path beside =
        gBenchPath.parent_path().parent_path() / "bundles" / built.filename();
    return std::filesystem::exists(beside) ? beside : built;
}

void WholeFrame(benchmark::State& state) {
    const std::filesystem::path bundle = bundlePath();
    if (!std::filesystem::exists(bundle)) {
        state.SkipWithError(("no plug-in bundle at " + bundle.string()).c_str());
        return;
    }
    try {
        renderFrames(state, bundle);
    } catch (const std::exception& error) {
        state.SkipWithError(error.what());
        return;
    }
    state.counters["threads"] = RowThreadPool::shared().threadCount();
    state.SetLabel("defaults, " + runtimeLabel());
}

// --gpu-check: one block of fixed lines for scripts/gpu-check.sh. Parity of the lens pass on
// the active runtime against the CPU reference path for every look (max abs difference, at
// 480x270), frame times through the plug-in at 1080p and UHD, the lens pass's samples/s and
// its share of the texture unit's limit (limitGs: bilinear RGBA32F samples per second the card
// can fetch; by default one per clock per SM), the device memory an instance holds, and how it
// grows over 1000 frames.
// The lens pass of one look over the demo scene on a runtime, set up once and run as often as
// asked: through the pass function (the runtime's own path) or the CPU reference per pixel.
class LensSetup {
public:
    LensSetup(gpu::Runtime& runtime, const Look& look, int width, int height)
        : runtime_(runtime), width_(width), height_(height),
          scene_(ofxhost::DemoScene::render(width, height)),
          in_(width, height, scene_.data(), runtime), out_(width, height, nullptr, runtime),
          occluder_(256, 256, leaves().data(), runtime), params_(definitionDefaults()) {
        look.set(params_);
        params_.boolParams[slot::kernel_enable] = 0;
        system_.width = width;
        system_.height = height;
        system_.time = 12.0f;
        system_.totalKernelExecutions = 1;
        sources_.sources[0] = {in_.texture(), 1, "Source", BORDER_CLAMP, NOINPUT_ERROR};
        sources_.sourceCount = 1;
        if (look.occluder) {
            bundled_.resources[0] = {occluder_.texture(), "branches_dense", 256, 256, 4, 0, 0};
            bundled_.resourceCount = 1;
        }
    }

    void run(bool reference) {
        if (reference) {
            for (int y = 0; y < height_; ++y) {
                for (int x = 0; x < width_; ++x) {
                    lensBlurPixel(x, y, system_, sources_, out_.surface(), params_, bundled_);
                }
            }
        } else {
            const PipelineParameters pipeline{"BRMR Halden", "1.0"};
            call_halden_v01_kernel_Pass(nullptr, &system_, &pipeline, &sources_, &params_,
                                        &bundled_, "halden_v01.cu", 0, out_.surface());
        }
        check(runtime_.deviceSynchronize());
    }

    std::vector<float> download() {
        std::vector<float> pixels(std::size_t(width_) * height_ * 4);
        check(runtime_.memcpy2DFromArrayAsync(pixels.data(), width_ * 16u, out_.array(), 0, 0,
                                              width_ * 16u, height_, gpu::MemcpyKind::DeviceToHost,
                                              0));
        check(runtime_.streamSynchronize(0));
        return pixels;
    }

    double samples() const { return frameSamples(system_, sources_, params_); }

private:
    static std::vector<float> leaves() {
        return pattern(256, [](float u, float v, float* p) {
            const float a = std::sin(9 * u + 4 * std::sin(5 * v)) * std::cos(7 * v + 3 * u);
            p[0] = p[1] = p[2] = a > 0.2f ? 0.1f : 0.0f;
            p[3] = a > 0.2f ? 1.0f : 0.0f;
        });
    }

    gpu::Runtime& runtime_;
    int width_, height_;
    ofxhost::RgbaImage scene_;
    DeviceImage in_, out_, occluder_;
    AnimatedParameters params_;
    SystemParameters system_{};
    SourceConnections sources_{};
    BundledResources bundled_{};
};

// Milliseconds per frame over frames renders of a width x height demo frame at the defaults
// through the plug-in, and the device memory in use after the first and after the last.
struct FrameRun {
    double ms = 0;
    double memoryAfterFirstMB = 0;
    double memoryAfterLastMB = 0;
};

// Device memory in use: the plug-in's own count on the CPU backend, whose emulated device lives
// in the bundle; else the device's, which this process shares with the plug-in.
double usedMB(DemoInstance& demo) {
    using MemoryInUse = long long (*)();
    const auto emulated = reinterpret_cast<MemoryInUse>(
        demo.session.bundle().library().symbol("haldenEmuMemoryInUse"));
    const long long bytes = emulated != nullptr ? emulated() : -1;
    if (bytes >= 0) {
        return double(bytes) / 1048576.0;
    }
    std::size_t free = 0, total = 0;
    if (gpu::runtime().memGetInfo(&free, &total) != gpu::Error::Success) {
        gpu::runtime().getLastError();
        return 0;
    }
    return double(total - free) / 1048576.0;
}

FrameRun runFrames(int width, int height, int frames) {
    DemoInstance demo(bundlePath(), width, height);
    ofxhost::EffectInstance& instance = *demo.instance;
    const ofxhost::RenderArgs& args = demo.args;
    FrameRun run;
    const double before = usedMB(demo);
    if (!succeeded(instance.beginSequenceRender(0, 0, args)) || !succeeded(instance.render(args))) {
        throw std::runtime_error("the plug-in did not render");
    }
    run.memoryAfterFirstMB = usedMB(demo) - before;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 1; i < frames; ++i) {
        if (!succeeded(instance.render(args))) {
            throw std::runtime_error("the plug-in did not render");
        }
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;
    run.ms = std::chrono::duration<double, std::milli>(elapsed).count() / std::max(1, frames - 1);
    run.memoryAfterLastMB = usedMB(demo) - before;
    instance.endSequenceRender(0, 0, args);
    return run;
}

int gpuCheck(double limitGs, int longFrames) {
    std::printf("== halden gpu-check (%s) ==\n", runtimeLabel().c_str());
    const gpu::DeviceInfo info = gpu::runtime().deviceInfo();
    if (limitGs <= 0 && info.multiprocessors > 0) {
        // Bilinear RGBA32F fetches run at quarter rate: one sample per clock per SM.
        limitGs = double(info.multiprocessors) * info.clockKHz * 1e3 / 1e9;
    }
    std::printf("device %s: %d SMs at %.0f MHz\n", info.name.c_str(), info.multiprocessors,
                info.clockKHz / 1e3);
    gpu::HostRuntime host;
    double worstAll = 0;
    for (const Look& look : kLooks) {
        if (look.kernelMap) {
            continue; // the map's clip is not part of this comparison
        }
        LensSetup device(gpu::runtime(), look, 480, 270);
        LensSetup cpu(host, look, 480, 270);
        device.run(false);
        cpu.run(true);
        const std::vector<float> a = device.download(), b = cpu.download();
        double worst = 0;
        for (std::size_t i = 0; i < a.size(); ++i) {
            worst = std::max(worst, double(std::fabs(a[i] - b[i])));
        }
        worstAll = std::max(worstAll, worst);
        std::printf("parity %-24s max abs difference %.3g\n", look.name, worst);
    }
    for (const auto& size : {std::pair<int, int>{1920, 1080}, std::pair<int, int>{3840, 2160}}) {
        const FrameRun run = runFrames(size.first, size.second, std::min(20, longFrames));
        std::printf("frame %dx%d defaults %.2f ms; instance holds %.1f MB of device memory\n",
                    size.first, size.second, run.ms, run.memoryAfterFirstMB);
    }
    {
        LensSetup pass(gpu::runtime(), kLooks[0], kWidth, kHeight);
        pass.run(false);
        const int reps = std::min(20, longFrames);
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < reps; ++i) {
            pass.run(false);
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / reps;
        const double rate = pass.samples() / seconds;
        std::printf("lens pass 1920x1080 defaults %.2f ms, %.3g samples/s", seconds * 1e3, rate);
        if (limitGs > 0) {
            std::printf(", %.1f %% of the texture unit's %.0f G samples/s",
                        100 * rate / (limitGs * 1e9), limitGs);
        }
        std::printf("\n");
    }
    const FrameRun longRun = runFrames(1920, 1080, longFrames);
    std::printf("%d frames at 1080p: device memory %.1f MB after the first, %.1f MB after the "
                "last\n",
                longFrames, longRun.memoryAfterFirstMB, longRun.memoryAfterLastMB);
    std::printf("== end (worst parity %.3g) ==\n", worstAll);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--write-scene") {
        ofxhost::ImageIo::write(ofxhost::DemoScene::render(kWidth, kHeight), argv[2]);
        return 0;
    }
    gBenchPath = std::filesystem::absolute(argv[0]);
    if (argc >= 2 && std::string(argv[1]) == "--gpu-check") {
        try {
            return gpuCheck(argc >= 3 ? std::atof(argv[2]) : 0.0,
                            argc >= 4 ? std::max(2, std::atoi(argv[3])) : 1000);
        } catch (const std::exception& error) {
            std::printf("gpu-check failed: %s\n== end ==\n", error.what());
            return 1;
        }
    }
    for (const Look& look : kLooks) {
        benchmark::RegisterBenchmark((std::string("LensBlurPass/") + look.name).c_str(),
                                     LensBlurPass, look)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    benchmark::RegisterBenchmark("PostBlurPasses/1920x1080", PostBlurPasses)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("WholeFrame/1920x1080", WholeFrame)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
