// Lane math against libm at 4, 8 and 16 lanes.

// Vectors of 8 and 16 lanes at default flags: the calling-convention warning is moot in one
// executable.
#pragma GCC diagnostic ignored "-Wpsabi"

#include "kernels/cpu/LaneMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using namespace kernels::lanes;

namespace {

const float INF = std::numeric_limits<float>::infinity();
const float NaN = std::numeric_limits<float>::quiet_NaN();
const float DENORM = std::numeric_limits<float>::denorm_min();

// Distance in representable floats; a zero of the wrong sign and a NaN against a number are
// infinitely far, any NaN equals any NaN.
std::int64_t ulps(float a, float b) {
    const std::int64_t far = std::numeric_limits<std::int64_t>::max();
    if (std::isnan(a) || std::isnan(b)) {
        return std::isnan(a) && std::isnan(b) ? 0 : far;
    }
    if (a == 0.0f && b == 0.0f) {
        return std::signbit(a) == std::signbit(b) ? 0 : far;
    }
    auto key = [](float v) {
        std::int32_t i;
        std::memcpy(&i, &v, sizeof i);
        return i >= 0 ? std::int64_t(i) : -std::int64_t(i & 0x7fffffff);
    };
    return std::llabs(key(a) - key(b));
}

struct Worst {
    std::int64_t ulp = 0;
    std::string where;
};

// Runs lanes() over x and y N values at a time (results by reference: no wide vector returns
// at default flags) and keeps the largest distance from ref().
template <class F, class Lanes, class Ref>
Worst worstError(const std::vector<float>& x, const std::vector<float>& y, Lanes lanes, Ref ref) {
    constexpr int n = sizeof(F) / sizeof(float);
    Worst w;
    for (std::size_t i = 0; i + n <= x.size(); i += n) {
        F a, b;
        std::memcpy(&a, &x[i], sizeof a);
        std::memcpy(&b, &y[i], sizeof b);
        F r;
        lanes(a, b, r);
        for (int j = 0; j < n; ++j) {
            const float want = ref(x[i + j], y[i + j]);
            const std::int64_t d = ulps(r[j], want);
            if (d > w.ulp) {
                std::ostringstream s;
                s.precision(9);
                s << d << " ulp at (" << x[i + j] << ", " << y[i + j] << "): " << r[j]
                  << " vs libm " << want;
                w = {d, s.str()};
            }
        }
    }
    return w;
}

template <class F, class Lanes, class Ref>
void expectWithin(std::int64_t bound, const std::string& name, const std::vector<float>& x,
                  const std::vector<float>& y, Lanes lanes, Ref ref) {
    const Worst w = worstError<F>(x, y, lanes, ref);
    EXPECT_LE(w.ulp, bound) << name << ": max " << w.where;
}

// Random inputs: uniform, log-uniform magnitudes, and the special values at the front.
struct Inputs {
    std::mt19937 rng{1234};
    std::vector<float> uniform(std::size_t n, float lo, float hi) {
        std::uniform_real_distribution<float> d(lo, hi);
        std::vector<float> v(n);
        for (float& f : v) {
            f = d(rng);
        }
        return v;
    }
    std::vector<float> logUniform(std::size_t n, float lo, float hi, bool signs) {
        std::uniform_real_distribution<float> d(std::log2(lo), std::log2(hi));
        std::vector<float> v(n);
        for (float& f : v) {
            f = std::exp2(d(rng)) * (signs && (rng() & 1) ? -1.0f : 1.0f);
        }
        return v;
    }
    std::vector<float> anyBits(std::size_t n) {
        std::vector<float> v(n);
        for (float& f : v) {
            std::uint32_t u = rng();
            if ((u & 0x7f800000) == 0x7f800000 && (u & 0x007fffff) != 0) {
                u |= 0x00400000; // quiet: fminf treats signalling NaNs apart
            }
            std::memcpy(&f, &u, sizeof f);
        }
        return v;
    }
};

std::vector<float> join(std::vector<float> a, const std::vector<float>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Every pairing of a few special values, padded to a whole number of lanes.
void specialPairs(const std::vector<float>& xs, const std::vector<float>& ys, std::vector<float>& x,
                  std::vector<float>& y) {
    x.clear();
    y.clear();
    for (float a : xs) {
        for (float b : ys) {
            x.push_back(a);
            y.push_back(b);
        }
    }
    while (x.size() % 16 != 0) {
        x.push_back(1.0f);
        y.push_back(1.0f);
    }
}

// The two sides of a comparison: a lane function of the first input or of both, and its libm
// counterpart.
#define LANES1(fn) [](const F& a, const F&, F& r) { r = fn(a); }
#define LANES2(fn) [](const F& a, const F& b, F& r) { r = fn(a, b); }
#define LIBM1(fn) [](float a, float) { return fn(a); }
#define LIBM2(fn) [](float a, float b) { return fn(a, b); }

template <class T>
class LaneMath : public ::testing::Test {};

using Widths = ::testing::Types<LaneTypes<4>, LaneTypes<8>, LaneTypes<16>>;
TYPED_TEST_SUITE(LaneMath, Widths);

TYPED_TEST(LaneMath, ExactFunctionsMatchLibmBitForBit) {
    using F = typename TypeParam::F;
    Inputs in;
    // Random bit patterns, the specials and the rounding boundaries in front.
    const std::vector<float> edges = {
        0.0f,    -0.0f,           INF,        -INF,        NaN,    0.5f,    -0.5f,      1.5f, -1.0f,
        0x1p23f, -0x1.fffffep22f, 8388607.5f, -8388607.5f, DENORM, -DENORM, 0.99999994f};
    const std::vector<float> x = join(edges, in.anyBits(1 << 18));
    const std::vector<float> y = join({-0.0f, 0.0f, 1.0f, NaN, -INF, INF, 2.0f, NaN, 0.0f, -2.0f,
                                       0.0f, 1.0f, -1.0f, 0.0f, -DENORM, 1.0f},
                                      in.anyBits(1 << 18));
    expectWithin<F>(0, "floor", x, y, LANES1(floorV), LIBM1(std::floor));
    expectWithin<F>(0, "sqrt", x, y, LANES1(sqrtV), LIBM1(std::sqrt));
    expectWithin<F>(0, "abs", x, y, LANES1(absV), LIBM1(std::fabs));
    // fminf may return either zero for (+0, -0); the lanes return the second argument.
    expectWithin<F>(0, "min", x, y, LANES2(minV),
                    [](float a, float b) { return a == b ? b : std::fmin(a, b); });
    expectWithin<F>(0, "max", x, y, LANES2(maxV),
                    [](float a, float b) { return a == b ? b : std::fmax(a, b); });

    // fmod with the periods the kernel uses, then with random divisors, |x / y| < 2^23.
    std::vector<float> fx, fy;
    for (int i = 0; i < (1 << 19); ++i) {
        const int n = i % 65;
        const float period = n == 0 ? 1.0f : float(2.0 * M_PI / n);
        const float d = i % 3 == 0 ? period : in.logUniform(1, 1e-30f, 1e30f, true)[0];
        const float q = in.logUniform(1, 1e-8f, 0x1p22f, true)[0];
        fx.push_back(q * d);
        fy.push_back(d);
    }
    std::vector<float> sx, sy;
    const std::vector<float> fmodSpecials = {0.0f, -0.0f, 3.0f, -3.0f, 1.0f,
                                             INF,  -INF,  NaN,  DENORM};
    specialPairs(fmodSpecials, fmodSpecials, sx, sy);
    expectWithin<F>(0, "fmod", join(fx, sx), join(fy, sy), LANES2(fmodV), LIBM2(std::fmod));
}

TYPED_TEST(LaneMath, ExpLogAndPowWithinTwoUlpOfLibm) {
    using F = typename TypeParam::F;
    Inputs in;
    const std::vector<float> e = in.uniform(1 << 18, -160.0f, 130.0f);
    expectWithin<F>(2, "exp", e, e, LANES1(exp2V), LIBM1(std::exp2));
    const std::vector<float> l = join(in.anyBits(1 << 18), {0.0f, -0.0f, INF, -INF, NaN, 1.0f});
    expectWithin<F>(2, "log", l, l, LANES1(log2V), LIBM1(std::log2));

    // x over [0, 1e6] uniformly, log-uniformly, and close to 1 where y * log2(x) is delicate.
    std::vector<float> x =
        join(join(in.uniform(1 << 19, 0.0f, 1e6f), in.logUniform(1 << 19, 1e-38f, 1e6f, false)),
             in.uniform(1 << 19, 0.999f, 1.001f));
    std::vector<float> y = in.uniform(x.size(), -30.0f, 30.0f);
    for (std::size_t i = 0; i < y.size(); i += 5) {
        y[i] = std::round(y[i] * 2.0f) * 0.5f;
    }
    expectWithin<F>(2, "pow", x, y, LANES2(powV), LIBM2(std::pow));
    std::vector<float> sx, sy;
    // x >= 0 only: a negative x is outside the domain.
    specialPairs(
        {0.0f, 1.0f, 0.5f, 2.0f, 200.0f, 1e-30f, DENORM, INF, NaN, 1e30f},
        {0.0f, -0.0f, 1.0f, 0.5f, 2.0f, 30.0f, -30.0f, -1.0f, 1e-30f, DENORM, INF, -INF, NaN}, sx,
        sy);
    expectWithin<F>(0, "special cases", sx, sy, LANES2(powV), LIBM2(std::pow));
}

TYPED_TEST(LaneMath, IntegerPowersWithinTwoUlpOfPowf) {
    using F = typename TypeParam::F;
    Inputs in;
    for (int n = -64; n <= 64; ++n) {
        // Bases whose powers stay near the normal range, both signs, plus the specials.
        const float span = n == 0 ? 100.0f : 130.0f / std::abs(n);
        std::vector<float> x = in.logUniform(1 << 13, std::exp2(-span), std::exp2(span), true);
        x = join(x, {0.0f, -0.0f, 1.0f, -1.0f, INF, -INF, NaN, DENORM, 1e6f, 2.0f, 0.5f, -3.0f,
                     1.0f, 1.0f, 1.0f, 1.0f});
        expectWithin<F>(
            2, "powIntV n = " + std::to_string(n), x, x,
            [n](const F& a, const F&, F& r) { r = powIntV(a, n); },
            [n](float a, float) { return std::pow(a, float(n)); });
    }
}

TYPED_TEST(LaneMath, SinCosWithinTwoUlpAndBoundedBeyond) {
    using F = typename TypeParam::F;
    Inputs in;
    // Near multiples of pi/2 the reduction has to carry the most bits.
    std::vector<float> x =
        join(in.uniform(1 << 20, -1000.0f, 1000.0f), in.logUniform(1 << 18, 1e-30f, 1.0f, true));
    for (int k = -636; k <= 636; ++k) {
        float below = float(k * M_PI / 2), above = below;
        for (int d = 0; d < 8; ++d) {
            x.push_back(below = std::nextafter(below, -INF));
            x.push_back(above = std::nextafter(above, INF));
        }
    }
    x = join(x, {0.0f, -0.0f, INF, -INF, NaN, DENORM, -DENORM, 1000.0f, -1000.0f});
    x.resize(x.size() / 16 * 16);
    expectWithin<F>(2, "sin", x, x, LANES1(sinV), LIBM1(std::sin));
    expectWithin<F>(2, "cos", x, x, LANES1(cosV), LIBM1(std::cos));

    // Far outside the accurate range the results only have to stay finite and bounded.
    std::vector<float> big = in.logUniform(1 << 16, 1000.0f, 3e38f, true);
    for (std::size_t i = 0; i < big.size(); i += 16) {
        F v, s, c;
        std::memcpy(&v, &big[i], sizeof v);
        sincosV(v, s, c);
        EXPECT_TRUE(allV((absV(s) <= 1.0f) & (absV(c) <= 1.0f))) << big[i];
    }
}

TYPED_TEST(LaneMath, Atan2WithinTwoUlpWithLibmSignsAndSpecials) {
    using F = typename TypeParam::F;
    Inputs in;
    // Zeros, infinities and NaN in every combination first (glibc is itself 1 ulp off for some
    // of them, e.g. atan2f(1, -denorm_min)), then random quadrants and ratios.
    const std::vector<float> specials = {0.0f, -0.0f,  1.0f,    -1.0f, INF,   -INF,
                                         NaN,  DENORM, -DENORM, 3e38f, -3e38f};
    std::vector<float> y, x;
    specialPairs(specials, specials, y, x);
    y = join(join(y, in.uniform(1 << 19, -1000.0f, 1000.0f)),
             in.logUniform(1 << 19, 1e-38f, 1e38f, true));
    x = join(join(x, in.uniform(1 << 19, -1000.0f, 1000.0f)),
             in.logUniform(1 << 19, 1e-38f, 1e38f, true));
    expectWithin<F>(2, "atan2V", y, x, LANES2(atan2V), LIBM2(std::atan2));
}

TYPED_TEST(LaneMath, FastPowWithinTwoMillionthsOfPowf) {
    using F = typename TypeParam::F;
    constexpr int n = sizeof(F) / sizeof(float);
    Inputs in;
    const std::vector<float> x = in.logUniform(1 << 18, 1e-38f, 1e6f, false);
    const std::vector<float> y = in.uniform(x.size(), -8.0f, 8.0f);
    double worst = 0.0;
    for (std::size_t i = 0; i + n <= x.size(); i += n) {
        F a, b;
        std::memcpy(&a, &x[i], sizeof a);
        std::memcpy(&b, &y[i], sizeof b);
        const F r = powFastV(a, b);
        for (int j = 0; j < n; ++j) {
            const float want = std::pow(x[i + j], y[i + j]);
            if (std::fabs(y[i + j] * std::log2(x[i + j])) < 30.0f && std::isnormal(want)) {
                worst = std::max(worst, std::fabs(double(r[j]) / want - 1.0));
            }
        }
    }
    EXPECT_LT(worst, 2e-6);
    std::vector<float> sx, sy;
    specialPairs({0.0f, 1.0f, INF, NaN, 0.5f}, {0.0f, 2.0f, -2.0f, INF, -INF, NaN}, sx, sy);
    expectWithin<F>(0, "special cases", sx, sy, LANES2(powFastV), LIBM2(std::pow));
}

} // namespace
