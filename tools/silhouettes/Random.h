#pragma once

#include <cmath>
#include <cstdint>

// A seeded generator whose sequence is the same with every compiler and standard library
// (the standard distributions are not), so the committed pictures can be regenerated exactly.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    // splitmix64
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // Uniform in [0, 1), 24 bits.
    float unit() { return static_cast<float>(next() >> 40) * (1.0f / 16777216.0f); }
    float uniform(float lo, float hi) { return lo + (hi - lo) * unit(); }
    bool chance(float probability) { return unit() < probability; }
    // Roughly normal (sum of four uniforms), mean 0 and standard deviation 1.
    float gauss() { return (unit() + unit() + unit() + unit() - 2.0f) * 1.7320508f; }

private:
    std::uint64_t state_;
};
