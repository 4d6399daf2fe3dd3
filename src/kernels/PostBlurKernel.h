#pragma once

// Separable Gaussian softening of the spiral-sampled result (horizontal on the first execution,
// vertical on the second), with a radius that follows the local bokeh radius. The last
// execution also applies the vignette and restores the Rec. 709 encoding.

#include "kernels/GaussianLut.h"
#include "kernels/KernelMath.h"

namespace kernels {

// Taps stop once the Gaussian weight falls below this (about 1.01 times the post radius).
constexpr float POST_BLUR_MIN_WEIGHT = 0.0001f;
constexpr int POST_BLUR_MAX_TAPS = 100;

HD inline void postBlurPixel(int x, int y, const SystemParameters& sys, std::uint64_t workingImage,
                             const SourceConnections& sources, std::uint64_t outputSurface,
                             const AnimatedParameters& p) {
    if (x >= sys.width || y >= sys.height) {
        return;
    }
    const bool last = sys.currentKernelExecution == sys.totalKernelExecutions - 1;
    const PixelFrame f = pixelFrame(x, y, sys.width, sys.height, p);
    const bool reflect = p.boolParams[slot::edge_mode] != 0;

    float4 c = gpu::texFetch(workingImage, f.u, f.v);
    const float scale = p.floatParams[slot::post_blur_scale];
    if (scale > 0.0f) {
        const float postRadius = scale * localBlurRadius(f, sys.height, p, sources);
        if (postRadius >= 0.5f) {
            const float sigma = fmaxf(postRadius / 3.0f, 0.001f);
            const int taps =
                static_cast<int>(fminf(ceilf(postRadius), static_cast<float>(POST_BLUR_MAX_TAPS)));
            const bool horizontal = sys.currentKernelExecution == 0;
            const float stepU = horizontal ? 1.0f / static_cast<float>(sys.width) : 0.0f;
            const float stepV = horizontal ? 0.0f : 1.0f / static_cast<float>(sys.height);
            float4 sum = c;
            float total = 1.0f;
            for (int d = 1; d <= taps; ++d) {
                const float w = gaussianWeight(static_cast<float>(d) / sigma);
                if (w < POST_BLUR_MIN_WEIGHT) {
                    break;
                }
                const float du = static_cast<float>(d) * stepU;
                const float dv = static_cast<float>(d) * stepV;
                const float4 t1 = gpu::texFetch(workingImage, edgeCoordinate(f.u - du, reflect),
                                                edgeCoordinate(f.v - dv, reflect));
                const float4 t2 = gpu::texFetch(workingImage, edgeCoordinate(f.u + du, reflect),
                                                edgeCoordinate(f.v + dv, reflect));
                sum.x += w * (t1.x + t2.x);
                sum.y += w * (t1.y + t2.y);
                sum.z += w * (t1.z + t2.z);
                sum.w += w * (t1.w + t2.w);
                total += 2.0f * w;
            }
            c = make_float4(sum.x / total, sum.y / total, sum.z / total, sum.w / total);
        }
    }

    if (last) {
        const float strength = p.floatParams[slot::vignette_strength];
        if (p.boolParams[slot::vignette_enable] && strength > 0.0f) {
            // Not clamped: beyond the corners (optical_scale < 1) the factor goes negative.
            const float factor =
                1.0f - strength * powf(f.rNorm, p.floatParams[slot::vignette_exponent]);
            c.x *= factor;
            c.y *= factor;
            c.z *= factor;
        }
        if (p.intParams[slot::colorspace] == COLORSPACE_REC709) {
            c.x = linearToRec709(c.x);
            c.y = linearToRec709(c.y);
            c.z = linearToRec709(c.z);
        }
    }
    gpu::surfWrite(c, outputSurface, x, y);
}

} // namespace kernels
