#pragma once

// Two vectors of lanes as one lane type: every operation is the vector one on each half, so a
// pair computes each lane's bits exactly as a single vector does. Written out as pairs, two
// long chains of arithmetic (two chunks' sample displacement) sit side by side in the
// instruction stream, and the processor works on both while either waits on its latencies.
// Include after kernels/cpu/VectorLanes.h; the kernel templates find these by argument lookup.

#include "kernels/cpu/VectorLanes.h"

namespace kernels {

struct LanePairM {
    LaneM a, b;
};
struct LanePairF {
    LaneF a, b;
};

template <>
struct Splat<LanePairF> {
    static LanePairF of(float v) {
        const LaneF s = splatL<LaneF>(v);
        return {s, s};
    }
};

// x OP y half by half, for a pair and a pair or a number; Result is LanePairF or LanePairM.
#define HALDEN_PAIR_BINARY(Result, OP)                                                             \
    HALDEN_LANE_INLINE Result operator OP(LanePairF x, LanePairF y) {                              \
        return {x.a OP y.a, x.b OP y.b};                                                           \
    }                                                                                              \
    HALDEN_LANE_INLINE Result operator OP(LanePairF x, float y) {                                  \
        return {x.a OP y, x.b OP y};                                                               \
    }
#define HALDEN_PAIR_ARITHMETIC(OP)                                                                 \
    HALDEN_PAIR_BINARY(LanePairF, OP)                                                              \
    HALDEN_LANE_INLINE LanePairF operator OP(float x, LanePairF y) {                               \
        return {x OP y.a, x OP y.b};                                                               \
    }
HALDEN_PAIR_ARITHMETIC(+)
HALDEN_PAIR_ARITHMETIC(-)
HALDEN_PAIR_ARITHMETIC(*)
HALDEN_PAIR_ARITHMETIC(/)
#undef HALDEN_PAIR_ARITHMETIC

HALDEN_LANE_INLINE LanePairF operator-(LanePairF x) {
    return {-x.a, -x.b};
}

HALDEN_PAIR_BINARY(LanePairM, <)
HALDEN_PAIR_BINARY(LanePairM, >)
HALDEN_PAIR_BINARY(LanePairM, <=)
HALDEN_PAIR_BINARY(LanePairM, >=)
HALDEN_PAIR_BINARY(LanePairM, ==)
HALDEN_PAIR_BINARY(LanePairM, !=)
#undef HALDEN_PAIR_BINARY

HALDEN_LANE_INLINE LanePairM operator&(LanePairM x, LanePairM y) {
    return {x.a & y.a, x.b & y.b};
}
HALDEN_LANE_INLINE LanePairM operator|(LanePairM x, LanePairM y) {
    return {x.a | y.a, x.b | y.b};
}

HALDEN_LANE_INLINE LanePairF selectL(LanePairM m, LanePairF x, LanePairF y) {
    return {selectL(m.a, x.a, y.a), selectL(m.b, x.b, y.b)};
}
HALDEN_LANE_INLINE bool anyL(LanePairM m) {
    return anyL(m.a | m.b);
}
HALDEN_LANE_INLINE bool allL(LanePairM m) {
    return allL(m.a & m.b);
}
HALDEN_LANE_INLINE LanePairM andNotL(LanePairM x, LanePairM y) {
    return {andNotL(x.a, y.a), andNotL(x.b, y.b)};
}
HALDEN_LANE_INLINE LanePairF minL(LanePairF x, float y) {
    return {minL(x.a, y), minL(x.b, y)};
}
HALDEN_LANE_INLINE LanePairF maxL(LanePairF x, float y) {
    return {maxL(x.a, y), maxL(x.b, y)};
}
HALDEN_LANE_INLINE LanePairF absL(LanePairF x) {
    return {absL(x.a), absL(x.b)};
}
HALDEN_LANE_INLINE LanePairF sqrtL(LanePairF x) {
    return {sqrtL(x.a), sqrtL(x.b)};
}
HALDEN_LANE_INLINE LanePairF floorL(LanePairF x) {
    return {floorL(x.a), floorL(x.b)};
}
HALDEN_LANE_INLINE LanePairF powL(LanePairF x, float y) {
    return {powL(x.a, y), powL(x.b, y)};
}
HALDEN_LANE_INLINE LanePairF powValueL(LanePairF x, float y) {
    return {powValueL(x.a, y), powValueL(x.b, y)};
}
HALDEN_LANE_INLINE void logSplitL(LanePairF x, LanePairF& m, LanePairF& e) {
    logSplitL(x.a, m.a, e.a);
    logSplitL(x.b, m.b, e.b);
}
HALDEN_LANE_INLINE LanePairF scalePow2L(LanePairF q, LanePairF n) {
    return {scalePow2L(q.a, n.a), scalePow2L(q.b, n.b)};
}

} // namespace kernels
