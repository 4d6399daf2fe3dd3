#pragma once

// The CPU fast path's interface between the per-pixel set-up (plain code, any x86-64) and the
// sample loops, which are compiled once per instruction set (LaneKernels.cpp) and chosen at run
// time. Only plain data crosses it, so no inline code compiled for a wider instruction set is
// shared with the rest of the program.

#include "kernels/LensBlurKernel.h"
#include "kernels/PostBlurKernel.h"

#include <cstddef>
#include <cstdint>

namespace kernels {
namespace cpu {

// Pixels of a row handled together: the sums of a segment stay in the first-level cache while
// the samples run in the outer loop.
constexpr int SEGMENT = 256;

// Columns of padding on either side of a plane's rows: as many as the widest vector has lanes.
constexpr int PAD = 16;

// A padded planar copy of a texture's texels: channel c of texel (x, y) is at
// plane[c][(y + 1) * stride + x + PAD], and the padding (a row above and below, PAD columns
// left and right) repeats the edge texels, which is what clamp addressing reads outside the
// frame.
struct Planes {
    const float* plane[4];
    int width;
    int height;
    std::ptrdiff_t stride;
    bool alphaOne; // every alpha is 1, so bilinear alpha is exactly 1
};

// A texture the sample loop reads: planar when it samples as the effect's image textures do
// (clamp, linear, normalised), otherwise lane by lane through the emulation.
struct LaneTexture {
    const Planes* planes;   // null: use emulated
    std::uint64_t emulated; // CPU-backend texture handle; 0 reads zeros
};

// A sample's columns across one segment of SEGMENT columns.
struct SegmentColumns {
    std::int16_t weight; // the column weight * 256 all of them share, or -1
    bool edge;           // some run of them is NO_RUN
};

// The frame as the sample loops see it.
struct LensFrame {
    LensUniforms uniforms;
    OcclusionSetup colour; // the frame's part; the parallax comes per pixel
    bool colourPerPixel;   // sample colour depends on the pixel
    LaneTexture source, kernelMap, occluder;
    // A planar occluder's see-through amount (occluderFactor) per texel, when the colour
    // varies by pixel; null otherwise.
    const Planes* seeThrough;
    // The unscaled spiral: sample k lies at spiralScale * radial[k] * (along[k], across[k]).
    const float* radial;
    const float* along;
    const float* across;
    // When every pixel has the same sample count, the sample point and everything that depends
    // only on it, per sample; null otherwise.
    const float* px;
    const float* py;
    const float* rho;
    const float* inverseRho; // 1 / rho, as the displacement computes it
    const float* weight;     // blade weight; <= 0 rejects
    const float* profile;
    const float* kr;
    const float* kg;
    const float* kb;
    // Where no pixel displaces its samples (and the tables above exist), the source column a
    // sample reads at a pixel does not depend on the row: its 1/256 weight for every sample
    // and column, and for every sample and run of `lanes` columns the texel of the run's first
    // column when the run reads consecutive texels (else NO_RUN). Null otherwise.
    const std::uint8_t* columnWeight;     // [k * columns + x] = weight * 256
    const std::int32_t* runTexel;         // [k * runs + x / lanes]
    const SegmentColumns* segmentColumns; // [k * segments + x / SEGMENT]
    int columns;
    int runs;
    int segments;
    int lanes;
};

constexpr std::int32_t NO_RUN = -0x7fffffff;

// One segment of a row. The set-up fills the pixel fields; the sample loop fills the results.
struct alignas(64) LensSegment {
    int pixels;   // valid pixels from the start; the rest repeat the last one
    int maxCount; // largest sample count
    // With separable sampling: per sample, the offset of the row the sample reads in a plane
    // ((y + 1) * stride + PAD for texel row y) and its 1/256 weight.
    const std::int32_t* rowOffset;
    const float* rowWeight;
    int firstColumn; // this segment's first column
    int firstRun;    // and its first run of lanes columns
    alignas(64) float u[SEGMENT];
    alignas(64) float v[SEGMENT];
    alignas(64) float cx[SEGMENT];
    alignas(64) float cy[SEGMENT];
    alignas(64) float spread[SEGMENT];
    alignas(64) float spiralScale[SEGMENT];
    alignas(64) std::int32_t count[SEGMENT];
    alignas(64) float dirx[SEGMENT];
    alignas(64) float diry[SEGMENT];
    alignas(64) std::int32_t astigmatism[SEGMENT]; // masks: 0 or -1
    alignas(64) float astigmatismAmount[SEGMENT];
    alignas(64) float catseyeOffsetX[SEGMENT];
    alignas(64) float catseyeOffsetY[SEGMENT];
    alignas(64) std::int32_t swirl[SEGMENT];
    alignas(64) float swirlK[SEGMENT];
    alignas(64) std::int32_t misalign[SEGMENT];
    alignas(64) float misalignEx[SEGMENT];
    alignas(64) float misalignEy[SEGMENT];
    alignas(64) float misalignCos[SEGMENT];
    alignas(64) float misalignSin[SEGMENT];
    alignas(64) float parallaxX[SEGMENT];
    alignas(64) float parallaxY[SEGMENT];

    alignas(64) float centre[4][SEGMENT];
    // The blurred pixels, R, G, B, A, where finite is -1; elsewhere the sums overflowed and
    // the pixel needs the scaled pass.
    alignas(64) float result[4][SEGMENT];
    alignas(64) std::int32_t finite[SEGMENT];
};

// One execution of the post-blur where every pixel has the same post radius.
struct PostFrame {
    Planes working;
    const float* weight; // Gaussian weight per tap distance; null: per pixel, in the segment
    int taps;            // 0: the working image passes through
    float stepU, stepV;
    bool reflect;
    bool last; // vignette and Rec. 709 encoding follow
    const AnimatedParameters* params;
    // With shared weights, the column side of every fetch as in LensFrame: fetch e is the pixel
    // itself (0) or the tap at -d (2d - 1) or +d (2d); weights [e * columns + x], run texels
    // [e * runs + x / lanes]. Null otherwise.
    const std::uint8_t* columnWeight;
    const std::int32_t* runTexel;
    int columns;
    int runs;
    int lanes;
};

struct alignas(64) PostSegment {
    int pixels;
    alignas(64) float u[SEGMENT];
    alignas(64) float v[SEGMENT];
    alignas(64) float rNorm[SEGMENT];
    // Where the post radius varies by pixel: weight[(d - 1) * SEGMENT + x] for distance d, 0
    // past the pixel's taps, and the most taps of any pixel.
    const float* weight;
    int taps;
    // With the column tables: the row side of every fetch for this row, as in LensSegment.
    const std::int32_t* rowOffset;
    const float* rowWeight;
    int firstColumn;
    int firstRun;
    alignas(64) float out[4][SEGMENT];
};

using LensSegmentFunction = void (*)(const LensFrame&, LensSegment&);
using PostSegmentFunction = void (*)(const PostFrame&, PostSegment&);

// The loops of each instruction set, and the emulated fetch they call for other textures.
namespace sse2 {
void lensSegment(const LensFrame& frame, LensSegment& segment);
void postBlurSegment(const PostFrame& frame, PostSegment& segment);
} // namespace sse2
namespace avx2 {
void lensSegment(const LensFrame& frame, LensSegment& segment);
void postBlurSegment(const PostFrame& frame, PostSegment& segment);
} // namespace avx2
namespace avx512 {
void lensSegment(const LensFrame& frame, LensSegment& segment);
void postBlurSegment(const PostFrame& frame, PostSegment& segment);
} // namespace avx512
Rgba<float> fetchEmulated(std::uint64_t texture, float u, float v);

// The texel and 1/256 weight the texture emulation takes along one axis of size texels for the
// normalised, clamped coordinate c (the first texel of the pair; -1 and size are padding).
void texelAxis(float c, int size, std::int32_t& index, float& weight);

} // namespace cpu
} // namespace kernels
