#pragma once

// The lens blur: every output pixel gathers a golden-angle spiral of source samples over its
// bokeh disc, shaped by the optical effects and weighted so that highlights dominate.

#include "kernels/BokehOcclusion.h"
#include "kernels/BokehShape.h"

#include <float.h>

namespace kernels {

// quality_preset multipliers; "Third" is 0.333 on purpose, not 1/3.
HD inline float qualityMultiplier(int preset) {
    switch (preset) {
    case 0:
        return 0.25f;
    case 1:
        return 0.333f;
    case 2:
        return 0.5f;
    default:
        return 1.0f;
    }
}

// The min and max sample settings scaled to the frame height.
HD inline void sampleBounds(int height, const AnimatedParameters& p, float& lo, float& hi) {
    const float q = qualityMultiplier(p.intParams[slot::quality_preset]);
    const float s = static_cast<float>(height) / REFERENCE_HEIGHT;
    const float oversample = p.floatParams[slot::oversample];
    lo = oversample * static_cast<float>(p.intParams[slot::min_samples]) * q * s;
    hi = oversample * static_cast<float>(p.intParams[slot::max_samples]) * q * s;
}

// Samples per pixel: proportional to R^2 (the raw square, not pi R^2), bounded by the min and
// max sample settings scaled to the frame height.
HD inline int sampleCount(float radius, int height, const AnimatedParameters& p) {
    float lo, hi;
    sampleBounds(height, p, lo, hi);
    const float q = qualityMultiplier(p.intParams[slot::quality_preset]);
    const float n =
        q * p.floatParams[slot::oversample] * radius * radius / p.floatParams[slot::sample_divisor];
    return static_cast<int>(fmaxf(lo, fminf(hi, n)) + 0.5f);
}

// Source colour as the blur sees it: negatives clamped to 0, linearised from Rec. 709 when
// asked. Alpha is kept as sampled.
template <typename L>
HD inline Rgba<L> blurInput(Rgba<L> c, bool linearise) {
    c.x = maxL(c.x, 0.0f);
    c.y = maxL(c.y, 0.0f);
    c.z = maxL(c.z, 0.0f);
    if (linearise) {
        c.x = rec709ToLinear(c.x);
        c.y = rec709ToLinear(c.y);
        c.z = rec709ToLinear(c.z);
    }
    return c;
}

// Golden-angle rotation (2.39996323 rad) as a 2 x 2 step, so the loop needs no trigonometry.
constexpr float GOLDEN_COS = -0.737368822f;
constexpr float GOLDEN_SIN = 0.675490379f;

// The spiral before scaling to the pixel's sample count: sample k lies at
// spiralScale * radial * (along, across), with spiralScale = sqrt(0.5 / count).
struct SpiralStep {
    float r = 1.0f;
    float a = 1.0f;
    float b = 0.0f;

    // Advances to the next sample; every sample advances, also the ones rejected later.
    HD void next() {
        r += 1.0f / r;
        const float na = GOLDEN_COS * a + GOLDEN_SIN * b;
        const float nb = GOLDEN_COS * b - GOLDEN_SIN * a;
        a = na;
        b = nb;
    }
    HD float radial() const { return r - 1.0f; }
};

// What the sample loop reads that is the same for every pixel of the frame.
struct LensUniforms {
    ShapeSetup shape;
    float aspect;
    bool reflect;
    bool linearise;
    float contrast, power, smooth;
};

HD inline LensUniforms lensUniforms(const ShapeSetup& shape, float aspect,
                                    const AnimatedParameters& p) {
    return {shape,
            aspect,
            p.boolParams[slot::edge_mode] != 0,
            p.intParams[slot::colorspace] == COLORSPACE_REC709,
            p.floatParams[slot::bokeh_contrast],
            p.floatParams[slot::bokeh_power],
            p.floatParams[slot::bokeh_smooth]};
}

// Where the pixels of the lanes are and how wide their discs are.
template <typename L, typename M>
struct PixelLanes {
    L cx, cy; // centred, aspect-corrected position
    L spread; // disc radius in v units
    ShapeLanes<L, M> shape;
};

template <typename L>
struct LensSums {
    L sumR, sumG, sumB, sumA;
    L weightR, weightG, weightB, weightA;
};

// Where a spiral sample lands for every active lane: the point (px, py) at radius rho of the
// unit disc moved by the optical effects to (qx, qy), its aperture weight w times the cat's eye.
// False when no lane is left. inverseRho, when not null, is 1 / rho, which the caller has
// computed as rho's reciprocal (rho then being the point's length); rhoPositive says that rho
// is above 0 in every lane. In two halves (see displaceSampleStart) for callers that interleave
// many samples, and whole.
template <typename L, typename M>
HD inline bool lensDisplaceStart(L px, L py, L rho, L& w, M& active, const LensUniforms& u,
                                 const PixelLanes<L, M>& pixel, L& qx, L& qy, MisalignSteps<L>& h,
                                 const L* inverseRho = nullptr, bool rhoPositive = false) {
    const ShapeSetup& shape = u.shape;
    qx = px;
    qy = py;
    KnownRadius<L> radius{rho, inverseRho != nullptr ? *inverseRho : rho, rhoPositive};
    const KnownRadius<L>* known = inverseRho != nullptr ? &radius : nullptr;
    if (anyL(pixel.shape.astigmatism)) {
        known = nullptr;
        const L push = pixel.shape.astigmatismAmount * powL(rho, 5.0f);
        qx = selectL(pixel.shape.astigmatism, qx + pixel.shape.dirx * push, qx);
        qy = selectL(pixel.shape.astigmatism, qy + pixel.shape.diry * push, qy);
    }
    if (shape.catseye) {
        const L cat = catseyeWeight(shape, pixel.shape, px, py);
        active = andNotL(active, cat < 0.0f);
        if (!anyL(active)) {
            return false;
        }
        w = w * cat;
    }
    displaceSampleStart(shape, pixel.shape, qx, qy, known, h);
    return true;
}
template <typename L, typename M>
HD inline void lensDisplaceFinish(const LensUniforms& u, const PixelLanes<L, M>& pixel, L& qx,
                                  L& qy, MisalignSteps<L>& h) {
    displaceSampleFinish(u.shape, pixel.shape, qx, qy, h);
}

template <typename L, typename M>
HD inline bool lensDisplace(L px, L py, L rho, L& w, M& active, const LensUniforms& u,
                            const PixelLanes<L, M>& pixel, L& qx, L& qy,
                            const L* inverseRho = nullptr, bool rhoPositive = false) {
    MisalignSteps<L> h{};
    if (!lensDisplaceStart(px, py, rho, w, active, u, pixel, qx, qy, h, inverseRho, rhoPositive)) {
        return false;
    }
    lensDisplaceFinish(u, pixel, qx, qy, h);
    return true;
}

// The source at the displaced point (qx, qy) as the blur sees it.
template <typename L, typename M, typename Fetch>
HD inline Rgba<L> lensFetchAt(L qx, L qy, const LensUniforms& u, const PixelLanes<L, M>& pixel,
                              const Fetch& fetch) {
    const L su = edgeCoordinate((pixel.cx + pixel.spread * qx) / u.aspect + 0.5f, u.reflect);
    const L sv = edgeCoordinate(pixel.cy + pixel.spread * qy + 0.5f, u.reflect);
    return blurInput(fetch(su, sv), u.linearise);
}

// Both of the above: the source c under the sample. False when no lane is left.
template <typename L, typename M, typename Fetch>
HD inline bool lensFetch(L px, L py, L rho, L& w, M& active, const LensUniforms& u,
                         const PixelLanes<L, M>& pixel, const Fetch& fetch, Rgba<L>& c) {
    L qx, qy;
    if (!lensDisplace(px, py, rho, w, active, u, pixel, qx, qy)) {
        return false;
    }
    c = lensFetchAt(qx, qy, u, pixel, fetch);
    return true;
}

// What a sample adds besides its colour: its weight w with the disc profile, the mean of its
// kernel colour, the alpha weight and the channel weights before the pop.
template <typename L>
struct SampleWeight {
    L w, meanK, alpha, r, g, b;
};

template <typename L>
HD inline SampleWeight<L> sampleWeight(L w, L profile, L kr, L kg, L kb) {
    w = w * profile;
    const L meanK = (kr + kg + kb) * (1.0f / 3.0f);
    return {w, meanK, w * meanK, w * kr, w * kg, w * kb};
}

// Adds a fetched sample c of weight k. Without SUM_ALPHA the alpha sum is left alone: where
// every alpha is 1 it equals the alpha weight, which the caller copies in at the end.
template <bool SUM_ALPHA = true, typename L, typename M>
HD inline void lensAccumulate(const Rgba<L>& c, const SampleWeight<L>& k, M active,
                              const LensUniforms& u, LensSums<L>& acc) {
    if (SUM_ALPHA) {
        acc.sumA = selectL(active, acc.sumA + c.w * k.w * k.meanK, acc.sumA);
    }
    acc.weightA = selectL(active, acc.weightA + k.alpha, acc.weightA);
    // Bokeh pop: each channel weighs by its own brightness, so highlights dominate the disc.
    const L contrast = splatL<L>(u.contrast), smooth = splatL<L>(u.smooth);
    const L wr = k.r * maddL(contrast, popPowL(c.x, u.power), smooth);
    const L wg = k.g * maddL(contrast, popPowL(c.y, u.power), smooth);
    const L wb = k.b * maddL(contrast, popPowL(c.z, u.power), smooth);
    acc.sumR = selectL(active, maddL(c.x, wr, acc.sumR), acc.sumR);
    acc.sumG = selectL(active, maddL(c.y, wg, acc.sumG), acc.sumG);
    acc.sumB = selectL(active, maddL(c.z, wb, acc.sumB), acc.sumB);
    acc.weightR = selectL(active, acc.weightR + wr, acc.weightR);
    acc.weightG = selectL(active, acc.weightG + wg, acc.weightG);
    acc.weightB = selectL(active, acc.weightB + wb, acc.weightB);
}

// The same for a sample of aperture weight w, with its disc profile and kernel colour.
template <typename L, typename M>
HD inline void lensAccumulate(const Rgba<L>& c, L w, L profile, L kr, L kg, L kb, M active,
                              const LensUniforms& u, LensSums<L>& acc) {
    lensAccumulate(c, sampleWeight(w, profile, kr, kg, kb), active, u, acc);
}

// One spiral sample for every active lane, with its disc profile and kernel colour.
// fetch(u, v) samples the source.
template <typename L, typename M, typename Fetch>
HD inline void lensSample(L px, L py, L rho, L w, L profile, L kr, L kg, L kb, M active,
                          const LensUniforms& u, const PixelLanes<L, M>& pixel, const Fetch& fetch,
                          LensSums<L>& acc) {
    Rgba<L> c;
    if (lensFetch(px, py, rho, w, active, u, pixel, fetch, c)) {
        lensAccumulate(c, w, profile, kr, kg, kb, active, u, acc);
    }
}

// The blurred lanes from their sums; centre where every sample was rejected: the unblurred
// pixel is then the only honest answer. A channel the kernel colour excludes entirely stays
// dark.
template <typename L>
HD inline Rgba<L> lensResult(const LensSums<L>& s, const Rgba<L>& centre) {
    const auto rejected =
        (s.weightR <= 0.0f) & (s.weightG <= 0.0f) & (s.weightB <= 0.0f) & (s.weightA <= 0.0f);
    const auto channel = [&](L sum, L weight, L own) {
        return selectL(rejected, own, selectL(weight > 0.0f, sum / weight, splatL<L>(0.0f)));
    };
    return {channel(s.sumR, s.weightR, centre.x), channel(s.sumG, s.weightG, centre.y),
            channel(s.sumB, s.weightB, centre.z), channel(s.sumA, s.weightA, centre.w)};
}

HD inline float4 lensResult(const LensSums<float>& s, float4 centre) {
    const Rgba<float> r = lensResult(s, Rgba<float>{centre.x, centre.y, centre.z, centre.w});
    return make_float4(r.x, r.y, r.z, r.w);
}

// What one pixel's sample loop reads.
struct LensPixel {
    TextureFetch source;
    PixelFrame f;
    int count; // 0: the pixel passes through
    ShapeSetup shape;
    OcclusionSetup colour;
    LensUniforms uniforms;
    PixelLanes<float, bool> lanes;
    float4 centre; // the unblurred pixel
};

HD inline LensPixel lensPixel(int x, int y, const SystemParameters& sys,
                              const SourceConnections& sources, const AnimatedParameters& p,
                              const BundledResources& bundled) {
    const int height = sys.height;
    LensPixel l;
    l.source = TextureFetch{sources.sources[0].textureObject};
    l.f = pixelFrame(x, y, sys.width, height, p);
    const float radius = localBlurRadius(l.f, height, p, sources);
    const bool linearise = p.intParams[slot::colorspace] == COLORSPACE_REC709;
    // Negatives are only clamped when they are about to be linearised.
    const Rgba<float> sampled = l.source(l.f.u, l.f.v);
    const Rgba<float> c0 = linearise ? blurInput(sampled, true) : sampled;
    l.centre = make_float4(c0.x, c0.y, c0.z, c0.w);
    l.count = sampleCount(radius, height, p);
    if (radius < 1.0f || l.count <= 0) {
        l.count = 0;
        return l;
    }
    l.shape = shapeSetup(l.f, p);
    l.colour = occlusionSetup(l.f, sys.time, p, sources, bundled);
    l.uniforms = lensUniforms(l.shape, l.f.aspect, p);
    l.lanes = {l.f.cx, l.f.cy, radius / static_cast<float>(height), shapeLanes(l.shape, l.f)};
    return l;
}

// Calls visit(px, py, rho, w, kr, kg, kb) for every spiral sample of the pixel the aperture
// keeps.
template <typename Visit>
HD inline void forEachLensSample(const LensPixel& l, Visit& visit) {
    const float spiralScale = sqrtf(0.5f / static_cast<float>(l.count));
    SpiralStep spiral;
    for (int k = 0; k < l.count; ++k) {
        spiral.next();
        const float px = spiralScale * spiral.radial() * spiral.b;
        const float py = spiralScale * spiral.radial() * spiral.a;
        const float rho = sqrtf(px * px + py * py);
        float w = 1.0f;
        if (l.shape.blades) {
            w = bladeWeight(l.shape, px, py, rho);
            if (w <= 0.0f) {
                continue;
            }
        }
        float kr, kg, kb;
        sampleColour(l.colour, l.f.aspect, px, py, kr, kg, kb);
        visit(px, py, rho, w, kr, kg, kb);
    }
}

struct SampleSums {
    const LensPixel& l;
    TextureFetch fetch;
    LensSums<float> sums;
    HD void operator()(float px, float py, float rho, float w, float kr, float kg, float kb) {
        lensSample(px, py, rho, w, discProfile(l.shape, rho), kr, kg, kb, true, l.uniforms, l.lanes,
                   fetch, sums);
    }
};

// A fetched sample as the overflow-safe pass reads it: infinities as the largest finite value,
// a NaN alpha as 0 (colours are already).
HD inline Rgba<float> finiteSample(Rgba<float> c) {
    const float big = 3.40282347e38f;
    c.x = fminf(c.x, big);
    c.y = fminf(c.y, big);
    c.z = fminf(c.z, big);
    c.w = fmaxf(fminf(c.w, big), -big);
    return c;
}

// The largest value of each channel over the pixel's samples.
struct SampleRange {
    const LensPixel& l;
    TextureFetch fetch;
    float r = 0.0f, g = 0.0f, b = 0.0f, a = 0.0f;
    HD void operator()(float px, float py, float rho, float w, float, float, float) {
        bool active = true;
        Rgba<float> c;
        if (lensFetch(px, py, rho, w, active, l.uniforms, l.lanes, fetch, c)) {
            c = finiteSample(c);
            r = fmaxf(r, c.x);
            g = fmaxf(g, c.y);
            b = fmaxf(b, c.z);
            a = fmaxf(a, fabsf(c.w));
        }
    }
};

// The sums with every channel divided by its scale s (its brightest value when above 1), and
// the pop weights by s^power: the quotient is the same, and no term can overflow.
struct ScaledSums {
    const LensPixel& l;
    TextureFetch fetch;
    float scale[4];
    float smooth[3]; // bokeh_smooth / s^power
    LensSums<float> sums;
    HD void operator()(float px, float py, float rho, float w, float kr, float kg, float kb) {
        bool active = true;
        Rgba<float> c;
        if (!lensFetch(px, py, rho, w, active, l.uniforms, l.lanes, fetch, c)) {
            return;
        }
        c = finiteSample(c);
        const LensUniforms& u = l.uniforms;
        w = w * discProfile(l.shape, rho);
        const float meanK = (kr + kg + kb) * (1.0f / 3.0f);
        sums.sumA += c.w / scale[3] * w * meanK;
        sums.weightA += w * meanK;
        const float k[3] = {kr, kg, kb};
        const float value[3] = {c.x / scale[0], c.y / scale[1], c.z / scale[2]};
        float* sum[3] = {&sums.sumR, &sums.sumG, &sums.sumB};
        float* weight[3] = {&sums.weightR, &sums.weightG, &sums.weightB};
        for (int i = 0; i < 3; ++i) {
            const float wc = w * k[i] * (u.contrast * popPowL(value[i], u.power) + smooth[i]);
            *sum[i] += value[i] * wc;
            *weight[i] += wc;
        }
    }
};

// The lanes whose sums are all finite; elsewhere they overflowed.
template <typename L>
HD inline auto finiteSums(const LensSums<L>& s) {
    const auto finite = [](L x) { return absL(x) <= FLT_MAX; };
    return finite(s.sumR) & finite(s.sumG) & finite(s.sumB) & finite(s.sumA) & finite(s.weightR) &
           finite(s.weightG) & finite(s.weightB) & finite(s.weightA);
}

// The pixel from scaled sums, for when the plain ones overflowed: a pop weight beyond the float
// range (a very bright sample, a high power or contrast) or an infinite source value.
HD inline float4 lensBlurScaled(const LensPixel& l) {
    SampleRange range{l, l.source};
    forEachLensSample(l, range);
    ScaledSums scaled{l, l.source, {1.0f, 1.0f, 1.0f, 1.0f}, {0.0f, 0.0f, 0.0f}, {}};
    const float brightest[4] = {range.r, range.g, range.b, range.a};
    for (int i = 0; i < 4; ++i) {
        scaled.scale[i] = brightest[i] > 1.0f ? brightest[i] : 1.0f;
    }
    for (int i = 0; i < 3; ++i) {
        scaled.smooth[i] = l.uniforms.smooth * powf(1.0f / scaled.scale[i], l.uniforms.power);
    }
    forEachLensSample(l, scaled);
    const float4 r = lensResult(scaled.sums, l.centre);
    return make_float4(r.x * scaled.scale[0], r.y * scaled.scale[1], r.z * scaled.scale[2],
                       r.w * scaled.scale[3]);
}

// The blurred pixel.
HD inline float4 lensBlurValue(const LensPixel& l) {
    if (l.count == 0) {
        return l.centre;
    }
    SampleSums plain{l, l.source, {}};
    forEachLensSample(l, plain);
    return finiteSums(plain.sums) ? lensResult(plain.sums, l.centre) : lensBlurScaled(l);
}

HD inline void lensBlurPixel(int x, int y, const SystemParameters& sys,
                             const SourceConnections& sources, std::uint64_t outputSurface,
                             const AnimatedParameters& p, const BundledResources& bundled) {
    if (x >= sys.width || y >= sys.height) {
        return;
    }
    gpu::surfWrite(lensBlurValue(lensPixel(x, y, sys, sources, p, bundled)), outputSurface, x, y);
}

} // namespace kernels
