// The lens blur's and the post-blur's loops over vectors of pixels, compiled once per instruction
// set with HALDEN_LANES and HALDEN_TARGET set (see CMakeLists.txt). Everything here with external
// linkage is either in the target's namespace or takes this target's vector types, so the linker
// never hands another translation unit code for an instruction set its machine may lack.

#include "kernels/cpu/VectorLanes.h" // before the kernel headers

#include "kernels/cpu/LanePairs.h"

#include "kernels/cpu/LaneKernels.h"

#include <cstring>
#include <type_traits>

#include <immintrin.h>

namespace kernels {
namespace cpu {
namespace HALDEN_TARGET {
namespace {

HALDEN_LANE_INLINE LaneM laneIndex() {
    LaneM index;
    for (int i = 0; i < LANES; ++i) {
        index[i] = i;
    }
    return index;
}

HALDEN_LANE_INLINE LaneM splatM(std::int32_t v) {
    return LaneM{} + v;
}

HALDEN_LANE_INLINE PixelLanes<LanePairF, LanePairM> pairOf(const PixelLanes<LaneF, LaneM>& one,
                                                           const PixelLanes<LaneF, LaneM>& two) {
    const ShapeLanes<LaneF, LaneM>& a = one.shape;
    const ShapeLanes<LaneF, LaneM>& b = two.shape;
    return {{one.cx, two.cx},
            {one.cy, two.cy},
            {one.spread, two.spread},
            {{a.dirx, b.dirx},
             {a.diry, b.diry},
             {a.astigmatism, b.astigmatism},
             {a.astigmatismAmount, b.astigmatismAmount},
             {a.catseyeOffsetX, b.catseyeOffsetX},
             {a.catseyeOffsetY, b.catseyeOffsetY},
             {a.swirl, b.swirl},
             {a.swirlK, b.swirlK},
             {a.misalign, b.misalign},
             {a.misalignEx, b.misalignEx},
             {a.misalignEy, b.misalignEy},
             {a.misalignCos, b.misalignCos},
             {a.misalignSin, b.misalignSin}}};
}

HALDEN_LANE_INLINE LaneF load(const float* p) {
    LaneF v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

HALDEN_LANE_INLINE LaneM loadM(const std::int32_t* p) {
    LaneM v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

HALDEN_LANE_INLINE void store(float* p, LaneF v) {
    std::memcpy(p, &v, sizeof v);
}

HALDEN_LANE_INLINE LaneF gather(const float* base, LaneM index) {
#if defined(__AVX512F__) && HALDEN_LANES == 16
    return reinterpret_cast<LaneF>(
        _mm512_mask_i32gather_ps(_mm512_setzero_ps(), static_cast<__mmask16>(0xffff),
                                 reinterpret_cast<__m512i>(index), base, 4));
#elif defined(__AVX2__) && HALDEN_LANES == 8
    return reinterpret_cast<LaneF>(_mm256_i32gather_ps(base, reinterpret_cast<__m256i>(index), 4));
#else
    LaneF v;
    for (int i = 0; i < LANES; ++i) {
        v[i] = base[index[i]];
    }
    return v;
#endif
}

// floor(x) as integers, for |x| below 2^31: one rounding conversion where the target has it.
HALDEN_LANE_INLINE LaneM floorToInt(LaneF x) {
#if defined(__AVX512F__) && HALDEN_LANES == 16
    return reinterpret_cast<LaneM>(_mm512_mask_cvt_roundps_epi32(
        _mm512_setzero_si512(), static_cast<__mmask16>(0xffff), reinterpret_cast<__m512>(x),
        _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC));
#else
    return __builtin_convertvector(floorL(x), LaneM);
#endif
}

#if HALDEN_LANES >= 8
// The smallest and the largest lane, by halving.
HALDEN_LANE_INLINE void rangeOf(LaneM v, int& low, int& high) {
#if HALDEN_LANES == 16
    const __m256i a =
        reinterpret_cast<__m256i>(__builtin_shufflevector(v, v, 0, 1, 2, 3, 4, 5, 6, 7));
    const __m256i b =
        reinterpret_cast<__m256i>(__builtin_shufflevector(v, v, 8, 9, 10, 11, 12, 13, 14, 15));
    __m256i lo8 = _mm256_min_epi32(a, b), hi8 = _mm256_max_epi32(a, b);
#else
    const __m256i lo8 = reinterpret_cast<__m256i>(v), hi8 = lo8;
#endif
    __m128i lo = _mm_min_epi32(_mm256_castsi256_si128(lo8), _mm256_extracti128_si256(lo8, 1));
    __m128i hi = _mm_max_epi32(_mm256_castsi256_si128(hi8), _mm256_extracti128_si256(hi8, 1));
    lo = _mm_min_epi32(lo, _mm_shuffle_epi32(lo, 0x4e));
    hi = _mm_max_epi32(hi, _mm_shuffle_epi32(hi, 0x4e));
    lo = _mm_min_epi32(lo, _mm_shuffle_epi32(lo, 0xb1));
    hi = _mm_max_epi32(hi, _mm_shuffle_epi32(hi, 0xb1));
    low = _mm_cvtsi128_si32(lo);
    high = _mm_cvtsi128_si32(hi);
}

// The texels at index (0 to 2 LANES - 1) of the 2 LANES floats from row on: two loads and
// permutations instead of a gather.
HALDEN_LANE_INLINE LaneF windowTexels(const float* row, LaneM index) {
#if HALDEN_LANES == 16
    return reinterpret_cast<LaneF>(_mm512_permutex2var_ps(
        _mm512_loadu_ps(row), reinterpret_cast<__m512i>(index), _mm512_loadu_ps(row + 16)));
#else
    const __m256i i = reinterpret_cast<__m256i>(index);
    // The permutations read the low three bits; bit 3, moved to the sign, picks the half.
    return reinterpret_cast<LaneF>(
        _mm256_blendv_ps(_mm256_permutevar8x32_ps(_mm256_loadu_ps(row), i),
                         _mm256_permutevar8x32_ps(_mm256_loadu_ps(row + 8), i),
                         _mm256_castsi256_ps(_mm256_slli_epi32(i, 28))));
#endif
}
#endif

// How often the lanes of a fetch straddle two pairs of rows. Where that is common, reading the
// third row every time costs less than the mispredicted branches of reading it when needed.
struct RowSplits {
    int calls = 0;
    int splits = 0;
    HALDEN_LANE_INLINE bool often() const { return splits * 8 > calls; }
    HALDEN_LANE_INLINE void count(bool split) {
        ++calls;
        splits += split ? 1 : 0;
    }
};

// tex2D<float4> on the padded planes, rounded as the texture emulation rounds: the position is
// quantised to 1/256 of a texel, so the weights are exact and the sum runs in the same order.
struct PlanarFetch {
    const Planes& p;
    bool colourOnly = false;     // alpha is not wanted: it reads as 1
    bool sameRow = false;        // the caller knows every lane reads at one v
    bool single = false;         // only the first channel is wanted
    RowSplits* splits = nullptr; // optional
    // Every coordinate is in [0, 1], as clamping to the edge leaves it: no clamp below can
    // change a texel or weight then, and they are skipped.
    bool inUnit = false;

    // One axis of the position: the texel of the pair's first corner (-1 and size are the
    // padding, which repeats the edge as clamping would) and the second corner's weight.
    struct Axis {
        LaneF weight;
        LaneM texel;
    };
    HALDEN_LANE_INLINE static Axis axis(LaneF t, int size, bool inUnit = false) {
        constexpr float kLimit = 4194304.0f;
        // From t in [0, 1] (rounding keeps the order) q is in [-128, 256 size - 128], exact
        // below 2^24, and the texel in [-1, size - 1].
        const bool clamped = inUnit && size <= 65536;
        LaneF x = t * static_cast<float>(size);
        if (!clamped) {
            x = minL(maxL(x, -kLimit), kLimit);
        }
        // The position in 1/256 texels, an integer below 2^30 in magnitude: its high bits are
        // the texel (the shift floors, as the division by 256 would) and its low byte the
        // weight's step, exactly as q - 256 floor(q / 256).
        const LaneM q = floorToInt((x - 0.5f) * 256.0f + 0.5f);
        LaneM texel = q >> 8;
        if (!clamped) {
            texel = texel < -1 ? splatM(-1) : texel;
            texel = texel > size - 1 ? splatM(size - 1) : texel;
        }
        return {__builtin_convertvector(q & 255, LaneF) * (1.0f / 256.0f), texel};
    }

    HALDEN_LANE_INLINE Rgba<LaneF> operator()(LaneF u, LaneF v) const {
        return texels(axis(u, p.width, inUnit), axis(v, p.height, inUnit), sameRow);
    }

    // Every lane on one row whose texel and weight the caller has (texelAxis).
    HALDEN_LANE_INLINE Rgba<LaneF> alongRow(LaneF u, std::int32_t row, float weight) const {
        return texels(axis(u, p.width), {splatL<LaneF>(weight), splatM(row)}, true);
    }

    HALDEN_LANE_INLINE Rgba<LaneF> texels(const Axis& horizontal, const Axis& vertical,
                                          bool oneRowKnown) const {
        const LaneF a = horizontal.weight;
        const LaneF b = vertical.weight;
        const LaneM ix = horizontal.texel;
        const LaneM iy = vertical.texel;

        // The weights are products of multiples of 1/256, exact in float, so the differences
        // give (1 - a)(1 - b) and (1 - a) b exactly.
        const LaneF w10 = a * (1.0f - b);
        const LaneF w00 = (1.0f - b) - w10;
        const LaneF w11 = a * b;
        const LaneF w01 = b - w11;
        // The colour in the texture unit's order, fused where the target fuses.
        auto mix = [&](LaneF topLeft, LaneF topRight, LaneF lowLeft, LaneF lowRight) {
            return maddL(w11, lowRight, maddL(w01, lowLeft, maddL(w10, topRight, w00 * topLeft)));
        };
        const bool alphaOne = p.alphaOne || colourOnly;
        const int channels = single ? 1 : alphaOne ? 3 : 4;
        LaneF value[4];
        const int x0 = ix[0];
        const int y0 = iy[0];
        // One compare settles the common case; the range of rows is worked out only where not.
        const bool oneRow = oneRowKnown || allL(iy == y0);
#if HALDEN_LANES >= 8
        int windowFirst = 0;
        auto windowFits = [&windowFirst](LaneM index) {
            int last;
            rangeOf(index, windowFirst, last);
            return last - windowFirst <= 2 * LANES - 2;
        };
        int rowFirst = y0, rowLast = y0;
        if (!oneRow) {
            rangeOf(iy, rowFirst, rowLast);
        }
#endif
        const bool neighbours = allL(ix == x0 + laneIndex());
        if (oneRow && neighbours) {
            // Neighbouring pixels read neighbouring texels of one row: plain loads.
            const std::ptrdiff_t at = (static_cast<std::ptrdiff_t>(y0) + 1) * p.stride + x0 + PAD;
            for (int c = 0; c < channels; ++c) {
                const float* row = p.plane[c] + at;
                value[c] =
                    mix(load(row), load(row + 1), load(row + p.stride), load(row + p.stride + 1));
            }
        }
#if HALDEN_LANES >= 8
        else if (neighbours && rowLast == rowFirst + 1) {
            // Neighbouring texels, the pairs of rows starting on one of two neighbouring rows:
            // plain loads of the three rows (the third is at most the bottom padding).
            const std::ptrdiff_t at =
                (static_cast<std::ptrdiff_t>(rowFirst) + 1) * p.stride + x0 + PAD;
            const LaneM down = iy != rowFirst;
            for (int c = 0; c < channels; ++c) {
                const float* row = p.plane[c] + at;
                const LaneF middleLeft = load(row + p.stride);
                const LaneF middleRight = load(row + p.stride + 1);
                const LaneF topLeft = selectL(down, middleLeft, load(row));
                const LaneF topRight = selectL(down, middleRight, load(row + 1));
                const LaneF lowLeft = selectL(down, load(row + 2 * p.stride), middleLeft);
                const LaneF lowRight = selectL(down, load(row + 2 * p.stride + 1), middleRight);
                value[c] = mix(topLeft, topRight, lowLeft, lowRight);
            }
        } else if (rowLast - rowFirst <= 1 && windowFits(ix)) {
            // Pairs of rows starting on one row or two neighbouring ones, texels within a
            // window of two vectors: two loads and permutations per corner row instead of
            // gathers. Reads past the row land in padding or the next row and are never
            // selected.
            const int first = windowFirst;
            const LaneM left = ix - first;
            const LaneM right = left + 1;
            const std::ptrdiff_t at =
                (static_cast<std::ptrdiff_t>(rowFirst) + 1) * p.stride + first + PAD;
            // Lanes whose pair of rows starts one row further down (the row below exists: it is
            // at most the bottom padding).
            const LaneM down = iy != rowFirst;
            bool third = rowLast != rowFirst;
            if (splits != nullptr) {
                splits->count(third);
                third = third || splits->often();
            }
            for (int c = 0; c < channels; ++c) {
                const float* row = p.plane[c] + at;
                LaneF topLeft = windowTexels(row, left), topRight = windowTexels(row, right);
                LaneF lowLeft = windowTexels(row + p.stride, left);
                LaneF lowRight = windowTexels(row + p.stride, right);
                if (third) {
                    const LaneF nextLeft = windowTexels(row + 2 * p.stride, left);
                    const LaneF nextRight = windowTexels(row + 2 * p.stride, right);
                    topLeft = selectL(down, lowLeft, topLeft);
                    topRight = selectL(down, lowRight, topRight);
                    lowLeft = selectL(down, nextLeft, lowLeft);
                    lowRight = selectL(down, nextRight, lowRight);
                }
                value[c] = mix(topLeft, topRight, lowLeft, lowRight);
            }
        }
#endif
        else {
            const LaneM at = (iy + 1) * static_cast<std::int32_t>(p.stride) + ix + PAD;
            const LaneM below = at + static_cast<std::int32_t>(p.stride);
            for (int c = 0; c < channels; ++c) {
                const float* plane = p.plane[c];
                value[c] = mix(gather(plane, at), gather(plane, at + 1), gather(plane, below),
                               gather(plane, below + 1));
            }
        }
        if (single) {
            value[1] = value[2] = value[3] = value[0];
        } else if (alphaOne) {
            value[3] = splatL<LaneF>(1.0f);
        }
        return {value[0], value[1], value[2], value[3]};
    }
};

// Any other texture: planar when it can be, else lane by lane through the emulation.
struct LaneFetch {
    const LaneTexture& texture;
    bool colourOnly = false;
    bool sameRow = false;
    bool inUnit = false; // as PlanarFetch's
    mutable RowSplits splits{};

    HALDEN_LANE_INLINE Rgba<LaneF> operator()(LaneF u, LaneF v) const {
        if (texture.planes != nullptr) {
            return PlanarFetch{*texture.planes, colourOnly, sameRow, false, &splits, inUnit}(u, v);
        }
        Rgba<LaneF> out;
        for (int i = 0; i < LANES; ++i) {
            const Rgba<float> t = fetchEmulated(texture.emulated, u[i], v[i]);
            out.x[i] = t.x;
            out.y[i] = t.y;
            out.z[i] = t.z;
            out.w[i] = t.w;
        }
        return out;
    }
};

constexpr int CHUNKS = SEGMENT / LANES;

// Post-blur tap weights of each pixel: weights[(d - 1) * SEGMENT] for distance d.
struct LaneTapWeights {
    static constexpr bool perLane = true;
    const float* weights;
    HALDEN_LANE_INLINE LaneF operator()(int d) const { return load(weights + (d - 1) * SEGMENT); }
};

// x^n in popPowL's order of operations (square and multiply; the first multiplication, by 1, is
// exact and left out). M is the part of the exponent still to do.
template <unsigned M, bool First>
HALDEN_LANE_INLINE LaneF popPowSteps(LaneF result, LaneF base) {
    if constexpr (M == 0) {
        return result;
    } else {
        if constexpr ((M & 1u) != 0) {
            result = First ? base : result * base;
        }
        if constexpr (M > 1u) {
            base = base * base;
        }
        constexpr bool STILL_FIRST = First && (M & 1u) == 0;
        return popPowSteps<(M >> 1), STILL_FIRST>(result, base);
    }
}

// The frame's pop power: N >= 0 unrolled for that integral power, N = -1 takes n at run time
// and N = -2 takes n + 1/2.
template <int N>
HALDEN_LANE_INLINE LaneF popPow(LaneF x, unsigned n) {
    if constexpr (N >= 0) {
        return popPowSteps<static_cast<unsigned>(N), true>(splatL<LaneF>(1.0f), x);
    } else {
        return popPowL(x, static_cast<float>(n) + (N == -2 ? 0.5f : 0.0f));
    }
}

// fmaxf(c, 0): a NaN becomes 0.
HALDEN_LANE_INLINE LaneF positive(LaneF c) {
    return maxPs(c, LaneF{});
}

// LANES bytes as floats.
HALDEN_LANE_INLINE LaneF bytesToFloats(const std::uint8_t* p) {
#if HALDEN_LANES == 16
    const __mmask16 all = 0xffff;
    const __m512i wide = _mm512_mask_cvtepu8_epi32(
        _mm512_setzero_si512(), all, _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
    return reinterpret_cast<LaneF>(_mm512_mask_cvtepi32_ps(_mm512_setzero_ps(), all, wide));
#elif HALDEN_LANES == 8
    std::int64_t bytes;
    std::memcpy(&bytes, p, sizeof bytes);
    return reinterpret_cast<LaneF>(
        _mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(_mm_cvtsi64_si128(bytes))));
#else
    LaneF v;
    for (int i = 0; i < LANES; ++i) {
        v[i] = static_cast<float>(p[i]);
    }
    return v;
#endif
}

// The occluder factor of one spiral point for the lanes of a row: the point is the same for
// every pixel, so it is placed once; only the slide differs from lane to lane.
struct RowOccluder {
    const OcclusionSetup& o;
    const LaneFetch& fetch;
    const Planes* seeThrough; // optional

    // Where a spiral point falls on the occluder before the slide: its x, its v, and on planes
    // the row and row weight of that v.
    struct Place {
        float x, v;
        std::int32_t row;
        float rowWeight;
    };

    HALDEN_LANE_INLINE Place place(float px, float py, float parallaxY) const {
        Place r{};
        float y;
        occluderPoint(o, px, py, r.x, y);
        r.v = occluderV(y, parallaxY);
        if (fetch.texture.planes != nullptr) {
            texelAxis(r.v, fetch.texture.planes->height, r.row, r.rowWeight);
        }
        return r;
    }

    HALDEN_LANE_INLINE LaneF factor(const Place& point, LaneF parallaxX) const {
        const LaneF u = occluderU(splatL<LaneF>(point.x), parallaxX);
        if (seeThrough != nullptr) {
            const PlanarFetch planar{*seeThrough, true, true, true};
            return planar.alongRow(u, point.row, point.rowWeight).x;
        }
        if (fetch.texture.planes != nullptr) {
            const PlanarFetch planar{*fetch.texture.planes, true, true};
            return occluderFactor(o, planar.alongRow(u, point.row, point.rowWeight));
        }
        return occluderFactor(o, fetch(u, splatL<LaneF>(point.v)));
    }
};

} // namespace

void lensSegment(const LensFrame& frame, LensSegment& s) {
    const LensUniforms& u = frame.uniforms;
    const int chunks = (s.pixels + LANES - 1) / LANES;
    // Edge clamping puts every source position in [0, 1]; so do the pixel centres.
    const LaneFetch source{frame.source, false, false, !u.reflect};
    // The sample colour takes only the colour of these two.
    const LaneFetch kernelMap{frame.kernelMap, true};
    const LaneFetch occluder{frame.occluder, true};
    const bool table = frame.px != nullptr;

    PixelLanes<LaneF, LaneM> pixel[CHUNKS];
    LensSums<LaneF> sums[CHUNKS];
    LaneM count[CHUNKS];
    LaneF spiralScale[CHUNKS];
    LaneF parallaxX[CHUNKS];
    LaneF parallaxY[CHUNKS];
    int chunkCount[CHUNKS];
    for (int j = 0; j < chunks; ++j) {
        const int at = j * LANES;
        ShapeLanes<LaneF, LaneM>& shape = pixel[j].shape;
        pixel[j].cx = load(s.cx + at);
        pixel[j].cy = load(s.cy + at);
        pixel[j].spread = load(s.spread + at);
        shape.dirx = load(s.dirx + at);
        shape.diry = load(s.diry + at);
        shape.astigmatism = loadM(s.astigmatism + at);
        shape.astigmatismAmount = load(s.astigmatismAmount + at);
        shape.catseyeOffsetX = load(s.catseyeOffsetX + at);
        shape.catseyeOffsetY = load(s.catseyeOffsetY + at);
        shape.swirl = loadM(s.swirl + at);
        shape.swirlK = load(s.swirlK + at);
        shape.misalign = loadM(s.misalign + at);
        shape.misalignEx = load(s.misalignEx + at);
        shape.misalignEy = load(s.misalignEy + at);
        shape.misalignCos = load(s.misalignCos + at);
        shape.misalignSin = load(s.misalignSin + at);
        count[j] = loadM(s.count + at);
        spiralScale[j] = load(s.spiralScale + at);
        parallaxX[j] = load(s.parallaxX + at);
        parallaxY[j] = load(s.parallaxY + at);
        chunkCount[j] = 0;
        for (int i = 0; i < LANES; ++i) {
            chunkCount[j] = count[j][i] > chunkCount[j] ? count[j][i] : chunkCount[j];
        }
        const LaneF zero = splatL<LaneF>(0.0f);
        sums[j] = {zero, zero, zero, zero, zero, zero, zero, zero};

        // The unblurred pixel: negatives are only clamped when they are about to be linearised.
        Rgba<LaneF> centre = source(load(s.u + at), load(s.v + at));
        if (u.linearise) {
            centre = blurInput(centre, true);
        }
        store(s.centre[0] + at, centre.x);
        store(s.centre[1] + at, centre.y);
        store(s.centre[2] + at, centre.z);
        store(s.centre[3] + at, centre.w);
    }

    // With the spiral from the tables, the occluder varies along the row only by the slide.
    const bool rowOccluder =
        table && frame.colourPerPixel && frame.colour.occlusion && !frame.colour.kernelMap;
    const LaneFetch occluderAlongRow{frame.occluder, true, true};
    RowOccluder occluderRow{frame.colour, occluderAlongRow, frame.seeThrough};
    RowOccluder::Place occluderAt{};
    LaneF px{}, py{}, rho{}, weight{}, profile{}, kr{}, kg{}, kb{};
    const int power = static_cast<int>(u.power);
    const bool halfPower = static_cast<float>(power) + 0.5f == u.power;
    const bool separable = frame.columnWeight != nullptr && frame.segmentColumns != nullptr &&
                           frame.lanes == LANES && frame.source.planes != nullptr &&
                           (static_cast<float>(power) == u.power || halfPower) && power >= 0 &&
                           power <= 64 && (!frame.colourPerPixel || rowOccluder);
    // With every alpha 1, the alpha sums of every pixel are one sum of the same terms.
    const bool alphaOne = frame.source.planes != nullptr && frame.source.planes->alphaOne;
    float alphaTotal = 0.0f;
    auto separableLoop = [&](auto powerTag, auto lineariseTag, auto occludeTag)
        __attribute__((always_inline)) {
        constexpr int N = decltype(powerTag)::value;
        constexpr bool LINEARISE = decltype(lineariseTag)::value;
        // The occluder's see-through amount is the sample's colour, lane by lane.
        constexpr bool OCCLUDE = decltype(occludeTag)::value;
        const Planes& planes = *frame.source.planes;
        const std::ptrdiff_t stride = planes.stride;
        const float* const planeR = planes.plane[0];
        const float* const planeG = planes.plane[1];
        const float* const planeB = planes.plane[2];
        const float* const planeA = planes.plane[3];
        const std::uint8_t* const columnWeight = frame.columnWeight + s.firstColumn;
        const std::int32_t* const runTexel = frame.runTexel + s.firstRun;
        const std::ptrdiff_t columns = frame.columns;
        const std::ptrdiff_t runs = frame.runs;
        const std::ptrdiff_t segments = frame.segments;
        const std::ptrdiff_t segment = s.firstColumn / SEGMENT;
        const SegmentColumns* const segmentColumns = frame.segmentColumns;
        // A few samples at a time over each chunk: the sums stay in registers for all of them,
        // and the rows they read stay few enough for the cache.
        constexpr int BLOCK = 8;
        struct Sample {
            const std::uint8_t* steps;  // its column weights
            const std::int32_t* texels; // its runs' first texels
            std::ptrdiff_t row;
            int k;
            // The pop weight of a channel is contrast * c^power * w * k + smooth * w * k.
            float alphaWeight, pop[3], base[3];
            float b, oneMinusB, bStep, oneMinusBStep, weight, meanK;
            // Where every column of the segment has one weight, the four bilinear weights.
            bool shared;
            float w00, w10, w01, w11;
            RowOccluder::Place occluder; // where the sample is on the occluder
        } block[BLOCK];

        // The fetch from the tables: the texels and weights of the general loop below. The
        // weights are products of multiples of 1/256, exact in float, so forming them from the
        // 8-bit column weight and differences gives the same bits with fewer multiplications:
        // w10 = a (1 - b), w00 = (1 - a)(1 - b) = (1 - b) - w10. The sum fuses two of its
        // multiplications. One channel at a time, so that fewer values are live at once.
        auto add = [&](LensSums<LaneF> & sum, const Sample& sample, int j, std::int32_t texel,
                       LaneF seen) __attribute__((always_inline)) {
            LaneF w00, w10, w01, w11;
            if (sample.shared) {
                w00 = splatL<LaneF>(sample.w00);
                w10 = splatL<LaneF>(sample.w10);
                w01 = splatL<LaneF>(sample.w01);
                w11 = splatL<LaneF>(sample.w11);
            } else {
                const LaneF steps = bytesToFloats(sample.steps + j * LANES);
                w10 = steps * sample.oneMinusBStep;
                w11 = steps * sample.bStep;
                w00 = sample.oneMinusB - w10;
                w01 = sample.b - w11;
            }
            const std::ptrdiff_t offset = sample.row + texel;
            auto bilinear = [&](const float* t) __attribute__((always_inline)) {
                return maddL(w10, load(t + 1), w00 * load(t)) +
                       maddL(w11, load(t + stride + 1), w01 * load(t + stride));
            };
            // The kernel colour is white times what the occluder lets through.
            const LaneF w = OCCLUDE ? seen * sample.weight : LaneF{};
            auto channel = [&](const float* plane, int c, LaneF& total, LaneF& weightSum)
                __attribute__((always_inline)) {
                // The rows this sample reads two chunks on: the loads would otherwise wait on
                // the second-level cache with the whole sample's arithmetic queued behind them.
                __builtin_prefetch(plane + offset + 2 * LANES);
                __builtin_prefetch(plane + offset + stride + 2 * LANES);
                LaneF value = positive(bilinear(plane + offset));
                if constexpr (LINEARISE) {
                    value = rec709ToLinear(value);
                }
                const LaneF p = popPow<N>(value, static_cast<unsigned>(power));
                const LaneF pop =
                    OCCLUDE ? w * maddL(splatL<LaneF>(u.contrast), p, splatL<LaneF>(u.smooth))
                            : maddL(splatL<LaneF>(sample.pop[c]), p, splatL<LaneF>(sample.base[c]));
                total = maddL(value, pop, total);
                weightSum = weightSum + pop;
            };
            channel(planeR, 0, sum.sumR, sum.weightR);
            channel(planeG, 1, sum.sumG, sum.weightG);
            channel(planeB, 2, sum.sumB, sum.weightB);
            if constexpr (OCCLUDE) {
                const LaneF alpha = alphaOne ? splatL<LaneF>(1.0f) : bilinear(planeA + offset);
                sum.sumA = sum.sumA + alpha * w;
                sum.weightA = sum.weightA + w;
            } else if (!alphaOne) {
                const LaneF alpha = bilinear(planeA + offset);
                sum.sumA = sum.sumA + alpha * sample.weight * sample.meanK;
                sum.weightA = sum.weightA + sample.alphaWeight;
            }
        };

        int k = 0;
        while (k < s.maxCount) {
            int used = 0;
            bool blockEdge = false; // some sample of the block meets an edge in this segment
            for (; k < s.maxCount && used < BLOCK; ++k) {
                if (u.shape.blades && frame.weight[k] <= 0.0f) {
                    continue;
                }
                const float w = frame.weight[k] * frame.profile[k];
                const float meanK = (frame.kr[k] + frame.kg[k] + frame.kb[k]) * (1.0f / 3.0f);
                const float wr = w * frame.kr[k], wg = w * frame.kg[k], wb = w * frame.kb[k];
                // Field by field: an aggregate would clear the whole sample first.
                Sample& added = block[used++];
                added.steps = columnWeight + k * columns;
                added.texels = runTexel + k * runs;
                added.row = s.rowOffset[k];
                added.k = k;
                added.alphaWeight = w * meanK;
                added.pop[0] = wr * u.contrast;
                added.pop[1] = wg * u.contrast;
                added.pop[2] = wb * u.contrast;
                added.base[0] = wr * u.smooth;
                added.base[1] = wg * u.smooth;
                added.base[2] = wb * u.smooth;
                added.b = s.rowWeight[k];
                added.oneMinusB = 1.0f - s.rowWeight[k];
                added.bStep = s.rowWeight[k] * (1.0f / 256.0f);
                added.oneMinusBStep = (1.0f - s.rowWeight[k]) * (1.0f / 256.0f);
                added.weight = w;
                added.meanK = meanK;
                const SegmentColumns columnsHere = segmentColumns[k * segments + segment];
                added.shared = columnsHere.weight >= 0;
                if (added.shared) {
                    // As the lanes form them, in scalars: the same bits.
                    added.w10 = static_cast<float>(columnsHere.weight) * added.oneMinusBStep;
                    added.w11 = static_cast<float>(columnsHere.weight) * added.bStep;
                    added.w00 = added.oneMinusB - added.w10;
                    added.w01 = added.b - added.w11;
                }
                blockEdge = blockEdge || columnsHere.edge;
                if constexpr (OCCLUDE) {
                    block[used - 1].occluder =
                        occluderRow.place(frame.px[k], frame.py[k], s.parallaxY[0]);
                } else {
                    alphaTotal = alphaTotal + w * meanK;
                }
            }
            for (int j = 0; j < chunks; ++j) {
                int reach = used; // the samples of the block this chunk takes
                if (block[used - 1].k >= chunkCount[j]) {
                    reach = 0;
                    while (reach < used && block[reach].k < chunkCount[j]) {
                        ++reach;
                    }
                }
                bool edge = false;
                for (int i = 0; i < reach && blockEdge; ++i) {
                    edge = edge || block[i].texels[j] == NO_RUN;
                }
                auto seen = [&](const Sample& sample) __attribute__((always_inline)) {
                    if constexpr (OCCLUDE) {
                        return occluderRow.factor(sample.occluder, parallaxX[j]);
                    } else {
                        return splatL<LaneF>(1.0f);
                    }
                };
                if (!edge) {
                    LensSums<LaneF> sum = sums[j];
                    for (int i = 0; i < reach; ++i) {
                        add(sum, block[i], j, block[i].texels[j], seen(block[i]));
                    }
                    sums[j] = sum;
                    continue;
                }
                // Near the frame's edges clamping breaks the runs: those samples take the
                // general code.
                for (int i = 0; i < reach; ++i) {
                    const std::ptrdiff_t kk = block[i].k;
                    const std::int32_t texel = block[i].texels[j];
                    if (texel != NO_RUN) {
                        add(sums[j], block[i], j, texel, seen(block[i]));
                        continue;
                    }
                    LaneF red = splatL<LaneF>(frame.kr[kk]), green = splatL<LaneF>(frame.kg[kk]),
                          blue = splatL<LaneF>(frame.kb[kk]);
                    if constexpr (OCCLUDE) {
                        red = green = blue = seen(block[i]);
                    }
                    lensSample(splatL<LaneF>(frame.px[kk]), splatL<LaneF>(frame.py[kk]),
                               splatL<LaneF>(frame.rho[kk]), splatL<LaneF>(frame.weight[kk]),
                               splatL<LaneF>(frame.profile[kk]), red, green, blue,
                               splatM(block[i].k) < count[j], u, pixel[j], source, sums[j]);
                }
            }
        }
    };
    if (separable) {
        auto withPower = [&](auto lineariseTag, auto occludeTag) __attribute__((always_inline)) {
            if (halfPower) {
                separableLoop(std::integral_constant<int, -2>{}, lineariseTag, occludeTag);
                return;
            }
            switch (power) {
            case 2:
                separableLoop(std::integral_constant<int, 2>{}, lineariseTag, occludeTag);
                break;
            case 3:
                separableLoop(std::integral_constant<int, 3>{}, lineariseTag, occludeTag);
                break;
            case 4:
                separableLoop(std::integral_constant<int, 4>{}, lineariseTag, occludeTag);
                break;
            case 9:
                separableLoop(std::integral_constant<int, 9>{}, lineariseTag, occludeTag);
                break;
            default:
                separableLoop(std::integral_constant<int, -1>{}, lineariseTag, occludeTag);
                break;
            }
        };
        if (rowOccluder) {
            if (u.linearise) {
                withPower(std::true_type{}, std::true_type{});
            } else {
                withPower(std::false_type{}, std::true_type{});
            }
        } else if (u.linearise) {
            withPower(std::true_type{}, std::false_type{});
        } else {
            withPower(std::false_type{}, std::false_type{});
        }
        if (alphaOne && !rowOccluder) {
            for (int j = 0; j < chunks; ++j) {
                sums[j].sumA = sums[j].weightA = splatL<LaneF>(alphaTotal);
            }
        }
    }
    struct Placed {
        LaneF px, py, rho, qx, qy, weight, profile;
        LaneM active;
        bool live;
    } placed[CHUNKS];
    // A sample's misalignment steps at every chunk, then its texels there: one is done with
    // before the other starts. Sharing their room keeps the stack frame from growing, which
    // slowed the looks that use neither by 3 %.
    union {
        MisalignSteps<LaneF> halves[CHUNKS];
        Rgba<LaneF> fetched[CHUNKS];
    } steps;
    bool displaced = false; // some pixel's samples move by more than the anamorphic stretch
    bool misaligned = false;
    for (int j = 0; j < chunks; ++j) {
        const ShapeLanes<LaneF, LaneM>& shape = pixel[j].shape;
        displaced = displaced || anyL(shape.astigmatism | shape.swirl | shape.misalign);
        misaligned = misaligned || anyL(shape.misalign);
    }
    // Pairs of narrower chunks give the displacement's long chains more to overlap; with 16
    // lanes the pair's values no longer fit the registers, and single chunks are faster.
    const bool pairs = LANES < 16;
    // The pairs' pixel lanes, built once: every sample reads them.
    PixelLanes<LanePairF, LanePairM> pairPixels[CHUNKS / 2];
    if (displaced && pairs && !separable) {
        for (int j = 0; j + 1 < chunks; j += 2) {
            pairPixels[j / 2] = pairOf(pixel[j], pixel[j + 1]);
        }
    }
    // Only these read a moved spiral point's radius; a square root per sample is worth skipping.
    const bool radiusRead = u.shape.blades || u.shape.dimple || u.shape.softEdge;
    // From the tables, without the cat's eye's weight or a colour per pixel, a sample weighs the
    // same in every lane: its weights are worked out once, not once a chunk.
    const bool sampleWeighs = table && !frame.colourPerPixel && !u.shape.catseye;
    // Only the kernel colour of a pixel's own reads the unmoved point.
    const bool pointRead = !rowOccluder && (!table || frame.colourPerPixel);
    SampleWeight<LaneF> weighs{};
    for (int k = 0; k < s.maxCount && !separable; ++k) {
        if (table) {
            if (u.shape.blades && frame.weight[k] <= 0.0f) {
                continue;
            }
            if (rowOccluder) {
                // Every lane of the segment is on one row, so has its slide.
                occluderAt = occluderRow.place(frame.px[k], frame.py[k], s.parallaxY[0]);
            }
            px = splatL<LaneF>(frame.px[k]);
            py = splatL<LaneF>(frame.py[k]);
            rho = splatL<LaneF>(frame.rho[k]);
            weight = splatL<LaneF>(frame.weight[k]);
            profile = splatL<LaneF>(frame.profile[k]);
            if (!frame.colourPerPixel) {
                kr = splatL<LaneF>(frame.kr[k]);
                kg = splatL<LaneF>(frame.kg[k]);
                kb = splatL<LaneF>(frame.kb[k]);
            }
            if (sampleWeighs) {
                const SampleWeight<float> one = sampleWeight(frame.weight[k], frame.profile[k],
                                                             frame.kr[k], frame.kg[k], frame.kb[k]);
                weighs = {splatL<LaneF>(one.w), splatL<LaneF>(one.meanK), splatL<LaneF>(one.alpha),
                          splatL<LaneF>(one.r), splatL<LaneF>(one.g),     splatL<LaneF>(one.b)};
            }
        }
        const LaneM sample = splatM(k);
        // From the tables the point is the same for every pixel, and so is its length.
        const LaneF inverseRho = table ? splatL<LaneF>(frame.inverseRho[k]) : LaneF{};
        const LaneF* const knownInverse = table ? &inverseRho : nullptr;
        const bool rhoPositive = table && frame.rho[k] > 0.0f;
        // Where the unmoved sample point is for chunk j, its aperture weight and profile:
        // false when the chunk takes no part in this sample.
        auto prepare = [&](int j, Placed& at) __attribute__((always_inline)) {
            at.live = false;
            if (k >= chunkCount[j]) {
                return false;
            }
            at.active = sample < count[j];
            at.px = px;
            at.py = py;
            at.rho = rho;
            at.weight = weight;
            at.profile = profile;
            if (!table) {
                const LaneF scaled = spiralScale[j] * frame.radial[k];
                at.px = scaled * frame.along[k];
                at.py = scaled * frame.across[k];
                if (radiusRead || anyL(pixel[j].shape.astigmatism)) {
                    at.rho = sqrtL(at.px * at.px + at.py * at.py);
                }
                at.weight = splatL<LaneF>(1.0f);
                if (u.shape.blades) {
                    at.weight = bladeWeight(u.shape, at.px, at.py, at.rho);
                    at.active = andNotL(at.active, at.weight <= 0.0f);
                    if (!anyL(at.active)) {
                        return false;
                    }
                }
                at.profile = discProfile(u.shape, at.rho);
            }
            return true;
        };
        // Built in registers and stored once, where there is something to draw (prepare sets
        // live first, so it is always known), and only what draw reads. Member by member: a
        // whole-struct copy becomes a string move, which costs more than the stores.
        auto keep = [&](int j, const Placed& at) __attribute__((always_inline)) {
            Placed& to = placed[j];
            to.live = at.live;
            if (at.live) {
                if (pointRead) {
                    to.px = at.px;
                    to.py = at.py;
                }
                to.qx = at.qx;
                to.qy = at.qy;
                if (!sampleWeighs) {
                    to.weight = at.weight;
                    to.profile = at.profile;
                }
                to.active = at.active;
            }
        };
        // Into at; false when nothing of chunk j is left to draw.
        auto placeAt = [&](int j, Placed& at) __attribute__((always_inline)) {
            if (!prepare(j, at)) {
                return false;
            }
            at.live = lensDisplace(at.px, at.py, at.rho, at.weight, at.active, u, pixel[j], at.qx,
                                   at.qy, knownInverse, rhoPositive);
            return at.live;
        };
        auto place = [&](int j) __attribute__((always_inline)) {
            Placed at;
            placeAt(j, at);
            keep(j, at);
        };
        // Two chunks' displacements as one pair of vectors (see LanePairs.h).
        auto placePair = [&](int j) __attribute__((always_inline)) {
            Placed one, two;
            const bool first = prepare(j, one), second = prepare(j + 1, two);
            if (!first || !second) {
                if (first || second) {
                    Placed& at = first ? one : two;
                    at.live = lensDisplace(at.px, at.py, at.rho, at.weight, at.active, u,
                                           pixel[first ? j : j + 1], at.qx, at.qy, knownInverse,
                                           rhoPositive);
                }
                keep(j, one);
                keep(j + 1, two);
                return;
            }
            const PixelLanes<LanePairF, LanePairM>& both = pairPixels[j / 2];
            LanePairF weights{one.weight, two.weight}, qx, qy;
            LanePairM active{one.active, two.active};
            const LanePairF inversePair{inverseRho, inverseRho};
            if (lensDisplace(LanePairF{one.px, two.px}, LanePairF{one.py, two.py},
                             LanePairF{one.rho, two.rho}, weights, active, u, both, qx, qy,
                             table ? &inversePair : nullptr, rhoPositive)) {
                one.live = anyL(active.a);
                two.live = anyL(active.b);
            }
            one.weight = weights.a;
            two.weight = weights.b;
            one.active = active.a;
            two.active = active.b;
            one.qx = qx.a;
            two.qx = qx.b;
            one.qy = qy.a;
            two.qy = qy.b;
            keep(j, one);
            keep(j + 1, two);
        };
        auto add = [&](int j, const Placed& at, const Rgba<LaneF>& c)
            __attribute__((always_inline)) {
            const SampleWeight<LaneF> added =
                sampleWeighs ? weighs : sampleWeight(at.weight, at.profile, kr, kg, kb);
            if (alphaOne) {
                lensAccumulate<false>(c, added, at.active, u, sums[j]);
            } else {
                lensAccumulate(c, added, at.active, u, sums[j]);
            }
        };
        auto draw = [&](int j, const Placed& at) __attribute__((always_inline)) {
            if (rowOccluder) {
                kr = kg = kb = occluderRow.factor(occluderAt, parallaxX[j]);
            } else if (pointRead) {
                sampleColour(frame.colour, parallaxX[j], parallaxY[j], u.aspect, at.px, at.py,
                             kernelMap, occluder, kr, kg, kb);
            }
            add(j, at, lensFetchAt(at.qx, at.qy, u, pixel[j], source));
        };
        if (displaced) {
            // Where the sample lands at every chunk first, then the fetches and sums: the
            // displacement's long chains of arithmetic have no branches between them to wait on.
            int j = 0;
            for (; pairs && j + 1 < chunks; j += 2) {
                placePair(j);
            }
            if (!pairs && misaligned) {
                // In passes over the chunks: one chunk's chain of misalignment arithmetic is too
                // long for the processor to overlap two whole ones, but not their parts.
                for (j = 0; j < chunks; ++j) {
                    Placed at;
                    at.live =
                        prepare(j, at) &&
                        lensDisplaceStart(at.px, at.py, at.rho, at.weight, at.active, u, pixel[j],
                                          at.qx, at.qy, steps.halves[j], knownInverse, rhoPositive);
                    keep(j, at);
                }
                for (j = 0; j < chunks; ++j) {
                    if (placed[j].live) {
                        displaceSamplePowers(pixel[j].shape, steps.halves[j]);
                    }
                }
                for (j = 0; j < chunks; ++j) {
                    Placed& at = placed[j];
                    if (at.live) {
                        displaceSampleScale(u.shape, pixel[j].shape, at.qx, at.qy, steps.halves[j]);
                    }
                }
            }
            for (; j < chunks; ++j) {
                place(j);
            }
            if (sampleWeighs && !rowOccluder) {
                // Every chunk's texels first, then the sums: the loads of many chunks are in
                // flight together, not one chunk's at a time between long runs of arithmetic.
                // Where the weights differ per chunk, keeping them costs more than it gains.
                for (j = 0; j < chunks; ++j) {
                    if (placed[j].live) {
                        steps.fetched[j] =
                            lensFetchAt(placed[j].qx, placed[j].qy, u, pixel[j], source);
                    }
                }
                for (j = 0; j < chunks; ++j) {
                    if (placed[j].live) {
                        add(j, placed[j], steps.fetched[j]);
                    }
                }
            } else {
                for (j = 0; j < chunks; ++j) {
                    if (placed[j].live) {
                        draw(j, placed[j]);
                    }
                }
            }
        } else {
            for (int j = 0; j < chunks; ++j) {
                Placed at;
                if (placeAt(j, at)) {
                    draw(j, at);
                }
            }
        }
    }

    for (int j = 0; j < chunks; ++j) {
        if (alphaOne && !separable) {
            sums[j].sumA = sums[j].weightA; // its terms, alpha times the alpha weight, are those
        }
        const int at = j * LANES;
        const Rgba<LaneF> centre{load(s.centre[0] + at), load(s.centre[1] + at),
                                 load(s.centre[2] + at), load(s.centre[3] + at)};
        const Rgba<LaneF> result = lensResult(sums[j], centre);
        store(s.result[0] + at, result.x);
        store(s.result[1] + at, result.y);
        store(s.result[2] + at, result.z);
        store(s.result[3] + at, result.w);
        const LaneM finite = finiteSums(sums[j]);
        std::memcpy(s.finite + at, &finite, sizeof finite);
    }
}

void postBlurSegment(const PostFrame& frame, PostSegment& s) {
    const PlanarFetch fetch{frame.working};
    const Planes& planes = frame.working;
    const bool tables = frame.columnWeight != nullptr && frame.lanes == LANES &&
                        frame.weight != nullptr && frame.taps > 0;
    const int fetches = 1 + 2 * frame.taps;
    // One vector of pixels from the tables: the texels and weights the general fetch computes,
    // summed in the same order. With every alpha 1 the alpha plane is not read.
    auto tablePixel = [&](auto alphaOneTag, int j, int at) __attribute__((always_inline)) {
        constexpr bool ALPHA_ONE = decltype(alphaOneTag)::value;
        const std::ptrdiff_t stride = planes.stride;
        auto tableFetch = [&](int e, float scale) __attribute__((always_inline)) {
            const float b = s.rowWeight[e];
            const LaneF steps =
                bytesToFloats(frame.columnWeight + e * frame.columns + s.firstColumn + at);
            const LaneF w10 = steps * ((1.0f - b) * (1.0f / 256.0f));
            const LaneF w11 = steps * (b * (1.0f / 256.0f));
            const LaneF w00 = (1.0f - b) - w10;
            const LaneF w01 = b - w11;
            const std::ptrdiff_t offset = static_cast<std::ptrdiff_t>(s.rowOffset[e]) +
                                          frame.runTexel[e * frame.runs + s.firstRun + j];
            auto channel = [&](int ch) __attribute__((always_inline)) {
                const float* t = planes.plane[ch] + offset;
                const LaneF value = w00 * load(t) + w10 * load(t + 1) + w01 * load(t + stride) +
                                    w11 * load(t + stride + 1);
                return scale != 1.0f ? value * scale : value;
            };
            return Rgba<LaneF>{channel(0), channel(1), channel(2),
                               ALPHA_ONE ? splatL<LaneF>(scale) : channel(3)};
        };
        auto sums = [&](float scale) __attribute__((always_inline)) {
            Rgba<LaneF> sum = tableFetch(0, scale);
            float total = 1.0f;
            for (int d = 1; d <= frame.taps; ++d) {
                const float w = frame.weight[d - 1];
                const Rgba<LaneF> t1 = tableFetch(2 * d - 1, scale);
                const Rgba<LaneF> t2 = tableFetch(2 * d, scale);
                sum.x = sum.x + w * (t1.x + t2.x);
                sum.y = sum.y + w * (t1.y + t2.y);
                sum.z = sum.z + w * (t1.z + t2.z);
                sum.w = sum.w + w * (t1.w + t2.w);
                total += 2.0f * w;
            }
            return Rgba<LaneF>{sum.x / total, sum.y / total, sum.z / total, sum.w / total};
        };
        return rescueOverflow(sums(1.0f), sums);
    };
    for (int at = 0; at < s.pixels; at += LANES) {
        const LaneF u = load(s.u + at);
        const LaneF v = load(s.v + at);
        const int j = at / LANES;
        bool runs = tables;
        for (int e = 0; e < fetches && runs; ++e) {
            runs = frame.runTexel[e * frame.runs + s.firstRun + j] != NO_RUN;
        }
        Rgba<LaneF> c;
        if (runs) {
            c = planes.alphaOne ? tablePixel(std::true_type{}, j, at)
                                : tablePixel(std::false_type{}, j, at);
        } else if (frame.weight == nullptr) {
            c = postBlurGaussian(u, v, LaneTapWeights{s.weight + at}, s.taps, frame.stepU,
                                 frame.stepV, frame.reflect, fetch);
        } else if (frame.taps > 0) {
            c = postBlurGaussian(u, v, TapWeights{frame.weight}, frame.taps, frame.stepU,
                                 frame.stepV, frame.reflect, fetch);
        } else {
            c = fetch(u, v);
        }
        if (frame.last) {
            c = postBlurFinish(c, load(s.rNorm + at), *frame.params);
        }
        store(s.out[0] + at, c.x);
        store(s.out[1] + at, c.y);
        store(s.out[2] + at, c.z);
        store(s.out[3] + at, c.w);
    }
}

} // namespace HALDEN_TARGET
} // namespace cpu
} // namespace kernels
