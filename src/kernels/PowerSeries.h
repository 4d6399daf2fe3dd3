#pragma once

// The polynomial cores of the float powers, in arithmetic alone, so that a float, a vector of
// floats and a CUDA thread evaluate them to the same bits.

#include "gpu/DeviceCompat.h"

namespace kernels {

// log2((1 + t) / (1 - t)) = 2 atanh(t) / ln 2 for |t| <= 0.1716 (a mantissa m in
// [sqrt(1/2), sqrt(2)) as t = (m - 1) / (m + 1)); the first omitted term is below 3e-9.
template <typename T>
HD inline T log2Atanh(T t) {
    const T t2 = t * t;
    T p = t2 * (2.0f / 9.0f) + 2.0f / 7.0f;
    p = p * t2 + 2.0f / 5.0f;
    p = p * t2 + 2.0f / 3.0f;
    p = p * t2 + 2.0f;
    return t * p * 1.44269504f;
}

// 2^f for |f| <= 1/2.
template <typename T>
HD inline T exp2Fraction(T f) {
    T q = f * 1.52527338e-5f + 1.54035304e-4f;
    q = q * f + 1.33335581e-3f;
    q = q * f + 9.61812911e-3f;
    q = q * f + 5.55041087e-2f;
    q = q * f + 2.40226507e-1f;
    q = q * f + 6.93147181e-1f;
    return q * f + 1.0f;
}

} // namespace kernels
