#pragma once
// Provisional: lane loops over libm.
#include <cmath>
#include <cstdint>
namespace kernels {
namespace lanes {
template <class F>
inline F sqrtV(F x) {
    for (unsigned i = 0; i < sizeof(F) / 4; ++i)
        x[i] = std::sqrt(x[i]);
    return x;
}
template <class F>
inline F floorV(F x) {
    for (unsigned i = 0; i < sizeof(F) / 4; ++i)
        x[i] = std::floor(x[i]);
    return x;
}
template <class F>
inline F powV(F x, F y) {
    for (unsigned i = 0; i < sizeof(F) / 4; ++i)
        x[i] = powf(x[i], y[i]);
    return x;
}
template <class F>
inline F powIntV(F x, int n) {
    for (unsigned i = 0; i < sizeof(F) / 4; ++i)
        x[i] = powf(x[i], float(n));
    return x;
}
template <class F>
inline F atan2V(F y, F x) {
    for (unsigned i = 0; i < sizeof(F) / 4; ++i)
        x[i] = atan2f(y[i], x[i]);
    return x;
}
template <class F>
inline F sinV(F x) {
    for (unsigned i = 0; i < sizeof(F) / 4; ++i)
        x[i] = sinf(x[i]);
    return x;
}
template <class F>
inline F cosV(F x) {
    for (unsigned i = 0; i < sizeof(F) / 4; ++i)
        x[i] = cosf(x[i]);
    return x;
}
template <class F>
inline F fmodV(F x, F y) {
    for (unsigned i = 0; i < sizeof(F) / 4; ++i)
        x[i] = fmodf(x[i], y[i]);
    return x;
}
} // namespace lanes
} // namespace kernels
