#pragma once

// The lane operations of kernels/Lanes.h for a vector of HALDEN_LANES floats, one pixel per lane.
// Include it before any kernel header: the kernel templates find these overloads by ordinary
// lookup, as vector types bring no namespace of their own.

#include "kernels/Lanes.h"

#include <cstdint>

#include <immintrin.h>

#if !defined(HALDEN_LANES)
#error "HALDEN_LANES must give the lane count of this translation unit"
#endif

#define HALDEN_LANE_INLINE __attribute__((always_inline)) inline

namespace kernels {

constexpr int LANES = HALDEN_LANES;
typedef float LaneF __attribute__((vector_size(HALDEN_LANES * 4)));
typedef std::int32_t LaneM __attribute__((vector_size(HALDEN_LANES * 4)));

template <>
struct Splat<LaneF> {
    // Lane by lane rather than 0 + v, which the compiler must keep (it turns -0 into +0).
    static LaneF of(float v) {
        LaneF r;
        for (int i = 0; i < HALDEN_LANES; ++i) {
            r[i] = v;
        }
        return r;
    }
};

} // namespace kernels

#include "kernels/cpu/LaneMath.h"

namespace kernels {

HALDEN_LANE_INLINE LaneF selectL(LaneM m, LaneF a, LaneF b) {
    return lanes::selectV(m, a, b);
}
HALDEN_LANE_INLINE bool anyL(LaneM m) {
    return lanes::anyV(m);
}
HALDEN_LANE_INLINE bool allL(LaneM m) {
    return lanes::allV(m);
}
HALDEN_LANE_INLINE LaneM andNotL(LaneM a, LaneM b) {
    return a & ~b;
}
// fminf and fmaxf: a NaN loses to a number.
HALDEN_LANE_INLINE LaneF minL(LaneF a, LaneF b) {
    return lanes::minV(a, b);
}
HALDEN_LANE_INLINE LaneF maxL(LaneF a, LaneF b) {
    return lanes::maxV(a, b);
}
// The processor's max (or min): b where either is NaN, and where both are zeros.
template <bool MAX>
HALDEN_LANE_INLINE LaneF extremePs(LaneF a, LaneF b) {
#if HALDEN_LANES == 16
    // The masked forms: GCC 12's unmasked ones trip -Wuninitialized on their dummy source.
    const __m512 x = reinterpret_cast<__m512>(a), y = reinterpret_cast<__m512>(b);
    const __mmask16 all = 0xffff;
    return reinterpret_cast<LaneF>(MAX ? _mm512_mask_max_ps(x, all, x, y)
                                       : _mm512_mask_min_ps(x, all, x, y));
#elif HALDEN_LANES == 8
    const __m256 x = reinterpret_cast<__m256>(a), y = reinterpret_cast<__m256>(b);
    return reinterpret_cast<LaneF>(MAX ? _mm256_max_ps(x, y) : _mm256_min_ps(x, y));
#else
    const __m128 x = reinterpret_cast<__m128>(a), y = reinterpret_cast<__m128>(b);
    return reinterpret_cast<LaneF>(MAX ? _mm_max_ps(x, y) : _mm_min_ps(x, y));
#endif
}
HALDEN_LANE_INLINE LaneF minPs(LaneF a, LaneF b) {
    return extremePs<false>(a, b);
}
HALDEN_LANE_INLINE LaneF maxPs(LaneF a, LaneF b) {
    return extremePs<true>(a, b);
}
// Against a number, fminf and fmaxf are the processor's min and max (a NaN a gives b).
HALDEN_LANE_INLINE LaneF minL(LaneF a, float b) {
    return b != b ? a : minPs(a, splatL<LaneF>(b));
}
HALDEN_LANE_INLINE LaneF maxL(LaneF a, float b) {
    return b != b ? a : maxPs(a, splatL<LaneF>(b));
}
// a * b + c, rounded once where the target fuses them.
HALDEN_LANE_INLINE LaneF maddL(LaneF a, LaneF b, LaneF c) {
#if defined(__FMA__) && HALDEN_LANES == 16
    return reinterpret_cast<LaneF>(_mm512_fmadd_ps(
        reinterpret_cast<__m512>(a), reinterpret_cast<__m512>(b), reinterpret_cast<__m512>(c)));
#elif defined(__FMA__) && HALDEN_LANES == 8
    return reinterpret_cast<LaneF>(_mm256_fmadd_ps(
        reinterpret_cast<__m256>(a), reinterpret_cast<__m256>(b), reinterpret_cast<__m256>(c)));
#else
    return a * b + c;
#endif
}
HALDEN_LANE_INLINE LaneF absL(LaneF x) {
    return lanes::absV(x);
}
HALDEN_LANE_INLINE LaneF sqrtL(LaneF x) {
    return lanes::sqrtV(x);
}
HALDEN_LANE_INLINE LaneF floorL(LaneF x) {
    return lanes::floorV(x);
}
HALDEN_LANE_INLINE LaneF powL(LaneF x, float y) {
    if (y == 0.5f) {
        // Correctly rounded, as powf is to within its ulp; the bases here are never negative.
        return lanes::sqrtV(x);
    }
    const int n = static_cast<int>(y);
    if (static_cast<float>(n) == y && n >= -64 && n <= 64) {
        // A spiral point's radius the pixels share (no pixel moved it): one power serves all,
        // computed as each lane would compute it.
        const LaneM bits = reinterpret_cast<LaneM>(x);
        if (allL(bits == bits[0])) {
            return splatL<LaneF>(
                static_cast<float>(lanes::detail::powIntDouble(static_cast<double>(x[0]), n)));
        }
        return lanes::powIntV(x, n);
    }
    return lanes::powV(x, splatL<LaneF>(y));
}
HALDEN_LANE_INLINE LaneF powValueL(LaneF x, float y) {
    return y == 0.5f ? lanes::sqrtV(x) : lanes::powFastV(x, y);
}
// The bokeh pop weight. Integral powers, the common ones, square and multiply in float: within
// a few ulp of powf, which a weight tolerates, at a third of the work of the exact path; a
// half-integral power is that times the square root. The bases are never negative.
HALDEN_LANE_INLINE LaneF popPowL(LaneF x, float y) {
    const int n = static_cast<int>(y);
    if (n < 0 || n > 64 || (static_cast<float>(n) != y && static_cast<float>(n) + 0.5f != y)) {
        return powValueL(x, y);
    }
    LaneF result = splatL<LaneF>(1.0f);
    switch (n) {
    // The powers of the defaults and presets unrolled, in the loop's order of operations.
    case 2:
        result = x * x;
        break;
    case 3:
        result = x * (x * x);
        break;
    case 4:
        result = (x * x) * (x * x);
        break;
    case 9: {
        const LaneF x4 = (x * x) * (x * x);
        result = x * (x4 * x4);
        break;
    }
    default: {
        LaneF base = x;
        for (unsigned m = static_cast<unsigned>(n); m != 0; m >>= 1) {
            if (m & 1u) {
                result = result * base;
            }
            if (m > 1u) {
                base = base * base;
            }
        }
        break;
    }
    }
    return static_cast<float>(n) != y ? result * lanes::sqrtV(x) : result;
}
HALDEN_LANE_INLINE LaneF atan2L(LaneF y, LaneF x) {
    // The angle of a sample point the pixels share (no pixel moved it): one call serves all.
    // Bits, not values: atan2 tells -0 from +0.
    const LaneM yBits = reinterpret_cast<LaneM>(y), xBits = reinterpret_cast<LaneM>(x);
    if (allL((yBits == yBits[0]) & (xBits == xBits[0]))) {
        return splatL<LaneF>(atan2f(y[0], x[0]));
    }
    return lanes::atan2V(y, x);
}
HALDEN_LANE_INLINE LaneF cosL(LaneF x) {
    return lanes::cosV(x);
}
HALDEN_LANE_INLINE void logSplitL(LaneF x, LaneF& m, LaneF& e) {
#if defined(__AVX512F__) && HALDEN_LANES == 16
    // The same split for finite x in a few instructions: getmant and getexp normalise denormals
    // exactly as the bit arithmetic does, and zero's parts are never used. The masked forms:
    // GCC 12's unmasked ones trip -Wmaybe-uninitialized on their dummy source.
    const __mmask16 all = 0xffff;
    const __m512 ax = reinterpret_cast<__m512>(absL(x));
    const __m512 mantissa =
        _mm512_mask_getmant_ps(ax, all, ax, _MM_MANT_NORM_1_2, _MM_MANT_SIGN_zero);
    const __m512 exponent = _mm512_mask_getexp_ps(ax, all, ax);
    const __mmask16 high =
        _mm512_cmp_ps_mask(mantissa, _mm512_set1_ps(1.41421353816986083984375f), _CMP_GT_OQ);
    m = reinterpret_cast<LaneF>(_mm512_mask_mul_ps(mantissa, high, mantissa, _mm512_set1_ps(0.5f)));
    e = reinterpret_cast<LaneF>(_mm512_mask_add_ps(exponent, high, exponent, _mm512_set1_ps(1.0f)));
#else
    lanes::detail::logSplit(x, m, e);
#endif
}
HALDEN_LANE_INLINE LaneF scalePow2L(LaneF q, LaneF n) {
#if defined(__AVX512F__) && HALDEN_LANES == 16
    // Rounded once, as the two exact steps below are.
    const __m512 base = reinterpret_cast<__m512>(q);
    return reinterpret_cast<LaneF>(
        _mm512_mask_scalef_ps(base, 0xffff, base, reinterpret_cast<__m512>(n)));
#endif
    const LaneM whole = __builtin_convertvector(n, LaneM);
    const LaneM half = whole >> 1;
    return q * reinterpret_cast<LaneF>((half + 127) << 23) *
           reinterpret_cast<LaneF>((whole - half + 127) << 23);
}
HALDEN_LANE_INLINE LaneF fmodL(LaneF x, float y) {
    return lanes::fmodV(x, splatL<LaneF>(y));
}

} // namespace kernels
