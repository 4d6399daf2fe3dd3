#pragma once

// Drives the pipeline kernels on small frames: images in and out of device arrays of a
// runtime, records filled with the shipped definition's defaults, and the three-pass chain.

#include "definition/EmbeddedDefinition.h"
#include "definition/XMLEffectDefinition.h"
#include "gpu/Runtime.h"
#include "kernels/KernelParameters.h"
#include "kernels/KernelPasses.h"
#include "kernels/ParameterSlots.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace harness {

struct Pixel {
    float r = 0, g = 0, b = 0, a = 0;
};

// Row 0 is the bottom row, as in OFX images and in the kernels' v coordinate.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<Pixel> pixels;

    Image() = default;
    Image(int w, int h, Pixel fill = {}) : width(w), height(h), pixels(std::size_t(w) * h, fill) {}
    Pixel& at(int x, int y) { return pixels[std::size_t(y) * width + x]; }
    const Pixel& at(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
};

inline void check(gpu::Error error, const char* what) {
    if (error != gpu::Error::Success) {
        throw std::runtime_error(std::string(what) + " failed: " + gpu::errorText(error));
    }
}

// A float RGBA array with a texture (standard sampling) and a surface over it.
class DeviceImage {
public:
    DeviceImage(gpu::Runtime& runtime, int width, int height)
        : runtime_(runtime), width_(width), height_(height) {
        check(runtime_.mallocArray(&array_, width, height, gpu::kArraySurfaceLoadStore),
              "mallocArray");
        check(runtime_.createTextureObject(&texture_, gpu::ResourceDesc::fromArray(array_),
                                           gpu::TextureDesc::standard()),
              "createTextureObject");
        check(runtime_.createSurfaceObject(&surface_, array_), "createSurfaceObject");
    }
    DeviceImage(gpu::Runtime& runtime, const Image& image)
        : DeviceImage(runtime, image.width, image.height) {
        upload(image);
    }
    ~DeviceImage() {
        runtime_.destroySurfaceObject(surface_);
        runtime_.destroyTextureObject(texture_);
        runtime_.freeArray(array_);
    }
    DeviceImage(const DeviceImage&) = delete;
    DeviceImage& operator=(const DeviceImage&) = delete;

    void upload(const Image& image) {
        check(runtime_.memcpy2DToArray(array_, 0, 0, image.pixels.data(), width_ * 16u,
                                       width_ * 16u, height_, gpu::MemcpyKind::HostToDevice),
              "memcpy2DToArray");
    }
    Image download() const {
        Image image(width_, height_);
        check(runtime_.memcpy2DFromArrayAsync(image.pixels.data(), width_ * 16u, array_, 0, 0,
                                              width_ * 16u, height_, gpu::MemcpyKind::DeviceToHost,
                                              0),
              "memcpy2DFromArrayAsync");
        check(runtime_.streamSynchronize(0), "streamSynchronize");
        return image;
    }
    gpu::TextureObject texture() const { return texture_; }
    gpu::SurfaceObject surface() const { return surface_; }

private:
    gpu::Runtime& runtime_;
    int width_;
    int height_;
    gpu::ArrayHandle array_ = 0;
    gpu::TextureObject texture_ = 0;
    gpu::SurfaceObject surface_ = 0;
};

// Slots filled with the shipped definition's defaults, in definition order.
inline kernels::AnimatedParameters defaultParameters() {
    XMLEffectDefinition definition;
    if (!definition.parseEmbedded(embeddedEffectDefinition())) {
        throw std::runtime_error("embedded definition does not parse");
    }
    kernels::AnimatedParameters p{};
    for (const ParameterDef& param : definition.parameters()) {
        if (param.type == "float" || param.type == "double") {
            p.floatParams[p.counts[kernels::COUNT_FLOAT]++] = float(param.defaultValue);
        } else if (param.type == "int" || param.type == "choice") {
            p.intParams[p.counts[kernels::COUNT_INT]++] = int(param.defaultValue);
        } else if (param.type == "bool") {
            p.boolParams[p.counts[kernels::COUNT_BOOL]++] = param.boolDefault ? 1 : 0;
        } else if (param.type == "vec2") {
            p.vec2Params[p.counts[kernels::COUNT_VEC2]++] = {
                float(param.components.at(0).defaultValue),
                float(param.components.at(1).defaultValue)};
        }
    }
    return p;
}

inline kernels::SystemParameters systemFor(int width, int height, float time = 0.0f) {
    kernels::SystemParameters s{};
    s.width = width;
    s.height = height;
    s.time = time;
    s.pixelAspect = 1.0f;
    s.aspectRatio = float(width) / float(height);
    s.renderScaleX = s.renderScaleY = 1.0f;
    s.totalKernelExecutions = s.totalKernels = s.totalPasses = 1;
    s.totalPipelineExecutions = s.totalPipelines = s.totalProcessExecutions = 1;
    s.globalBlend = 1.0f;
    s.lastRenderedTime = -1.0f;
    return s;
}

// Source in entry 0; KernelMap in entry 1 (white 1 x 1 stand-in unless a map is given).
struct Sources {
    kernels::SourceConnections record{};
    Sources(gpu::TextureObject source, gpu::TextureObject kernelMap, bool mapConnected) {
        record.sources[0] = {source, 1, "Source", kernels::BORDER_CLAMP, kernels::NOINPUT_ERROR};
        record.sources[1] = {kernelMap, std::uint8_t(mapConnected ? 1 : 0), "KernelMap",
                             kernels::BORDER_CLAMP, kernels::NOINPUT_WHITE};
        record.sourceCount = 2;
    }
};

// The post-blur's two executions as the pipeline runs them: A across into B, B down into A.
inline void postBlurAcrossThenDown(kernels::SystemParameters system, const Sources& sources,
                                   const kernels::AnimatedParameters& params, DeviceImage& a,
                                   DeviceImage& b) {
    const kernels::PipelineParameters pipeline{"BRMR Halden", "1.0"};
    kernels::BundledResources bundled{};
    system.totalKernelExecutions = 2;
    system.currentKernelExecution = 0;
    call_post_blur_kernel_Pass(nullptr, &system, &pipeline, &sources.record, &params, &bundled,
                               "post_blur.cu", a.texture(), b.surface());
    system.currentKernelExecution = 1;
    call_post_blur_kernel_Pass(nullptr, &system, &pipeline, &sources.record, &params, &bundled,
                               "post_blur.cu", b.texture(), a.surface());
}

// Distance from (cx, cy) to the farthest pixel centre brighter than the threshold, walking
// outward along a direction (degrees, 0 = +x, 90 = +y) and its neighbours within 5 degrees, so
// a gap between two spiral samples on the exact ray does not shorten the answer.
inline float extent(const Image& image, int cx, int cy, float degrees, float threshold) {
    float farthest = 0.0f;
    for (float spread = -5.0f; spread <= 5.0f; spread += 1.0f) {
        const float radians = (degrees + spread) * 3.14159265f / 180.0f;
        for (float d = 0.0f; d < float(image.width + image.height); d += 0.25f) {
            const int x = int(std::lround(cx + d * std::cos(radians)));
            const int y = int(std::lround(cy + d * std::sin(radians)));
            if (x < 0 || y < 0 || x >= image.width || y >= image.height) {
                break;
            }
            if (image.at(x, y).r > threshold) {
                farthest = std::max(farthest, std::hypot(float(x - cx), float(y - cy)));
            }
        }
    }
    return farthest;
}

} // namespace harness
