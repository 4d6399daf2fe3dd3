// The AVX-512 exponent split and scaling of the shape powers against the plain float ones, bit
// for bit: a fetch position an ulp apart moves a texel weight. Its own executable, built for
// AVX-512 alone, so no code for it reaches the other tests; 77 (skipped) on other processors.

#include "kernels/cpu/VectorLanes.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

std::uint32_t bits(float v) {
    std::uint32_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

float fromBits(std::uint32_t b) {
    float v;
    std::memcpy(&v, &b, sizeof v);
    return v;
}

} // namespace

int main() {
    if (!__builtin_cpu_supports("avx512f") || !__builtin_cpu_supports("avx512dq")) {
        std::puts("skipped: no AVX-512 here");
        return 77;
    }
    using namespace kernels;
    int failures = 0;
    // Every finite positive float in steps of 61 bit patterns, denormals included, both signs.
    LaneF x{};
    for (std::uint32_t b = 1, lane = 0; b < 0x7f800000u; b += 61) {
        x[lane] = fromBits(b | ((b & 64u) << 25));
        if (++lane < LANES && b + 61 < 0x7f800000u) {
            continue;
        }
        lane = 0;
        LaneF m, e;
        logSplitL(x, m, e);
        for (int i = 0; i < LANES; ++i) {
            float ms, es;
            logSplitL(x[i], ms, es);
            if (bits(ms) != bits(m[i]) || bits(es) != bits(e[i])) {
                if (++failures <= 5) {
                    std::printf("split of %a: %a 2^%g, not %a 2^%g\n", double(x[i]), double(m[i]),
                                double(e[i]), double(ms), double(es));
                }
            }
        }
    }
    // q * 2^n over the range of the powers, into the denormals and past the largest float.
    for (int n = -160; n <= 130; ++n) {
        LaneF q;
        for (int i = 0; i < LANES; ++i) {
            q[i] =
                0.70710677f + 0.04419417f * static_cast<float>(i) + 1e-7f * static_cast<float>(n);
        }
        const LaneF r = scalePow2L(q, splatL<LaneF>(static_cast<float>(n)));
        for (int i = 0; i < LANES; ++i) {
            const float s = scalePow2L(q[i], static_cast<float>(n));
            if (bits(s) != bits(r[i]) && ++failures <= 10) {
                std::printf("%a * 2^%d: %a, not %a\n", double(q[i]), n, double(r[i]), double(s));
            }
        }
    }
    std::printf("%d disagreements\n", failures);
    return failures == 0 ? 0 : 1;
}
