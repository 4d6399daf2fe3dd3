// Throughput of the lens-blur pass on the active backend (CPU here, CUDA where a device answers),
// at 960x540 with the definition's defaults over a scene of small bright lights.
#include "definition/EmbeddedDefinition.h"
#include "definition/XMLEffectDefinition.h"
#include "gpu/Runtime.h"
#include "kernels/KernelPasses.h"
#include "kernels/LensBlurKernel.h"
#include "kernels/RowThreadPool.h"
#include "kernels/cpu/FastPaths.h"

#include <benchmark/benchmark.h>

#include <random>
#include <stdexcept>
#include <string>
#include <vector>

using namespace kernels;

namespace {

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

void LensBlurPass(benchmark::State& state) {
    const int width = int(state.range(0));
    const int height = int(state.range(1));
    gpu::Runtime& runtime = gpu::runtime();

    std::vector<float> pixels(std::size_t(width) * height * 4, 0.05f);
    std::mt19937 random(3);
    for (int i = 0; i < width * height / 300; ++i) {
        const std::size_t at = (random() % (std::size_t(width) * height)) * 4;
        pixels[at] = pixels[at + 1] = pixels[at + 2] = 2.0f + float(random() % 800) / 100.0f;
    }
    gpu::ArrayHandle in = 0, out = 0;
    gpu::TextureObject texture = 0;
    gpu::SurfaceObject surface = 0;
    check(runtime.mallocArray(&in, width, height, 0));
    check(runtime.mallocArray(&out, width, height, gpu::kArraySurfaceLoadStore));
    check(runtime.memcpy2DToArray(in, 0, 0, pixels.data(), width * 16u, width * 16u, height,
                                  gpu::MemcpyKind::HostToDevice));
    check(runtime.createTextureObject(&texture, gpu::ResourceDesc::fromArray(in),
                                      gpu::TextureDesc::standard()));
    check(runtime.createSurfaceObject(&surface, out));

    const AnimatedParameters params = definitionDefaults();
    SystemParameters system{};
    system.width = width;
    system.height = height;
    system.totalKernelExecutions = 1;
    const PipelineParameters pipeline{"BRMR Halden", "1.0"};
    SourceConnections sources{};
    sources.sources[0].textureObject = texture;
    sources.sources[0].isConnected = 1;
    sources.sourceCount = 2;
    const BundledResources bundled{};

    for (auto _ : state) {
        call_halden_v01_kernel_Pass(nullptr, &system, &pipeline, &sources, &params, &bundled,
                                    "halden_v01.cu", 0, surface);
        check(runtime.streamSynchronize(0));
    }
    // Every pixel of the frame takes the same count with the defaults (no falloff).
    const float radius = params.floatParams[slot::blur_radius] * float(height) / 1080.0f;
    const double samples = double(sampleCount(radius, height, params)) * width * height;
    state.counters["samples_per_second"] =
        benchmark::Counter(samples * double(state.iterations()), benchmark::Counter::kIsRate);
    // Per core on the CPU backend, whose pool runs one thread per core.
    state.counters["samples_per_second_per_core"] = benchmark::Counter(
        samples * double(state.iterations()) / RowThreadPool::shared().threadCount(),
        benchmark::Counter::kIsRate);
    state.counters["samples_per_pixel"] = samples / (double(width) * height);
    // HALDEN_CPU_PATH picks the CPU path to measure: reference, sse2, avx2 or avx512.
    state.SetLabel(std::string(runtime.name()) + " " +
                   kernels::cpu::cpuPathName(kernels::cpu::activeCpuPath()));

    runtime.destroySurfaceObject(surface);
    runtime.destroyTextureObject(texture);
    runtime.freeArray(out);
    runtime.freeArray(in);
}

BENCHMARK(LensBlurPass)->Args({960, 540})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(LensBlurPass)->Args({1920, 1080})->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
