#pragma once

// The lane operations of kernels/Lanes.h for a vector of HALDEN_LANES floats, one pixel per lane.
// Include it before any kernel header: the kernel templates find these overloads by ordinary
// lookup, as vector types bring no namespace of their own.

#include "kernels/Lanes.h"

#include <cstdint>

#if !defined(HALDEN_LANES)
#error "HALDEN_LANES must give the lane count of this translation unit"
#endif

namespace kernels {

constexpr int LANES = HALDEN_LANES;
typedef float LaneF __attribute__((vector_size(HALDEN_LANES * 4)));
typedef std::int32_t LaneM __attribute__((vector_size(HALDEN_LANES * 4)));

template <>
struct Splat<LaneF> {
    static LaneF of(float v) { return LaneF{} + v; }
};

} // namespace kernels

#include "kernels/cpu/LaneMath.h"

namespace kernels {

inline LaneF selectL(LaneM m, LaneF a, LaneF b) {
    return lanes::selectV(m, a, b);
}
inline bool anyL(LaneM m) {
    return lanes::anyV(m);
}
inline bool allL(LaneM m) {
    return lanes::allV(m);
}
inline LaneM andNotL(LaneM a, LaneM b) {
    return a & ~b;
}
// fminf and fmaxf: a NaN loses to a number.
inline LaneF minL(LaneF a, LaneF b) {
    return lanes::minV(a, b);
}
inline LaneF maxL(LaneF a, LaneF b) {
    return lanes::maxV(a, b);
}
inline LaneF minL(LaneF a, float b) {
    return lanes::minV(a, splatL<LaneF>(b));
}
inline LaneF maxL(LaneF a, float b) {
    return lanes::maxV(a, splatL<LaneF>(b));
}
inline LaneF absL(LaneF x) {
    return lanes::absV(x);
}
inline LaneF sqrtL(LaneF x) {
    return lanes::sqrtV(x);
}
inline LaneF floorL(LaneF x) {
    return lanes::floorV(x);
}
// Integral exponents, the common bokeh powers, by repeated multiplication.
inline LaneF powL(LaneF x, float y) {
    const int n = static_cast<int>(y);
    if (static_cast<float>(n) == y && n >= -64 && n <= 64) {
        return lanes::powIntV(x, n);
    }
    return lanes::powV(x, splatL<LaneF>(y));
}
inline LaneF powL(LaneF x, LaneF y) {
    return lanes::powV(x, y);
}
inline LaneF atan2L(LaneF y, LaneF x) {
    return lanes::atan2V(y, x);
}
inline LaneF sinL(LaneF x) {
    return lanes::sinV(x);
}
inline LaneF cosL(LaneF x) {
    return lanes::cosV(x);
}
inline LaneF fmodL(LaneF x, float y) {
    return lanes::fmodV(x, splatL<LaneF>(y));
}

} // namespace kernels
