#pragma once

// Separable Gaussian softening of the spiral-sampled result (horizontal on the first execution,
// vertical on the second), with a radius that follows the local bokeh radius. The last
// execution also applies the vignette and restores the Rec. 709 encoding.

#include "kernels/GaussianLut.h"
#include "kernels/KernelMath.h"

#include <float.h>

namespace kernels {

// Taps stop once the Gaussian weight falls below this (about 1.01 times the post radius).
constexpr float POST_BLUR_MIN_WEIGHT = 0.0001f;
constexpr int POST_BLUR_MAX_TAPS = 100;

// The post-blur's Gaussian weights for a post radius: weight[d - 1] for tap distance d, as many
// as the radius reaches before the weight falls below POST_BLUR_MIN_WEIGHT. Returns the count.
HD inline int postBlurWeights(float postRadius, float* weight) {
    const float sigma = fmaxf(postRadius / 3.0f, 0.001f);
    const int taps =
        static_cast<int>(fminf(ceilf(postRadius), static_cast<float>(POST_BLUR_MAX_TAPS)));
    int used = 0;
    for (int d = 1; d <= taps; ++d) {
        const float w = gaussianWeight(static_cast<float>(d) / sigma);
        if (w < POST_BLUR_MIN_WEIGHT) {
            break;
        }
        weight[used++] = w;
    }
    return used;
}

// Tap weights shared by every lane: weight[d - 1] for tap distance d.
struct TapWeights {
    static constexpr bool perLane = false;
    const float* weight;
    HD float operator()(int d) const { return weight[d - 1]; }
};

// The Gaussian over the working image at (u, v), stepping (stepU, stepV) per tap, for taps
// distances. weight(d) is the weight of distance d, for all lanes or (perLane) for each; a
// lane whose taps ended before d has weight 0 there and takes nothing more.
template <typename L, typename Weight, typename Fetch>
HD inline Rgba<L> postBlurSums(L u, L v, const Weight& weight, int taps, float stepU, float stepV,
                               bool reflect, const Fetch& fetch) {
    Rgba<L> sum = fetch(u, v);
    float total = 1.0f;
    L laneTotal = splatL<L>(1.0f);
    for (int d = 1; d <= taps; ++d) {
        const auto w = weight(d);
        const float du = static_cast<float>(d) * stepU;
        const float dv = static_cast<float>(d) * stepV;
        const Rgba<L> t1 = fetch(edgeCoordinate(u - du, reflect), edgeCoordinate(v - dv, reflect));
        const Rgba<L> t2 = fetch(edgeCoordinate(u + du, reflect), edgeCoordinate(v + dv, reflect));
        if constexpr (Weight::perLane) {
            const auto used = w > 0.0f;
            sum.x = selectL(used, sum.x + w * (t1.x + t2.x), sum.x);
            sum.y = selectL(used, sum.y + w * (t1.y + t2.y), sum.y);
            sum.z = selectL(used, sum.z + w * (t1.z + t2.z), sum.z);
            sum.w = selectL(used, sum.w + w * (t1.w + t2.w), sum.w);
            laneTotal = selectL(used, laneTotal + 2.0f * w, laneTotal);
        } else {
            sum.x = sum.x + w * (t1.x + t2.x);
            sum.y = sum.y + w * (t1.y + t2.y);
            sum.z = sum.z + w * (t1.z + t2.z);
            sum.w = sum.w + w * (t1.w + t2.w);
            total += 2.0f * w;
        }
    }
    if constexpr (Weight::perLane) {
        return {sum.x / laneTotal, sum.y / laneTotal, sum.z / laneTotal, sum.w / laneTotal};
    } else {
        return {sum.x / total, sum.y / total, sum.z / total, sum.w / total};
    }
}

// Working values near the top of the float range overflow sums whose mean is finite. Lanes
// that overflowed take sums(scale) instead, the same sums over values 2^-64 as large (an exact
// scaling), scaled back and kept within the float range; the others keep their result.
constexpr float POST_BLUR_RESCUE_SCALE = 0x1p-64f;

template <typename L, typename Sums>
HD inline Rgba<L> rescueOverflow(const Rgba<L>& c, const Sums& sums) {
    const auto finite = [](L x) { return absL(x) <= FLT_MAX; };
    if (allL(finite(c.x) & finite(c.y) & finite(c.z) & finite(c.w))) {
        return c;
    }
    const Rgba<L> scaled = sums(POST_BLUR_RESCUE_SCALE);
    const auto pick = [&](L plain, L small) {
        L back = small * (1.0f / POST_BLUR_RESCUE_SCALE);
        back = selectL(back > FLT_MAX, splatL<L>(FLT_MAX), back);
        back = selectL(back < -FLT_MAX, splatL<L>(-FLT_MAX), back);
        return selectL(finite(plain), plain, back);
    };
    return {pick(c.x, scaled.x), pick(c.y, scaled.y), pick(c.z, scaled.z), pick(c.w, scaled.w)};
}

template <typename L, typename Weight, typename Fetch>
HD inline Rgba<L> postBlurGaussian(L u, L v, const Weight& weight, int taps, float stepU,
                                   float stepV, bool reflect, const Fetch& fetch) {
    return rescueOverflow(
        postBlurSums(u, v, weight, taps, stepU, stepV, reflect, fetch), [&](float scale) {
            return postBlurSums(u, v, weight, taps, stepU, stepV, reflect, [&](L a, L b) {
                const Rgba<L> t = fetch(a, b);
                return Rgba<L>{t.x * scale, t.y * scale, t.z * scale, t.w * scale};
            });
        });
}

// The last execution's vignette and Rec. 709 encoding.
template <typename L>
HD inline Rgba<L> postBlurFinish(Rgba<L> c, L rNorm, const AnimatedParameters& p) {
    const float strength = p.floatParams[slot::vignette_strength];
    if (p.boolParams[slot::vignette_enable] && strength > 0.0f) {
        // Not clamped: beyond the corners (optical_scale < 1) the factor goes negative.
        const L factor = 1.0f - strength * powValueL(rNorm, p.floatParams[slot::vignette_exponent]);
        c.x = c.x * factor;
        c.y = c.y * factor;
        c.z = c.z * factor;
    }
    if (p.intParams[slot::colorspace] == COLORSPACE_REC709) {
        c.x = linearToRec709(c.x);
        c.y = linearToRec709(c.y);
        c.z = linearToRec709(c.z);
    }
    return c;
}

HD inline void postBlurPixel(int x, int y, const SystemParameters& sys, std::uint64_t workingImage,
                             const SourceConnections& sources, std::uint64_t outputSurface,
                             const AnimatedParameters& p) {
    if (x >= sys.width || y >= sys.height) {
        return;
    }
    const bool last = sys.currentKernelExecution == sys.totalKernelExecutions - 1;
    const PixelFrame f = pixelFrame(x, y, sys.width, sys.height, p);
    const bool reflect = p.boolParams[slot::edge_mode] != 0;
    const TextureFetch fetch{workingImage};

    Rgba<float> c = fetch(f.u, f.v);
    const float scale = p.floatParams[slot::post_blur_scale];
    if (scale > 0.0f) {
        const float postRadius = scale * localBlurRadius(f, sys.height, p, sources);
        if (postRadius >= 0.5f) {
            float weight[POST_BLUR_MAX_TAPS];
            const int taps = postBlurWeights(postRadius, weight);
            const bool horizontal = sys.currentKernelExecution == 0;
            const float stepU = horizontal ? 1.0f / static_cast<float>(sys.width) : 0.0f;
            const float stepV = horizontal ? 0.0f : 1.0f / static_cast<float>(sys.height);
            c = postBlurGaussian(f.u, f.v, TapWeights{weight}, taps, stepU, stepV, reflect, fetch);
        }
    }
    if (last) {
        c = postBlurFinish(c, f.rNorm, p);
    }
    gpu::surfWrite(make_float4(c.x, c.y, c.z, c.w), outputSurface, x, y);
}

} // namespace kernels
