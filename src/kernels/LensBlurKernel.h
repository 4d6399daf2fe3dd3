#pragma once

// The lens blur: every output pixel gathers a golden-angle spiral of source samples over its
// bokeh disc, shaped by the optical effects and weighted so that highlights dominate.

#include "kernels/BokehOcclusion.h"
#include "kernels/BokehShape.h"

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

// Samples per pixel: proportional to R^2 (the raw square, not pi R^2), bounded by the min and
// max sample settings scaled to the frame height.
HD inline int sampleCount(float radius, int height, const AnimatedParameters& p) {
    const float q = qualityMultiplier(p.intParams[slot::quality_preset]);
    const float s = static_cast<float>(height) / REFERENCE_HEIGHT;
    const float oversample = p.floatParams[slot::oversample];
    const float lo = oversample * static_cast<float>(p.intParams[slot::min_samples]) * q * s;
    const float hi = oversample * static_cast<float>(p.intParams[slot::max_samples]) * q * s;
    const float n = q * oversample * radius * radius / p.floatParams[slot::sample_divisor];
    return static_cast<int>(fmaxf(lo, fminf(hi, n)) + 0.5f);
}

// Source colour as the blur sees it: negatives clamped to 0, linearised from Rec. 709 when
// asked. Alpha is kept as sampled.
HD inline float4 blurInput(float4 c, bool linearise) {
    c.x = fmaxf(c.x, 0.0f);
    c.y = fmaxf(c.y, 0.0f);
    c.z = fmaxf(c.z, 0.0f);
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

HD inline void lensBlurPixel(int x, int y, const SystemParameters& sys,
                             const SourceConnections& sources, std::uint64_t outputSurface,
                             const AnimatedParameters& p, const BundledResources& bundled) {
    if (x >= sys.width || y >= sys.height) {
        return;
    }
    const int height = sys.height;
    const PixelFrame f = pixelFrame(x, y, sys.width, height, p);
    const float radius = localBlurRadius(f, height, p, sources);
    const bool linearise = p.intParams[slot::colorspace] == COLORSPACE_REC709;
    const std::uint64_t source = sources.sources[0].textureObject;

    // The unblurred pixel: negatives are only clamped when they are about to be linearised.
    const float4 sampled = gpu::texFetch(source, f.u, f.v);
    const float4 centre = linearise ? blurInput(sampled, true) : sampled;
    const int count = sampleCount(radius, height, p);
    if (radius < 1.0f || count <= 0) {
        gpu::surfWrite(centre, outputSurface, x, y);
        return;
    }

    const ShapeSetup shape = shapeSetup(f, p);
    const OcclusionSetup colour = occlusionSetup(f, sys.time, p, sources, bundled);
    const bool reflect = p.boolParams[slot::edge_mode] != 0;
    const float contrast = p.floatParams[slot::bokeh_contrast];
    const float power = p.floatParams[slot::bokeh_power];
    const float smooth = p.floatParams[slot::bokeh_smooth];
    const float spread = radius / static_cast<float>(height); // disc radius in v units
    const float spiralScale = sqrtf(0.5f / static_cast<float>(count));

    float r = 1.0f;
    float a = 1.0f;
    float b = 0.0f;
    float sumR = 0.0f, sumG = 0.0f, sumB = 0.0f, sumA = 0.0f;
    float weightR = 0.0f, weightG = 0.0f, weightB = 0.0f, weightA = 0.0f;
    for (int k = 0; k < count; ++k) {
        // Every sample advances the spiral, also the ones rejected below.
        r += 1.0f / r;
        const float na = GOLDEN_COS * a + GOLDEN_SIN * b;
        const float nb = GOLDEN_COS * b - GOLDEN_SIN * a;
        a = na;
        b = nb;
        const float px = spiralScale * (r - 1.0f) * b;
        const float py = spiralScale * (r - 1.0f) * a;
        const float rho = sqrtf(px * px + py * py);

        float w = 1.0f;
        if (shape.blades) {
            w = bladeWeight(shape, px, py, rho);
            if (w <= 0.0f) {
                continue;
            }
        }
        float qx = px;
        float qy = py;
        if (shape.astigmatism) {
            const float push = shape.astigmatismAmount * powf(rho, 5.0f);
            qx += f.dirx * push;
            qy += f.diry * push;
        }
        if (shape.catseye) {
            const float cat = catseyeWeight(shape, px, py);
            if (cat < 0.0f) {
                continue;
            }
            w *= cat;
        }
        displaceSample(shape, f, qx, qy);

        const float su = edgeCoordinate((f.cx + spread * qx) / f.aspect + 0.5f, reflect);
        const float sv = edgeCoordinate(f.cy + spread * qy + 0.5f, reflect);
        const float4 c = blurInput(gpu::texFetch(source, su, sv), linearise);

        w *= discProfile(shape, rho);
        float kr, kg, kb;
        sampleColour(colour, f.aspect, px, py, kr, kg, kb);

        const float meanK = (kr + kg + kb) * (1.0f / 3.0f);
        sumA += c.w * w * meanK;
        weightA += w * meanK;
        // Bokeh pop: each channel weighs by its own brightness, so highlights dominate the disc.
        const float wr = w * kr * (contrast * powf(c.x, power) + smooth);
        const float wg = w * kg * (contrast * powf(c.y, power) + smooth);
        const float wb = w * kb * (contrast * powf(c.z, power) + smooth);
        sumR += c.x * wr;
        sumG += c.y * wg;
        sumB += c.z * wb;
        weightR += wr;
        weightG += wg;
        weightB += wb;
    }

    if (weightR <= 0.0f && weightG <= 0.0f && weightB <= 0.0f && weightA <= 0.0f) {
        // Every sample was rejected: the unblurred pixel is the only honest answer.
        gpu::surfWrite(centre, outputSurface, x, y);
        return;
    }
    // A channel the kernel colour excludes entirely stays dark.
    const float4 out =
        make_float4(weightR > 0.0f ? sumR / weightR : 0.0f, weightG > 0.0f ? sumG / weightG : 0.0f,
                    weightB > 0.0f ? sumB / weightB : 0.0f, weightA > 0.0f ? sumA / weightA : 0.0f);
    gpu::surfWrite(out, outputSurface, x, y);
}

} // namespace kernels
