#pragma once

// Per-pixel helpers shared by the lens-blur and post-blur kernels. Everything is HD inline code
// compiled for the device by nvcc and for the CPU backend by the host compiler; single-precision
// math throughout so both backends round alike.

#include "gpu/DeviceCompat.h"
#include "kernels/KernelParameters.h"
#include "kernels/Lanes.h"
#include "kernels/ParameterSlots.h"
#include "kernels/PowerSeries.h"

#include <math.h>

namespace kernels {

// Blur sizes are given in pixels at this frame height.
constexpr float REFERENCE_HEIGHT = 1080.0f;

template <typename L>
HD inline L clampf(L v, float lo, float hi) {
    return minL(maxL(v, lo), hi);
}

// Rec. 709 inverse transfer (encoded to linear) and forward transfer.
template <typename L>
HD inline L rec709ToLinear(L c) {
    const auto linear = c < 0.081f;
    const L low = c / 4.5f;
    if (allL(linear)) {
        return low; // the power is the costly part, and dark samples are common
    }
    return selectL(linear, low, powValueL((c + 0.099f) / 1.099f, 2.2222223f));
}
template <typename L>
HD inline L linearToRec709(L c) {
    c = maxL(c, 0.0f);
    return selectL(c < 0.018f, 4.5f * c, 1.099f * powValueL(c, 0.45f) - 0.099f);
}

// The clamped exponent zc of 2^(y log2 x) for x >= 0 from x = 2^e (1 + t) / (1 - t), in float
// arithmetic alone.
template <typename L>
HD inline L shapePowExponent(L y, L e, L t) {
    return minL(maxL(y * (e + log2Atanh(t)), -160.0f), 130.0f);
}

// 2^zc for the usual case (x > 0, the result in range): 2^n 2^f with |f| <= 1/2.
template <typename L>
HD inline L shapePowFromExponent(L zc) {
    const L n = floorL(zc + 0.5f);
    const L f = zc - n;
    return scalePow2L(exp2Fraction(f), n);
}

// y = 0 needs no test of its own: with x > 0 finite, z is 0 and the power exactly 1, and
// with x infinite or NaN, z is NaN and clamps to -160.
template <typename L, typename M>
HD inline M shapePowUsual(L x, L zc) {
    return (x > 0.0f) & (zc > -160.0f) & (zc < 130.0f);
}

// The power r of shapePowFromExponent where the case is not the usual one.
template <typename L, typename M>
HD inline L shapePowEdges(L x, L y, L zc, L r) {
    r = selectL(zc >= 130.0f, splatL<L>(INFINITY), r);
    r = selectL(zc <= -160.0f, splatL<L>(0.0f), r);
    const M yPositive = y > 0.0f;
    r = selectL(x == 0.0f, selectL(yPositive, splatL<L>(0.0f), splatL<L>(INFINITY)), r);
    r = selectL(x != x, x, r);
    r = selectL(y != y, y, r);
    return selectL(y == 0.0f, splatL<L>(1.0f), r);
}

// The two halves of shapePow2L, for callers that interleave many of them: the clamped
// exponents z1 and z2, which share one division, then the powers from them.
template <typename L>
HD inline void shapePow2Exponents(L x1, L y1, L x2, L y2, L& z1, L& z2) {
    L m1, e1, m2, e2;
    logSplitL(x1, m1, e1);
    logSplitL(x2, m2, e2);
    const L a1 = m1 + 1.0f, a2 = m2 + 1.0f;
    const L inverse = 1.0f / (a1 * a2);
    z1 = shapePowExponent(y1, e1, (m1 - 1.0f) * a2 * inverse);
    z2 = shapePowExponent(y2, e2, (m2 - 1.0f) * a1 * inverse);
}
template <typename L, typename M>
HD inline void shapePow2FromExponents(L x1, L y1, L x2, L y2, L z1, L z2, L& r1, L& r2) {
    r1 = shapePowFromExponent(z1);
    r2 = shapePowFromExponent(z2);
    if (!allL(shapePowUsual<L, M>(x1, z1) & shapePowUsual<L, M>(x2, z2))) {
        r1 = shapePowEdges<L, M>(x1, y1, z1, r1);
        r2 = shapePowEdges<L, M>(x2, y2, z2, r2);
    }
}

// x1^y1 and x2^y2 for x >= 0 in float arithmetic alone, so that every backend and lane width
// computes the same bits: libm's powf differs between them by an ulp, and a fetch position an
// ulp apart can land on another 1/256 step of the texture unit's weights. Within a few ulp of
// the true powers where |y log2 x| is small; beyond the float range they saturate.
template <typename L, typename M>
HD inline void shapePow2L(L x1, L y1, L x2, L y2, L& r1, L& r2) {
    L z1, z2;
    shapePow2Exponents(x1, y1, x2, y2, z1, z2);
    shapePow2FromExponents<L, M>(x1, y1, x2, y2, z1, z2, r1, r2);
}

// Texture coordinate outside [0, 1]: clamped ("stretch") or reflected once ("reflect").
template <typename L>
HD inline L edgeCoordinate(L t, bool reflect) {
    if (!reflect) {
        return clampf(t, 0.0f, 1.0f);
    }
    t = absL(t);
    return selectL(t > 1.0f, 2.0f - t, t);
}

// A pixel's position relative to the frame and to the optical centre. Positions are centred and
// aspect-corrected: the frame spans +-aspect/2 horizontally and +-0.5 vertically.
struct PixelFrame {
    float u, v;       // normalised pixel centre
    float aspect;     // width / height
    float cx, cy;     // centred, aspect-corrected position
    float dx, dy;     // offset from the optical centre
    float dist;       // |(dx, dy)|
    float halfDiag;   // frame centre to corner
    float rNorm;      // dist over optical_scale * halfDiag: 1 at the corners
    float dirx, diry; // unit vector toward the optical centre, 0 at the centre
};

HD inline PixelFrame pixelFrame(int x, int y, int width, int height,
                                const AnimatedParameters& params) {
    PixelFrame f;
    f.u = (static_cast<float>(x) + 0.5f) / static_cast<float>(width);
    f.v = (static_cast<float>(y) + 0.5f) / static_cast<float>(height);
    f.aspect = static_cast<float>(width) / static_cast<float>(height);
    f.cx = (f.u - 0.5f) * f.aspect;
    f.cy = f.v - 0.5f;
    const Vec2f center = params.vec2Params[slot::optical_center];
    f.dx = f.cx - center.x;
    f.dy = f.cy - center.y;
    f.dist = sqrtf(f.dx * f.dx + f.dy * f.dy);
    f.halfDiag = sqrtf(0.25f * f.aspect * f.aspect + 0.25f);
    f.rNorm = f.dist / (params.floatParams[slot::optical_scale] * f.halfDiag);
    if (f.dist > 0.0001f) {
        f.dirx = -f.dx / f.dist;
        f.diry = -f.dy / f.dist;
    } else {
        f.dirx = 0.0f;
        f.diry = 0.0f;
    }
    return f;
}

// Blur radius in pixels at this pixel: blur_radius scaled to the frame height, then the depth
// falloff (radial, along a line, or from the KernelMap's alpha) when it is enabled.
HD inline float localBlurRadius(const PixelFrame& f, int height, const AnimatedParameters& params,
                                const SourceConnections& sources) {
    float radius =
        params.floatParams[slot::blur_radius] * static_cast<float>(height) / REFERENCE_HEIGHT;
    if (!params.boolParams[slot::falloff_enable]) {
        return radius;
    }
    const float strength = params.floatParams[slot::falloff_strength];
    const float rack = params.floatParams[slot::rack_focus];
    const float exponent = params.floatParams[slot::falloff_exponent];
    const int type = params.intParams[slot::falloff_type];
    const bool depthMap =
        type == FALLOFF_DEPTH_MAP && sources.sourceCount > 1 && sources.sources[1].isConnected;

    float factor;
    if (depthMap) {
        // White in the map's alpha is in focus, black fully blurred.
        const float alpha = gpu::texFetch(sources.sources[1].textureObject, f.u, f.v).w;
        factor = powf(fabsf(rack + (1.0f - alpha)), exponent);
    } else {
        float t = f.dist;
        if (type != FALLOFF_RADIAL) {
            // Signed distance from the line through the optical centre at falloff_angle.
            const float theta = params.floatParams[slot::falloff_angle] * 3.14159265f / 180.0f;
            t = f.dy * cosf(theta) - f.dx * sinf(theta);
        }
        const float scaled =
            fabsf(rack + t / (params.floatParams[slot::optical_scale] * f.halfDiag));
        factor = powf(fminf(scaled, 3.0f), exponent);
    }
    return radius * ((1.0f - strength) + strength * factor);
}

} // namespace kernels
