#pragma once

// Single-precision math on GCC vector types for the CPU fast path, which evaluates the blur for
// 4, 8 or 16 pixels at once. The same header is built for SSE2, AVX2 and AVX-512, and every
// function returns the same bits on each: intrinsics appear only where they are exact (rounding,
// square root, mask tests), and the transcendental cores run in double and round once to float,
// so they land within an ulp of libm without needing FMA.

#include "kernels/PowerSeries.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <utility>
#if defined(__SSE2__)
#include <immintrin.h>
#endif

// Vectors wider than the target's registers are passed differently, which only matters across
// translation units; everything here is inline.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"

// Forced inline: out-of-line copies of wide-vector functions would cost calls in the pixel loops
// and draw ABI notes from GCC on narrower targets.
#define LANE_MATH_INLINE inline __attribute__((always_inline))

namespace kernels::lanes {

template <int N>
struct LaneTypes {
    typedef float F __attribute__((vector_size(N * 4)));
    typedef std::int32_t I __attribute__((vector_size(N * 4)));
};

// One namespace per instruction set: a copy the compiler did not inline must not be merged at
// link time with a copy built for another target.
#if defined(__AVX512F__)
inline namespace avx512 {
#elif defined(__AVX2__)
inline namespace avx2 {
#elif defined(__AVX__)
inline namespace avx {
#elif defined(__SSE4_1__)
inline namespace sse41 {
#else
inline namespace base {
#endif

namespace detail {

#if defined(__AVX512F__)
constexpr std::size_t NATIVE_BYTES = 64;
#elif defined(__AVX__)
constexpr std::size_t NATIVE_BYTES = 32;
#else
constexpr std::size_t NATIVE_BYTES = 16;
#endif

template <class V>
using MaskOf = decltype(V{} < V{});

template <class V>
using ElementOf = std::remove_reference_t<decltype(std::declval<V&>()[0])>;

template <class V>
constexpr int lanesOf() {
    return int(sizeof(V) / sizeof(ElementOf<V>));
}

template <class V>
struct Half {
    typedef ElementOf<V> T __attribute__((vector_size(sizeof(V) / 2)));
};

// The double-precision twin of a float vector, with as many lanes.
template <class F>
struct Wide {
    typedef double D __attribute__((vector_size(sizeof(F) * 2)));
    typedef std::int64_t L __attribute__((vector_size(sizeof(F) * 2)));
    using I = MaskOf<F>;
};

template <class V, class S>
LANE_MATH_INLINE V broadcast(S s) {
    return s - V{}; // s - (+0) keeps the sign of a zero s
}

// Lanes of m are 0 or all ones. The vector conditional keeps a compare's mask register where
// the target has them, and blends in one instruction.
template <class V, class M>
LANE_MATH_INLINE V blend(const M& m, const V& a, const V& b) {
    return m ? a : b;
}

template <class V>
LANE_MATH_INLINE void splitHalves(const V& v, typename Half<V>::T& lo, typename Half<V>::T& hi) {
    std::memcpy(&lo, &v, sizeof lo);
    std::memcpy(&hi, reinterpret_cast<const char*>(&v) + sizeof lo, sizeof hi);
}

template <class V>
LANE_MATH_INLINE V joinHalves(const typename Half<V>::T& lo, const typename Half<V>::T& hi) {
    V v;
    std::memcpy(&v, &lo, sizeof lo);
    std::memcpy(reinterpret_cast<char*>(&v) + sizeof lo, &hi, sizeof hi);
    return v;
}

template <class F>
LANE_MATH_INLINE typename Wide<F>::D widen(const F& x) {
    return __builtin_convertvector(x, typename Wide<F>::D);
}

template <class F>
LANE_MATH_INLINE F narrow(const typename Wide<F>::D& x) {
    return __builtin_convertvector(x, F);
}

template <class D>
LANE_MATH_INLINE D absD(const D& x) {
    using L = MaskOf<D>;
    return (D)((L)x & (L)broadcast<L>(0x7fffffffffffffffLL));
}

// The double work runs on pieces whose double twin fills one register: GCC turns compares on
// wider double vectors into scalar code.
template <class F>
struct Chunk {
    static constexpr std::size_t BYTES =
        sizeof(F) * 2 <= NATIVE_BYTES ? sizeof(F) : NATIVE_BYTES / 2;
    static constexpr int COUNT = int(sizeof(F) / BYTES);
    typedef float K __attribute__((vector_size(BYTES)));
};

template <class K, class F>
LANE_MATH_INLINE K piece(const F& v, int i) {
    K k;
    std::memcpy(&k, reinterpret_cast<const char*>(&v) + i * sizeof(K), sizeof k);
    return k;
}

template <class F, class K>
LANE_MATH_INLINE F joinPieces(const K* pieces) {
    F v;
    std::memcpy(&v, pieces, sizeof v);
    return v;
}

// fn applied to matching pieces of the arguments, reassembled.
template <class F, class Fn, class... Args>
LANE_MATH_INLINE F perChunk(const Fn& fn, const Args&... args) {
    using K = typename Chunk<F>::K;
    K out[Chunk<F>::COUNT];
    for (int i = 0; i < Chunk<F>::COUNT; ++i) {
        out[i] = fn(piece<K>(args, i)...);
    }
    return joinPieces<F>(out);
}

// |x| = m * 2^e with m in [sqrt(1/2), sqrt(2)) for finite non-zero x; e is returned as a float.
template <class F>
LANE_MATH_INLINE void logSplit(const F& value, F& m, F& e) {
    using I = MaskOf<F>;
    F x = (F)((I)value & 0x7fffffff);
    const I tiny = x < 0x1p-126f; // denormals: scale into the normal range first
    x = blend(tiny, x * 0x1p23f, x);
    I bits = (I)x;
    I exponent = ((bits >> 23) & 0xff) - 127 - (tiny & 23);
    bits = (bits & 0x007fffff) | 0x3f800000;
    const I high = bits > 0x3fb504f3; // mantissa above sqrt(2): halve it, so |t| <= 0.1716
    bits -= high & 0x00800000;
    m = (F)bits;
    e = __builtin_convertvector(exponent - high, F);
}

// log2(m * 2^e) in double, to about 1e-14.
template <class K>
LANE_MATH_INLINE typename Wide<K>::D log2Join(const K& mantissa, const K& e) {
    using D = typename Wide<K>::D;
    const D m = widen(mantissa);
    const D t = (m - 1.0) / (m + 1.0);
    const D t2 = t * t;
    // ln(m) = 2 atanh(t); the first omitted term is below 2e-14.
    D p = broadcast<D>(2.0 / 15);
    p = p * t2 + 2.0 / 13;
    p = p * t2 + 2.0 / 11;
    p = p * t2 + 2.0 / 9;
    p = p * t2 + 2.0 / 7;
    p = p * t2 + 2.0 / 5;
    p = p * t2 + 2.0 / 3;
    const D ln = t * (2.0 + t2 * p);
    return widen(e) + ln * 1.4426950408889634;
}

// 2^z rounded once to float; beyond the float range it saturates to +inf or 0. NaN stays NaN.
template <class K>
LANE_MATH_INLINE K exp2Core(const typename Wide<K>::D& exponent) {
    using D = typename Wide<K>::D;
    using L = typename Wide<K>::L;
    D z = blend(exponent > 130.0, broadcast<D>(130.0), exponent);
    z = blend(z < -160.0, broadcast<D>(-160.0), z);
    const D shifted = z + 0x1.8p52; // the low mantissa bits now hold round(z)
    const D f = z - (shifted - 0x1.8p52);
    // 2^f for |f| <= 1/2; the first omitted term is below 3e-13.
    D p = broadcast<D>(7.054911620801123e-09);
    p = p * f + 1.01780860092397e-07;
    p = p * f + 1.321548679014431e-06;
    p = p * f + 1.5252733804059841e-05;
    p = p * f + 0.0001540353039338161;
    p = p * f + 0.0013333558146428443;
    p = p * f + 0.009618129107628477;
    p = p * f + 0.05550410866482158;
    p = p * f + 0.24022650695910072;
    p = p * f + 0.6931471805599453;
    p = p * f + 1.0;
    const D scale = (D)(((L)shifted + 1023) << 52);
    return narrow<K>(p * scale);
}

struct Exp2Piece {
    template <class K>
    LANE_MATH_INLINE K operator()(const K& x) const {
        return exp2Core<K>(widen(x));
    }
};

struct Log2Piece {
    template <class K>
    LANE_MATH_INLINE K operator()(const K& m, const K& e) const {
        return narrow<K>(log2Join(m, e));
    }
};

struct PowPiece {
    template <class K>
    LANE_MATH_INLINE K operator()(const K& m, const K& e, const K& y) const {
        return exp2Core<K>(widen(y) * log2Join(m, e));
    }
};

// x^n by repeated squaring in double (a double or a vector of them), so the result is rounded
// once when narrowed.
template <class D>
LANE_MATH_INLINE D powIntDouble(D base, int n) {
    D r = D{} + 1.0;
    for (unsigned m = n < 0 ? 0u - unsigned(n) : unsigned(n); m != 0; m >>= 1) {
        if (m & 1u) {
            r *= base;
        }
        if (m > 1u) {
            base *= base;
        }
    }
    if (n < 0) {
        r = 1.0 / r;
    }
    return r;
}

struct PowIntPiece {
    int n;
    template <class K>
    LANE_MATH_INLINE K operator()(const K& x) const {
        return narrow<K>(powIntDouble(widen(x), n));
    }
};

// sin and cos of the reduced argument and the quadrant k (as a float). Accurate while k * P1 is
// exact, |x| up to about 4e6; beyond that the reduced argument is clamped, which keeps the
// results finite and within [-1, 1].
template <class K>
LANE_MATH_INLINE void sinCosPiece(const K& x, K& s, K& c, K& k) {
    using D = typename Wide<K>::D;
    const D xd = widen(x);
    const D kd = (xd * 0.6366197723675814 + 0x1.8p52) - 0x1.8p52;
    // pi/2 = P1 + P2 with P1 holding 31 bits.
    D r = (xd - kd * 0x1.921fb544p+0) - kd * 0x1.0b4611a626331p-34;
    r = blend(r > 0.79, broadcast<D>(0.79), r);
    r = blend(r < -0.79, broadcast<D>(-0.79), r);
    const D r2 = r * r;
    // Taylor terms to r^13 and r^12; the first omitted ones are below 3e-14 on |r| <= 0.79.
    D ps = broadcast<D>(1.0 / 6227020800.0);
    ps = ps * r2 - 1.0 / 39916800.0;
    ps = ps * r2 + 1.0 / 362880.0;
    ps = ps * r2 - 1.0 / 5040.0;
    ps = ps * r2 + 1.0 / 120.0;
    ps = ps * r2 - 1.0 / 6.0;
    D pc = broadcast<D>(1.0 / 479001600.0);
    pc = pc * r2 - 1.0 / 3628800.0;
    pc = pc * r2 + 1.0 / 40320.0;
    pc = pc * r2 - 1.0 / 720.0;
    pc = pc * r2 + 1.0 / 24.0;
    pc = pc * r2 - 0.5;
    s = narrow<K>(r + r * r2 * ps);
    c = narrow<K>(1.0 + r2 * pc);
    k = narrow<K>(kd);
}

struct Atan2Piece {
    template <class K>
    LANE_MATH_INLINE K operator()(const K& y, const K& x) const {
        using D = typename Wide<K>::D;
        using L = typename Wide<K>::L;
        const double inf = __builtin_inf();
        const D yd = widen(y), xd = widen(x);
        const D ay = absD(yd), ax = absD(xd);
        const L swap = ay > ax;
        D a = blend(swap, ax, ay), b = blend(swap, ay, ax);
        // Both zero, or the larger one infinite: the ratio is 0, or 1 when both are infinite.
        const L bInf = b == inf;
        const L degenerate = ((b == 0.0) | bInf) & (a == a);
        a = blend(degenerate, blend(bInf & (a == inf), broadcast<D>(1.0), D{}), a);
        b = blend(degenerate, broadcast<D>(1.0), b);
        // atan(a / b) = c + atan(u) with c the nearest multiple of pi/12, so |u| <= tan(pi/24).
        D tc = D{}, c = D{};
        L m = a > b * 0.13165249758739586;
        tc = blend(m, broadcast<D>(0.2679491924311227), tc);
        c = blend(m, broadcast<D>(0.26179938779914946), c);
        m = a > b * 0.41421356237309503;
        tc = blend(m, broadcast<D>(0.5773502691896257), tc);
        c = blend(m, broadcast<D>(0.5235987755982989), c);
        m = a > b * 0.7673269879789604;
        tc = blend(m, broadcast<D>(1.0), tc);
        c = blend(m, broadcast<D>(0.7853981633974483), c);
        const D u = (a - b * tc) / (b + a * tc);
        const D u2 = u * u;
        // Taylor terms to u^15; the first omitted one is below 1e-16.
        D p = broadcast<D>(-1.0 / 15);
        p = p * u2 + 1.0 / 13;
        p = p * u2 - 1.0 / 11;
        p = p * u2 + 1.0 / 9;
        p = p * u2 - 1.0 / 7;
        p = p * u2 + 1.0 / 5;
        p = p * u2 - 1.0 / 3;
        D theta = c + (u + u * u2 * p);
        theta = blend(swap, 1.5707963267948966 - theta, theta);
        const D signX = (D)(((L)xd & (L)broadcast<D>(-0.0)) | (L)broadcast<D>(1.0));
        theta = blend(signX < 0.0, 3.141592653589793 - theta, theta);
        theta = (D)((L)theta | ((L)yd & (L)broadcast<D>(-0.0)));
        return narrow<K>(theta);
    }
};

// x - trunc(x / y) * y: while |x / y| < 2^23 the truncated quotient and its product with y are
// exact in double, and so is the difference because the true remainder is a float.
struct FmodPiece {
    template <class K>
    LANE_MATH_INLINE K operator()(const K& x, const K& y) const {
        using D = typename Wide<K>::D;
        using L = typename Wide<K>::L;
        const D xd = widen(x), yd = widen(y);
        const D q = xd / yd;
        const D aq = absD(q);
        D t = (aq + 0x1p52) - 0x1p52; // nearest below 2^52; step down where that rounded up
        t = blend(t > aq, t - 1.0, t);
        t = blend(aq < 0x1p52, t, aq); // huge, infinite or NaN: as is
        t = (D)((L)t | ((L)q & (L)broadcast<D>(-0.0)));
        return narrow<K>(xd - t * yd);
    }
};

} // namespace detail

template <class F>
LANE_MATH_INLINE F splat(float v) {
    return detail::broadcast<F>(v);
}

template <class F>
LANE_MATH_INLINE F selectV(const detail::MaskOf<F>& mask, const F& a, const F& b) {
    return detail::blend(mask, a, b);
}

template <class I>
LANE_MATH_INLINE bool anyV(const I& mask) {
#if defined(__AVX512F__)
    if constexpr (sizeof(I) == 64) {
        return _mm512_test_epi32_mask((__m512i)mask, (__m512i)mask) != 0;
    }
#endif
#if defined(__AVX__)
    if constexpr (sizeof(I) == 32) {
        return !_mm256_testz_si256((__m256i)mask, (__m256i)mask);
    }
#endif
#if defined(__SSE2__)
    if constexpr (sizeof(I) == 16) {
        return _mm_movemask_ps((__m128)mask) != 0;
    }
#endif
    if constexpr (sizeof(I) > 16) {
        typename detail::Half<I>::T lo, hi;
        detail::splitHalves(mask, lo, hi);
        return anyV(lo | hi);
    } else {
        std::int32_t acc = 0;
        for (int i = 0; i < detail::lanesOf<I>(); ++i) {
            acc |= mask[i];
        }
        return acc != 0;
    }
}

template <class I>
LANE_MATH_INLINE bool allV(const I& mask) {
#if defined(__AVX512F__)
    if constexpr (sizeof(I) == 64) {
        return _mm512_test_epi32_mask((__m512i)mask, (__m512i)mask) == 0xffff;
    }
#endif
#if defined(__AVX__)
    if constexpr (sizeof(I) == 32) {
        return _mm256_testc_si256((__m256i)mask, _mm256_set1_epi32(-1));
    }
#endif
#if defined(__SSE2__)
    if constexpr (sizeof(I) == 16) {
        return _mm_movemask_ps((__m128)mask) == 0xf;
    }
#endif
    if constexpr (sizeof(I) > 16) {
        typename detail::Half<I>::T lo, hi;
        detail::splitHalves(mask, lo, hi);
        return allV(lo & hi);
    } else {
        std::int32_t acc = -1;
        for (int i = 0; i < detail::lanesOf<I>(); ++i) {
            acc &= mask[i];
        }
        return acc == -1;
    }
}

template <class F>
LANE_MATH_INLINE F absV(const F& x) {
    return (F)((detail::MaskOf<F>)x & 0x7fffffff);
}

// fminf/fmaxf: a NaN in one argument yields the other.
template <class F>
LANE_MATH_INLINE F minV(const F& a, const F& b) {
    return detail::blend((a < b) | (b != b), a, b);
}

template <class F>
LANE_MATH_INLINE F maxV(const F& a, const F& b) {
    return detail::blend((a > b) | (b != b), a, b);
}

template <class F>
LANE_MATH_INLINE F floorV(const F& x) {
#if defined(__AVX512F__)
    if constexpr (sizeof(F) == 64) {
        // The masked forms: GCC 12's unmasked ones trip -Wuninitialized on their dummy source.
        return (F)_mm512_mask_roundscale_ps((__m512)x, 0xffff, (__m512)x,
                                            _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC);
    }
#endif
#if defined(__AVX__)
    if constexpr (sizeof(F) == 32) {
        return (F)_mm256_round_ps((__m256)x, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC);
    }
#endif
#if defined(__SSE4_1__)
    if constexpr (sizeof(F) == 16) {
        return (F)_mm_round_ps((__m128)x, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC);
    }
    if constexpr (sizeof(F) > detail::NATIVE_BYTES) {
        typename detail::Half<F>::T lo, hi;
        detail::splitHalves(x, lo, hi);
        return detail::joinHalves<F>(floorV(lo), floorV(hi));
    }
#endif
    using I = detail::MaskOf<F>;
    // Below 2^23 truncate through int32 and step down where that rounded up; larger magnitudes,
    // infinities and NaN are already integral (or NaN) and pass through.
    const I small = absV(x) < 0x1p23f;
    F t = __builtin_convertvector(__builtin_convertvector((F)((I)x & small), I), F);
    t -= (F)((I)(t > x) & (I)splat<F>(1.0f));
    t = (F)((I)t | ((I)x & INT32_MIN)); // floor(-0) = -0
    return detail::blend(small, t, x);
}

template <class F>
LANE_MATH_INLINE F sqrtV(const F& x) {
#if defined(__AVX512F__)
    if constexpr (sizeof(F) == 64) {
        return (F)_mm512_mask_sqrt_ps((__m512)x, 0xffff, (__m512)x);
    }
#endif
#if defined(__AVX__)
    if constexpr (sizeof(F) == 32) {
        return (F)_mm256_sqrt_ps((__m256)x);
    }
#endif
#if defined(__SSE2__)
    if constexpr (sizeof(F) == 16) {
        return (F)_mm_sqrt_ps((__m128)x);
    }
    if constexpr (sizeof(F) > detail::NATIVE_BYTES) {
        typename detail::Half<F>::T lo, hi;
        detail::splitHalves(x, lo, hi);
        return detail::joinHalves<F>(sqrtV(lo), sqrtV(hi));
    }
#endif
    F r = x;
    for (int i = 0; i < detail::lanesOf<F>(); ++i) {
        r[i] = __builtin_sqrtf(r[i]);
    }
    return r;
}

template <class F>
LANE_MATH_INLINE F exp2V(const F& x) {
    return detail::perChunk<F>(detail::Exp2Piece{}, x);
}

template <class F>
LANE_MATH_INLINE F log2V(const F& x) {
    const float inf = __builtin_inff();
    F m, e;
    detail::logSplit(x, m, e);
    F r = detail::perChunk<F>(detail::Log2Piece{}, m, e);
    r = selectV(x == 0.0f, splat<F>(-inf), r);
    r = selectV(x == inf, x, r);
    r = selectV(x < 0.0f, splat<F>(__builtin_nanf("")), r);
    return selectV(x != x, x, r);
}

// powf for x >= 0 or NaN; a negative x (-0 included) is taken as |x|.
template <class F>
LANE_MATH_INLINE F powV(const F& x, const F& y) {
    const float inf = __builtin_inff();
    F m, e;
    detail::logSplit(x, m, e);
    F r = detail::perChunk<F>(detail::PowPiece{}, m, e, y);
    const auto yPositive = y > 0.0f;
    r = selectV(x == 0.0f, selectV(yPositive, splat<F>(0.0f), splat<F>(inf)), r);
    r = selectV(x == inf, selectV(yPositive, splat<F>(inf), splat<F>(0.0f)), r);
    r = selectV(x != x, x, r);
    r = selectV(y != y, y, r);
    return selectV((x == 1.0f) | (y == 0.0f), splat<F>(1.0f), r);
}

namespace detail {

// x^y in float for finite non-zero x, saturated beyond the float range: powFastV's body.
template <class F>
LANE_MATH_INLINE F powFastCore(const F& x, const F& y) {
    using I = MaskOf<F>;
    F m, e;
    logSplit(x, m, e);
    const F z = y * (e + log2Atanh((m - 1.0f) / (m + 1.0f)));
    // 2^z = 2^n 2^f with |f| <= 1/2, the scale applied in two steps so that results down to
    // the denormals keep their bits.
    const F low = broadcast<F>(-160.0f), high = broadcast<F>(130.0f);
    const F above = z > low ? z : low; // a NaN z becomes low
    const F zc = above < high ? above : high;
    const F n = floorV(zc + 0.5f);
    const F f = zc - n;
    const F q = exp2Fraction(f);
    const I ni = __builtin_convertvector(n, I);
    const I half = ni >> 1;
    const F scaleA = (F)((half + 127) << 23);
    const F scaleB = (F)((ni - half + 127) << 23);
    F r = q * scaleA * scaleB;
    r = blend(zc >= 130.0f, broadcast<F>(__builtin_inff()), r);
    return blend(zc <= -160.0f, F{}, r);
}

} // namespace detail

// x^y in float alone, for colours and weights: within 2e-6 relative where |y log2 x| is
// below 30 (the error grows with it), several times faster than powV. Bases and special cases
// as powV. Not for positions, where an ulp moves a texel weight.
template <class F>
LANE_MATH_INLINE F powFastV(const F& x, const F& y) {
    const float inf = __builtin_inff();
    F r = detail::powFastCore(x, y);
    const auto yPositive = y > 0.0f;
    r = selectV(x == 0.0f, selectV(yPositive, splat<F>(0.0f), splat<F>(inf)), r);
    r = selectV(x == inf, selectV(yPositive, splat<F>(inf), splat<F>(0.0f)), r);
    r = selectV(x != x, x, r);
    r = selectV(y != y, y, r);
    return selectV((x == 1.0f) | (y == 0.0f), splat<F>(1.0f), r);
}

// The same for one exponent in every lane: its special cases are settled once. Where y is
// finite and not 0, x = 1 gives exactly 1 without a test (log2 1 = 0, 2^0 = 1).
template <class F>
LANE_MATH_INLINE F powFastV(const F& x, float y) {
    if (y == 0.0f || y != y || y == __builtin_inff() || y == -__builtin_inff()) {
        return powFastV(x, splat<F>(y));
    }
    const float inf = __builtin_inff();
    F r = detail::powFastCore(x, splat<F>(y));
    r = selectV(x == 0.0f, splat<F>(y > 0.0f ? 0.0f : inf), r);
    r = selectV(x == inf, splat<F>(y > 0.0f ? inf : 0.0f), r);
    return selectV(x != x, x, r);
}

template <class F>
LANE_MATH_INLINE F powIntV(const F& x, int n) {
    return detail::perChunk<F>(detail::PowIntPiece{n}, x);
}

template <class F>
LANE_MATH_INLINE void sincosV(const F& x, F& s, F& c) {
    using I = detail::MaskOf<F>;
    using K = typename detail::Chunk<F>::K;
    constexpr int n = detail::Chunk<F>::COUNT;
    K sp[n], cp[n], kp[n];
    for (int i = 0; i < n; ++i) {
        detail::sinCosPiece(detail::piece<K>(x, i), sp[i], cp[i], kp[i]);
    }
    const F sr = detail::joinPieces<F>(sp), cr = detail::joinPieces<F>(cp);
    const I q = (I)(detail::joinPieces<F>(kp) + 0x1.8p23f); // low bits: the quadrant
    const I odd = (q & 1) != 0;
    const I signBit = detail::broadcast<I>(INT32_MIN);
    s = (F)((I)selectV(odd, cr, sr) ^ (((q & 2) != 0) & signBit));
    c = (F)((I)selectV(odd, sr, cr) ^ ((((q + 1) & 2) != 0) & signBit));
}

template <class F>
LANE_MATH_INLINE F sinV(const F& x) {
    F s, c;
    sincosV(x, s, c);
    return s;
}

template <class F>
LANE_MATH_INLINE F cosV(const F& x) {
    F s, c;
    sincosV(x, s, c);
    return c;
}

template <class F>
LANE_MATH_INLINE F atan2V(const F& y, const F& x) {
    return detail::perChunk<F>(detail::Atan2Piece{}, y, x);
}

// fmodf, exact while |x / y| < 2^23.
template <class F>
LANE_MATH_INLINE F fmodV(const F& x, const F& y) {
    using I = detail::MaskOf<F>;
    F r = detail::perChunk<F>(detail::FmodPiece{}, x, y);
    r = selectV((absV(y) == __builtin_inff()) & (absV(x) < __builtin_inff()), x, r);
    return (F)((I)r | ((I)x & INT32_MIN)); // a zero remainder keeps x's sign
}

} // namespace avx512 / avx2 / avx / sse41 / base
} // namespace kernels::lanes

#undef LANE_MATH_INLINE
#pragma GCC diagnostic pop
