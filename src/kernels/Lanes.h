#pragma once

// The operations the per-sample kernel code is written in, for one lane: a float per CUDA thread
// or per pixel of the CPU reference. The CPU fast path declares the same names for vectors of
// floats (kernels/cpu/VectorLanes.h, included before the kernel headers), so the one source
// serves both. A mask is what a comparison gives: bool here, an integer vector there.

#include "gpu/DeviceCompat.h"

#include <math.h>

namespace kernels {

// A lane type holding v in every lane; the vector lane types specialise it.
template <typename L>
struct Splat {
    HD static L of(float v) { return v; }
};
template <typename L>
HD inline L splatL(float v) {
    return Splat<L>::of(v);
}

// Mask a without the lanes of mask b.
HD inline bool andNotL(bool a, bool b) {
    return a && !b;
}
// An RGBA value per lane.
// a * b + c for a colour or a weight, never a position: a vector of lanes may round it once
// where the processor fuses the two, as a few ulp do not matter there.
template <typename L>
HD inline L maddL(L a, L b, L c) {
    return a * b + c;
}

template <typename L>
struct Rgba {
    L x, y, z, w;
};

// A texture through the texture unit (or its emulation), one lane per call.
struct TextureFetch {
    std::uint64_t texture;
    HD Rgba<float> operator()(float u, float v) const {
        const float4 t = gpu::texFetch(texture, u, v);
        return {t.x, t.y, t.z, t.w};
    }
};

HD inline float selectL(bool m, float a, float b) {
    return m ? a : b;
}
HD inline bool anyL(bool m) {
    return m;
}
HD inline bool allL(bool m) {
    return m;
}
HD inline float minL(float a, float b) {
    return fminf(a, b);
}
HD inline float maxL(float a, float b) {
    return fmaxf(a, b);
}
HD inline float absL(float x) {
    return fabsf(x);
}
HD inline float sqrtL(float x) {
    return sqrtf(x);
}
HD inline float powL(float x, float y) {
    return powf(x, y);
}
// x^y for a colour or a weight, where a few ulp do not matter as they would in a position.
HD inline float powValueL(float x, float y) {
    return powf(x, y);
}
// The bokeh pop weight's power.
HD inline float popPowL(float x, float y) {
    return powf(x, y);
}
HD inline float floorL(float x) {
    return floorf(x);
}
// |x| = m * 2^e with m in [sqrt(1/2), sqrt(2)) for finite non-zero x, exactly.
HD inline void logSplitL(float x, float& m, float& e) {
    int k;
    const float f = frexpf(fabsf(x), &k); // in [0.5, 1)
    const bool high = 2.0f * f > 1.41421353816986083984375f;
    m = high ? f : 2.0f * f;
    e = static_cast<float>(high ? k : k - 1);
}
// q * 2^n for an integral n in [-160, 130], in two exact steps so that results down to the
// denormals keep their bits.
HD inline float scalePow2L(float q, float n) {
    const int whole = static_cast<int>(n);
    const int half = whole >> 1;
    return q * ldexpf(1.0f, half) * ldexpf(1.0f, whole - half);
}
HD inline float atan2L(float y, float x) {
    return atan2f(y, x);
}
HD inline float fmodL(float x, float y) {
    return fmodf(x, y);
}
HD inline float cosL(float x) {
    return cosf(x);
}

} // namespace kernels
