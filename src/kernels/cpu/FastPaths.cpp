#include "kernels/cpu/FastPaths.h"

#include "gpu/EmulatedTexture.h"
#include "kernels/RowThreadPool.h"
#include "kernels/cpu/LaneKernels.h"
#include "log/Logger.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <vector>

namespace kernels {
namespace cpu {

Rgba<float> fetchEmulated(std::uint64_t texture, float u, float v) {
    const float4 t = gpu::texFetch(texture, u, v);
    return {t.x, t.y, t.z, t.w};
}

namespace {

constexpr CpuPath kPaths[] = {CpuPath::Reference, CpuPath::Sse2, CpuPath::Avx2, CpuPath::Avx512};

CpuPath widestSupported() {
    CpuPath widest = CpuPath::Reference;
    for (CpuPath path : kPaths) {
        if (cpuPathSupported(path)) {
            widest = path;
        }
    }
    return widest;
}

CpuPath initialPath() {
    const CpuPath widest = widestSupported();
    const char* wanted = std::getenv("HALDEN_CPU_PATH");
    if (wanted == nullptr || *wanted == '\0') {
        HALDEN_LOG_INFO("CPU backend: %s sample loops", cpuPathName(widest));
        return widest;
    }
    for (CpuPath path : kPaths) {
        if (std::strcmp(wanted, cpuPathName(path)) == 0) {
            if (cpuPathSupported(path)) {
                return path;
            }
            HALDEN_LOG_ERROR("HALDEN_CPU_PATH=%s: this processor cannot run it; using %s", wanted,
                             cpuPathName(widest));
            return widest;
        }
    }
    HALDEN_LOG_ERROR("HALDEN_CPU_PATH=%s is not one of reference, sse2, avx2, avx512; using %s",
                     wanted, cpuPathName(widest));
    return widest;
}

std::atomic<int>& chosenPath() {
    static std::atomic<int> path{static_cast<int>(initialPath())};
    return path;
}

struct PathFunctions {
    LensSegmentFunction lens;
    PostSegmentFunction post;
};

PathFunctions pathFunctions(CpuPath path) {
#if defined(HALDEN_LANE_KERNELS)
    switch (path) {
    case CpuPath::Sse2:
        return {sse2::lensSegment, sse2::postBlurSegment};
    case CpuPath::Avx2:
        return {avx2::lensSegment, avx2::postBlurSegment};
    case CpuPath::Avx512:
        return {avx512::lensSegment, avx512::postBlurSegment};
    case CpuPath::Reference:
        break;
    }
#endif
    (void)path;
    return {nullptr, nullptr};
}

// Planar copies kept between frames: memory fresh from the system arrives as untouched pages,
// and faulting in a hundred megabytes a frame costs more than the post-blur. What is kept is
// bounded; callers on any thread take and give back.
class ScratchPool {
public:
    static ScratchPool& shared() {
        static ScratchPool pool;
        return pool;
    }

    // A buffer of at least floats elements (its size in capacity), not zeroed.
    std::unique_ptr<float[]> take(std::size_t floats, std::size_t& capacity) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            std::size_t best = kept_.size();
            for (std::size_t i = 0; i < kept_.size(); ++i) {
                if (kept_[i].capacity >= floats && kept_[i].capacity <= floats + floats / 4 &&
                    (best == kept_.size() || kept_[i].capacity < kept_[best].capacity)) {
                    best = i;
                }
            }
            if (best != kept_.size()) {
                Kept found = std::move(kept_[best]);
                kept_.erase(kept_.begin() + static_cast<std::ptrdiff_t>(best));
                keptFloats_ -= found.capacity;
                capacity = found.capacity;
                return std::move(found.buffer);
            }
        }
        capacity = floats;
        return std::unique_ptr<float[]>(new float[floats]);
    }

    void give(std::unique_ptr<float[]> buffer, std::size_t capacity) {
        if (buffer == nullptr) {
            return;
        }
        const std::lock_guard<std::mutex> lock(mutex_);
        // Within the bound, the newest buffers stay: they fit the frames being rendered now.
        while (!kept_.empty() &&
               (kept_.size() >= kMaxBuffers || keptFloats_ + capacity > kMaxFloats)) {
            keptFloats_ -= kept_.front().capacity;
            kept_.erase(kept_.begin());
        }
        if (capacity <= kMaxFloats) {
            keptFloats_ += capacity;
            kept_.push_back({std::move(buffer), capacity});
        }
    }

private:
    static constexpr std::size_t kMaxBuffers = 4;
    static constexpr std::size_t kMaxFloats = std::size_t(256) << 20 >> 2; // 256 MiB

    struct Kept {
        std::unique_ptr<float[]> buffer;
        std::size_t capacity;
    };
    std::mutex mutex_;
    std::vector<Kept> kept_;
    std::size_t keptFloats_ = 0;
};

// A buffer from the pool, given back when replaced or destroyed.
class PooledFloats {
public:
    PooledFloats() = default;
    PooledFloats(const PooledFloats&) = delete;
    PooledFloats& operator=(const PooledFloats&) = delete;
    ~PooledFloats() { ScratchPool::shared().give(std::move(storage_), capacity_); }

    // At least floats elements, not zeroed.
    float* take(std::size_t floats) {
        ScratchPool::shared().give(std::move(storage_), capacity_);
        storage_ = ScratchPool::shared().take(floats, capacity_);
        return storage_.get();
    }

private:
    std::unique_ptr<float[]> storage_;
    std::size_t capacity_ = 0;
};

// Floats past a planar copy's last plane: reads of a whole window beyond a texel land there.
constexpr std::size_t kSlack = 64;

// Padded planar copy of a texture that samples as TextureDesc::standard() describes.
class PlanarCopy {
public:
    bool build(const gpu::EmulatedTexture& texture) {
        const int width = texture.width();
        const int height = texture.height();
        // Rows a multiple of 64 bytes, but never of 4 KiB: such strides alias in the cache.
        std::ptrdiff_t stride = (static_cast<std::ptrdiff_t>(width) + 2 * PAD + 15) / 16 * 16;
        if (stride % 1024 == 0) {
            stride += 16;
        }
        const std::ptrdiff_t rows = static_cast<std::ptrdiff_t>(height) + 2;
        // Gathers index a plane with 32-bit offsets.
        if (width <= 0 || height <= 0 ||
            rows * stride > std::numeric_limits<std::int32_t>::max() / 2) {
            return false;
        }
        const std::size_t planeSize = static_cast<std::size_t>(rows * stride);
        // Every element is written below.
        float* base = storage_.take(4 * planeSize + kSlack);
        std::fill(base + 4 * planeSize, base + 4 * planeSize + kSlack, 0.0f);
        // Rows in parallel: at 4 floats a texel the copy is bandwidth, and one thread alone
        // leaves the other cores idle between the passes.
        std::atomic<bool> alphaOne{true};
        RowThreadPool::shared().run(static_cast<int>(rows), [&](int py) {
            const int y = std::min(std::max(py - 1, 0), height - 1);
            const gpu::Texel* row =
                texture.texels() + static_cast<std::size_t>(y) * texture.rowTexels();
            float* out[4];
            for (int c = 0; c < 4; ++c) {
                out[c] = base + c * planeSize + py * stride;
            }
            bool rowAlphaOne = true;
            for (std::ptrdiff_t px = 0; px < width + 2 * PAD; ++px) {
                const int x = static_cast<int>(
                    std::min<std::ptrdiff_t>(std::max<std::ptrdiff_t>(px - PAD, 0), width - 1));
                const gpu::Texel& t = row[x];
                out[0][px] = t.x;
                out[1][px] = t.y;
                out[2][px] = t.z;
                out[3][px] = t.w;
                rowAlphaOne = rowAlphaOne && t.w == 1.0f;
            }
            for (int c = 0; c < 4; ++c) {
                std::fill(out[c] + width + 2 * PAD, out[c] + stride, 0.0f);
            }
            if (!rowAlphaOne) {
                alphaOne.store(false, std::memory_order_relaxed);
            }
        });
        for (int c = 0; c < 4; ++c) {
            planes_.plane[c] = base + c * planeSize;
        }
        planes_.width = width;
        planes_.height = height;
        planes_.stride = stride;
        planes_.alphaOne = alphaOne.load();
        return true;
    }

    const Planes& planes() const { return planes_; }

private:
    PooledFloats storage_;
    Planes planes_{};
};

// How much of the disc each texel of a planar occluder lets through, in one plane that every
// channel of the returned planes reads: the sample loops then fetch one channel instead of
// three. Bilinear filtering commutes with this linear map up to rounding.
class SeeThroughPlane {
public:
    const Planes* build(const Planes& occluder, const OcclusionSetup& o) {
        // Rows of padding and the slack past the plane, as the planar copy has them.
        const std::size_t size = static_cast<std::size_t>(occluder.height + 2) *
                                     static_cast<std::size_t>(occluder.stride) +
                                 kSlack;
        float* out = storage_.take(size);
        const float* r = occluder.plane[0];
        const float* g = occluder.plane[1];
        const float* b = occluder.plane[2];
        for (std::size_t i = 0; i < size; ++i) {
            const Rgba<float> t{r[i], g[i], b[i], 1.0f};
            out[i] = occluderFactor(o, t);
        }
        planes_ = occluder;
        for (const float*& plane : planes_.plane) {
            plane = out;
        }
        planes_.alphaOne = false;
        return &planes_;
    }

private:
    PooledFloats storage_;
    Planes planes_{};
};

// A texture for the lanes: planar when it samples as the effect's images do.
LaneTexture laneTexture(std::uint64_t handle, PlanarCopy& copy) {
    const auto* texture = reinterpret_cast<const gpu::EmulatedTexture*>(handle);
    if (texture != nullptr && texture->clampLinearNormalised() && copy.build(*texture)) {
        return {&copy.planes(), 0};
    }
    return {nullptr, handle};
}

// Per-sample tables of the frame.
struct SampleTables {
    std::vector<float> radial, along, across;
    std::vector<float> px, py, rho, inverseRho, weight, profile, kr, kg, kb;
};

} // namespace

void texelAxis(float c, int size, std::int32_t& index, float& weight) {
    constexpr float kLimit = 4194304.0f;
    float x = c * static_cast<float>(size);
    x = x >= -kLimit ? x : -kLimit; // a NaN too, as fmaxf has it
    x = x <= kLimit ? x : kLimit;
    // As the lanes do it (PlanarFetch::axis): without a rounding instruction floorf is a call.
    // The position in 1/256 texels is below 2^31 in magnitude, so truncation and a step down
    // where it rounded up give the floor.
    const float scaled = (x - 0.5f) * 256.0f + 0.5f;
    std::int32_t q = static_cast<std::int32_t>(scaled);
    q -= static_cast<float>(q) > scaled ? 1 : 0;
    weight = static_cast<float>(q & 255) * (1.0f / 256.0f);
    index = std::min(std::max(q >> 8, -1), size - 1);
}

namespace {

// A segment's results, channel by channel, into the output surface (0: nowhere).
void writeRun(std::uint64_t surface, int x, int y, int n, const float (*channel)[SEGMENT]) {
    if (surface != 0) {
        reinterpret_cast<const gpu::EmulatedSurface*>(surface)->storeRun(
            x, y, n, channel[0], channel[1], channel[2], channel[3]);
    }
}

int lanesOf(CpuPath path) {
    return path == CpuPath::Avx512 ? 16 : path == CpuPath::Avx2 ? 8 : 4;
}

// The texel lane 0 of a run of lanes columns reads when lane i reads texel first + i (pairs
// first + i and first + i + 1), or NO_RUN. A lane whose pair lies at or past an edge reads the
// edge texel twice wherever in the padding it reads, so only the lanes inside need their own
// texel; the lanes past the frame's last column (valid onwards) read anything in bounds.
std::int32_t runStart(const std::int32_t* texel, int lanes, int valid, int width) {
    std::int32_t first = NO_RUN;
    bool left = false, right = false;
    for (int i = 0; i < valid; ++i) {
        if (texel[i] <= -1) {
            left = true;
        } else if (texel[i] >= width - 1) {
            right = true;
        } else if (first == NO_RUN) {
            first = texel[i] - i;
        }
    }
    if (first == NO_RUN) {
        first = left && !right ? -lanes : right && !left ? width - 1 : NO_RUN;
    }
    if (first == NO_RUN || first < -PAD || first + lanes > width + PAD - 1) {
        return NO_RUN;
    }
    for (int i = 0; i < valid; ++i) {
        const bool fits = texel[i] <= -1          ? first + i <= -1
                          : texel[i] >= width - 1 ? first + i >= width - 1
                                                  : texel[i] == first + i;
        if (!fits) {
            return NO_RUN;
        }
    }
    return first;
}

// The column side of `fetches` fetches that read the same columns on every row, for vectors of
// `lanes` pixels: per fetch and column the 1/256 weight, per fetch and run of lanes columns
// the texel of its first column (or NO_RUN). coordinate(e, x) is the normalised coordinate
// fetch e reads for column x.
class ColumnTables {
public:
    ColumnTables(int width, int lanes)
        : width_(width), lanes_(lanes), runs_((width + lanes - 1) / lanes), columns_(runs_ * lanes),
          segments_((width + SEGMENT - 1) / SEGMENT) {}

    int columns() const { return columns_; }

    template <class Coordinate>
    void build(int fetches, const Coordinate& coordinate) {
        weight_.resize(static_cast<std::size_t>(fetches) * columns_);
        runTexel_.resize(static_cast<std::size_t>(fetches) * runs_);
        segmentColumns_.resize(static_cast<std::size_t>(fetches) * segments_);
        RowThreadPool::shared().run(fetches, [&](int e) {
            std::vector<std::int32_t> texels(static_cast<std::size_t>(lanes_));
            for (int x = 0; x < columns_; ++x) {
                float fraction;
                texelAxis(coordinate(e, x), width_, texels[static_cast<std::size_t>(x % lanes_)],
                          fraction);
                weight_[static_cast<std::size_t>(e) * columns_ + x] =
                    static_cast<std::uint8_t>(fraction * 256.0f);
                if (x % lanes_ == lanes_ - 1) {
                    runTexel_[static_cast<std::size_t>(e) * runs_ + x / lanes_] = runStart(
                        texels.data(), lanes_, std::min(lanes_, width_ - (x - lanes_ + 1)), width_);
                }
            }
            const std::uint8_t* weights = weight_.data() + static_cast<std::size_t>(e) * columns_;
            const std::int32_t* starts = runTexel_.data() + static_cast<std::size_t>(e) * runs_;
            for (int segment = 0; segment < segments_; ++segment) {
                const int first = segment * SEGMENT;
                const int end = std::min(width_, first + SEGMENT);
                const bool shared =
                    std::all_of(weights + first, weights + end,
                                [&](std::uint8_t w) { return w == weights[first]; });
                const std::int32_t* last = starts + (end + lanes_ - 1) / lanes_;
                const bool edge = std::find(starts + first / lanes_, last, NO_RUN) != last;
                segmentColumns_[static_cast<std::size_t>(e) * segments_ + segment] = {
                    static_cast<std::int16_t>(shared ? weights[first] : -1), edge};
            }
        });
    }

    // Points a frame's table fields here.
    template <class Frame>
    void attach(Frame& frame) const {
        frame.columnWeight = weight_.data();
        frame.runTexel = runTexel_.data();
        frame.columns = columns_;
        frame.runs = runs_;
        frame.lanes = lanes_;
    }

    // The lens loop also takes what each segment's columns share.
    void attach(LensFrame& frame) const {
        attach<LensFrame>(frame);
        frame.segmentColumns = segmentColumns_.data();
        frame.segments = segments_;
    }

private:
    int width_, lanes_, runs_, columns_, segments_;
    std::vector<std::uint8_t> weight_;
    std::vector<std::int32_t> runTexel_;
    std::vector<SegmentColumns> segmentColumns_;
};

// An upper bound of sampleCount over all radii.
int sampleCountBound(int height, const AnimatedParameters& p) {
    const float q = qualityMultiplier(p.intParams[slot::quality_preset]);
    const float s = static_cast<float>(height) / REFERENCE_HEIGHT;
    const float oversample = p.floatParams[slot::oversample];
    const float lo = oversample * static_cast<float>(p.intParams[slot::min_samples]) * q * s;
    const float hi = oversample * static_cast<float>(p.intParams[slot::max_samples]) * q * s;
    const float bound = fmaxf(lo, hi) + 1.5f;
    return bound > 0.0f ? static_cast<int>(fminf(bound, 2.0e9f)) : 0;
}

} // namespace

const char* cpuPathName(CpuPath path) {
    switch (path) {
    case CpuPath::Sse2:
        return "sse2";
    case CpuPath::Avx2:
        return "avx2";
    case CpuPath::Avx512:
        return "avx512";
    case CpuPath::Reference:
    default:
        return "reference";
    }
}

bool cpuPathSupported(CpuPath path) {
    if (path == CpuPath::Reference) {
        return true;
    }
    if (pathFunctions(path).lens == nullptr) {
        return false;
    }
#if defined(__x86_64__) || defined(_M_X64)
    __builtin_cpu_init();
    switch (path) {
    case CpuPath::Sse2:
        return true;
    case CpuPath::Avx2:
        return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    case CpuPath::Avx512:
        return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq") &&
               __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vl") &&
               __builtin_cpu_supports("fma");
    case CpuPath::Reference:
        break;
    }
#endif
    return false;
}

CpuPath activeCpuPath() {
    return static_cast<CpuPath>(chosenPath().load(std::memory_order_relaxed));
}

void setCpuPath(CpuPath path) {
    chosenPath().store(static_cast<int>(cpuPathSupported(path) ? path : widestSupported()),
                       std::memory_order_relaxed);
}

bool lensBlurFast(const SystemParameters& sys, const SourceConnections& sources,
                  std::uint64_t outputSurface, const AnimatedParameters& p,
                  const BundledResources& bundled) {
    const LensSegmentFunction lensSegment = pathFunctions(activeCpuPath()).lens;
    const std::uint64_t sourceHandle =
        sources.sourceCount > 0 ? sources.sources[0].textureObject : 0;
    if (lensSegment == nullptr || sourceHandle == 0) {
        return false;
    }
    PlanarCopy sourceCopy, kernelCopy, occluderCopy;
    LensFrame frame{};
    frame.source = laneTexture(sourceHandle, sourceCopy);
    if (frame.source.planes == nullptr) {
        return false;
    }

    const int width = sys.width;
    const int height = sys.height;
    const PixelFrame origin = pixelFrame(0, 0, width, height, p);
    const ShapeSetup shape = shapeFrame(p);
    frame.uniforms = lensUniforms(shape, origin.aspect, p);
    const int texture = p.intParams[slot::fg_texture];
    const float sway = texture > 0 && bundled.resourceCount > 0 ? windSway(sys.time, p) : 0.0f;
    frame.colour = occlusionFrame(origin.aspect, sway, p, sources, bundled);
    frame.colourPerPixel = occlusionVariesByPixel(frame.colour, p);
    frame.kernelMap = frame.colour.kernelMap
                          ? laneTexture(frame.colour.kernelMapTexture, kernelCopy)
                          : LaneTexture{nullptr, 0};
    frame.occluder = frame.colour.occlusion
                         ? laneTexture(frame.colour.occluderTexture, occluderCopy)
                         : LaneTexture{nullptr, 0};
    SeeThroughPlane seeThrough;
    if (frame.colourPerPixel && !frame.colour.kernelMap && frame.occluder.planes != nullptr) {
        frame.seeThrough = seeThrough.build(*frame.occluder.planes, frame.colour);
    }

    // The spiral, as far as any pixel's sample count reaches.
    SampleTables t;
    const bool uniform = !p.boolParams[slot::falloff_enable];
    const float uniformRadius = localBlurRadius(origin, height, p, sources);
    const int uniformCount = sampleCount(uniformRadius, height, p);
    const int bound = uniform ? std::max(uniformCount, 0) : sampleCountBound(height, p);
    // Settings no picture needs; the per-pixel path takes them without the tables.
    if (bound > (1 << 20)) {
        return false;
    }
    t.radial.resize(static_cast<std::size_t>(bound));
    t.along.resize(static_cast<std::size_t>(bound));
    t.across.resize(static_cast<std::size_t>(bound));
    SpiralStep spiral;
    for (int k = 0; k < bound; ++k) {
        spiral.next();
        t.radial[static_cast<std::size_t>(k)] = spiral.radial();
        t.along[static_cast<std::size_t>(k)] = spiral.b;
        t.across[static_cast<std::size_t>(k)] = spiral.a;
    }
    frame.radial = t.radial.data();
    frame.along = t.along.data();
    frame.across = t.across.data();

    if (uniform && uniformCount > 0) {
        // Everything that depends only on the sample, once per frame.
        const float spiralScale = sqrtf(0.5f / static_cast<float>(uniformCount));
        for (std::vector<float>* table :
             {&t.px, &t.py, &t.rho, &t.inverseRho, &t.weight, &t.profile, &t.kr, &t.kg, &t.kb}) {
            table->resize(static_cast<std::size_t>(uniformCount));
        }
        for (std::size_t k = 0; k < static_cast<std::size_t>(uniformCount); ++k) {
            const float px = spiralScale * t.radial[k] * t.along[k];
            const float py = spiralScale * t.radial[k] * t.across[k];
            const float rho = sqrtf(px * px + py * py);
            t.px[k] = px;
            t.py[k] = py;
            t.rho[k] = rho;
            t.inverseRho[k] = 1.0f / rho;
            t.weight[k] = shape.blades ? bladeWeight(shape, px, py, rho) : 1.0f;
            t.profile[k] = discProfile(shape, rho);
            if (!frame.colourPerPixel) {
                sampleColour(frame.colour, origin.aspect, px, py, t.kr[k], t.kg[k], t.kb[k]);
            }
        }
        frame.px = t.px.data();
        frame.py = t.py.data();
        frame.rho = t.rho.data();
        frame.inverseRho = t.inverseRho.data();
        frame.weight = t.weight.data();
        frame.profile = t.profile.data();
        frame.kr = t.kr.data();
        frame.kg = t.kg.data();
        frame.kb = t.kb.data();
    }

    // Separable sampling: no pixel displaces its samples, so the column side of every fetch is
    // the same on every row. A sliding occluder only colours the samples.
    const float* fp = p.floatParams;
    const bool separableLook = frame.px != nullptr &&
                               !(frame.colourPerPixel && frame.colour.kernelMap) &&
                               fp[slot::radial_skew] == 0.0f && !p.boolParams[slot::swirl_enable] &&
                               !p.boolParams[slot::superq_enable] && !shape.catseye;
    const float spread = uniformRadius / static_cast<float>(height);
    const float spiralScale =
        uniformCount > 0 ? sqrtf(0.5f / static_cast<float>(uniformCount)) : 0.0f;
    const float stretchX = shape.anamorphic ? shape.anamorphicX : 1.0f;
    const float stretchY = shape.anamorphic ? shape.anamorphicY : 1.0f;
    ColumnTables tables(width, lanesOf(activeCpuPath()));
    const int columns = tables.columns();
    // The column tables take a byte per sample and column: beyond 64 MiB the general loop is
    // the better trade.
    const bool separable =
        separableLook && static_cast<double>(uniformCount) * columns <= 64.0 * 1024 * 1024;
    // Per column as pixelFrame has them, as far as the last segment reaches: the columns past
    // the row repeat its last pixel, as the segments' lanes do.
    std::vector<float> columnU, cx;
    if (separable) {
        const int reach = std::max(columns, (width + SEGMENT - 1) / SEGMENT * SEGMENT);
        columnU.resize(static_cast<std::size_t>(reach));
        cx.resize(static_cast<std::size_t>(reach));
        for (int x = 0; x < reach; ++x) {
            const PixelFrame f = pixelFrame(std::min(x, width - 1), 0, width, height, p);
            columnU[static_cast<std::size_t>(x)] = f.u;
            cx[static_cast<std::size_t>(x)] = f.cx;
        }
        tables.build(uniformCount, [&](int k, int x) {
            const float qx = t.px[static_cast<std::size_t>(k)] * stretchX;
            return edgeCoordinate((cx[static_cast<std::size_t>(x)] + spread * qx) / origin.aspect +
                                      0.5f,
                                  frame.uniforms.reflect);
        });
        tables.attach(frame);
    }

    RowThreadPool::shared().run(height, [&](int y) {
        std::unique_ptr<LensSegment> segment(new LensSegment);
        LensSegment& s = *segment;
        std::vector<std::int32_t> rowOffset;
        std::vector<float> rowWeight;
        if (separable) {
            // The row side of every fetch of this row.
            const float cy = pixelFrame(0, y, width, height, p).cy;
            rowOffset.resize(static_cast<std::size_t>(uniformCount));
            rowWeight.resize(static_cast<std::size_t>(uniformCount));
            for (std::size_t k = 0; k < rowOffset.size(); ++k) {
                const float sv = edgeCoordinate(cy + spread * (t.py[k] * stretchY) + 0.5f,
                                                frame.uniforms.reflect);
                std::int32_t texel;
                texelAxis(sv, height, texel, rowWeight[k]);
                rowOffset[k] =
                    static_cast<std::int32_t>((texel + 1) * frame.source.planes->stride + PAD);
            }
        }
        s.rowOffset = rowOffset.data();
        s.rowWeight = rowWeight.data();
        for (int x0 = 0; x0 < width; x0 += SEGMENT) {
            s.pixels = std::min(SEGMENT, width - x0);
            s.firstColumn = x0;
            s.firstRun = separable ? x0 / frame.lanes : 0;
            s.maxCount = 0;
            if (separable) {
                // No pixel has a shape of its own. Lanes past the row take no samples.
                const int count = uniformRadius >= 1.0f ? uniformCount : 0;
                s.maxCount = count;
                std::fill_n(s.count, s.pixels, count);
                std::fill_n(s.count + s.pixels, SEGMENT - s.pixels, 0);
                std::copy_n(columnU.data() + x0, SEGMENT, s.u);
                std::copy_n(cx.data() + x0, SEGMENT, s.cx);
                std::fill_n(s.parallaxX, SEGMENT, 0.0f);
                std::fill_n(s.parallaxY, SEGMENT, 0.0f);
                for (int i = 0; frame.colourPerPixel && i < SEGMENT; ++i) {
                    OcclusionSetup colour = frame.colour;
                    occlusionPixel(colour,
                                   pixelFrame(std::min(x0 + i, width - 1), y, width, height, p), p);
                    s.parallaxX[i] = colour.parallaxX;
                    s.parallaxY[i] = colour.parallaxY;
                }
                if (x0 == 0) {
                    // The rest is the same all along the row.
                    const float v = (static_cast<float>(y) + 0.5f) / static_cast<float>(height);
                    std::fill_n(s.v, SEGMENT, v);
                    std::fill_n(s.cy, SEGMENT, v - 0.5f);
                    std::fill_n(s.spread, SEGMENT, spread);
                    std::fill_n(s.spiralScale, SEGMENT, spiralScale);
                    for (float* zero : {s.dirx, s.diry, s.astigmatismAmount, s.catseyeOffsetX,
                                        s.catseyeOffsetY, s.swirlK, s.misalignSin}) {
                        std::fill_n(zero, SEGMENT, 0.0f);
                    }
                    for (float* one : {s.misalignCos, s.misalignEx, s.misalignEy}) {
                        std::fill_n(one, SEGMENT, 1.0f);
                    }
                    for (std::int32_t* off : {s.astigmatism, s.swirl, s.misalign}) {
                        std::fill_n(off, SEGMENT, 0);
                    }
                }
            }
            for (int i = 0; !separable && i < SEGMENT; ++i) {
                // Lanes past the row repeat its last pixel, with no samples.
                const int x = std::min(x0 + i, width - 1);
                const PixelFrame f = pixelFrame(x, y, width, height, p);
                const float radius =
                    uniform ? uniformRadius : localBlurRadius(f, height, p, sources);
                int count = uniform ? uniformCount : sampleCount(radius, height, p);
                if (radius < 1.0f || count <= 0 || i >= s.pixels) {
                    count = 0;
                }
                s.maxCount = std::max(s.maxCount, std::min(count, bound));
                s.count[i] = std::min(count, bound);
                s.u[i] = f.u;
                s.v[i] = f.v;
                s.cx[i] = f.cx;
                s.cy[i] = f.cy;
                s.spread[i] = radius / static_cast<float>(height);
                s.spiralScale[i] = count > 0 ? sqrtf(0.5f / static_cast<float>(count)) : 0.0f;
                ShapeSetup pixelShape = shape;
                shapePixel(pixelShape, f, p);
                s.dirx[i] = f.dirx;
                s.diry[i] = f.diry;
                s.astigmatism[i] = pixelShape.astigmatism ? -1 : 0;
                s.astigmatismAmount[i] = pixelShape.astigmatismAmount;
                s.catseyeOffsetX[i] = pixelShape.catseyeOffsetX;
                s.catseyeOffsetY[i] = pixelShape.catseyeOffsetY;
                s.swirl[i] = pixelShape.swirl ? -1 : 0;
                s.swirlK[i] = pixelShape.swirlK;
                s.misalign[i] = pixelShape.misalign ? -1 : 0;
                s.misalignEx[i] = pixelShape.misalignEx;
                s.misalignEy[i] = pixelShape.misalignEy;
                s.misalignCos[i] = pixelShape.misalignCos;
                s.misalignSin[i] = pixelShape.misalignSin;
                s.parallaxX[i] = 0.0f;
                s.parallaxY[i] = 0.0f;
                if (frame.colourPerPixel) {
                    OcclusionSetup colour = frame.colour;
                    occlusionPixel(colour, f, p);
                    s.parallaxX[i] = colour.parallaxX;
                    s.parallaxY[i] = colour.parallaxY;
                }
            }
            lensSegment(frame, s);
            for (int i = 0; i < s.pixels; ++i) {
                if (s.finite[i] == 0) {
                    // Sums that overflowed: the pixel again, scaled, as the reference path does.
                    const float4 value =
                        lensBlurScaled(lensPixel(x0 + i, y, sys, sources, p, bundled));
                    s.result[0][i] = value.x;
                    s.result[1][i] = value.y;
                    s.result[2][i] = value.z;
                    s.result[3][i] = value.w;
                }
            }
            writeRun(outputSurface, x0, y, s.pixels, s.result);
        }
    });
    return true;
}

bool postBlurFast(const SystemParameters& sys, std::uint64_t workingImage,
                  const SourceConnections& sources, std::uint64_t outputSurface,
                  const AnimatedParameters& p) {
    const PostSegmentFunction postSegment = pathFunctions(activeCpuPath()).post;
    const float scale = p.floatParams[slot::post_blur_scale];
    if (postSegment == nullptr || workingImage == 0) {
        return false;
    }
    const bool perPixel = scale > 0.0f && p.boolParams[slot::falloff_enable];
    PlanarCopy workingCopy;
    const LaneTexture working = laneTexture(workingImage, workingCopy);
    if (working.planes == nullptr) {
        return false;
    }
    const int width = sys.width;
    const int height = sys.height;
    const PixelFrame origin = pixelFrame(0, 0, width, height, p);
    float weight[POST_BLUR_MAX_TAPS];
    PostFrame frame{};
    frame.working = *working.planes;
    frame.weight = perPixel ? nullptr : weight;
    frame.reflect = p.boolParams[slot::edge_mode] != 0;
    frame.last = sys.currentKernelExecution == sys.totalKernelExecutions - 1;
    frame.params = &p;
    const bool horizontal = sys.currentKernelExecution == 0;
    frame.stepU = horizontal ? 1.0f / static_cast<float>(width) : 0.0f;
    frame.stepV = horizontal ? 0.0f : 1.0f / static_cast<float>(height);
    if (scale > 0.0f && !perPixel) {
        const float postRadius = scale * localBlurRadius(origin, height, p, sources);
        if (postRadius >= 0.5f) {
            frame.taps = postBlurWeights(postRadius, weight);
        }
    }

    // With shared weights the column side of every fetch is the same on every row.
    const int fetches = 1 + 2 * frame.taps;
    ColumnTables tables(width, lanesOf(activeCpuPath()));
    // The coordinate fetch e reads along an axis: the pixel's own, or a tap's.
    auto tapCoordinate = [&frame](int e, float centre, float step) {
        if (e == 0) {
            return centre;
        }
        const float offset = static_cast<float>((e + 1) / 2) * step;
        return edgeCoordinate(e % 2 == 1 ? centre - offset : centre + offset, frame.reflect);
    };
    if (!perPixel && frame.taps > 0) {
        tables.build(fetches, [&](int e, int x) {
            const float u =
                (static_cast<float>(std::min(x, width - 1)) + 0.5f) / static_cast<float>(width);
            return tapCoordinate(e, u, frame.stepU);
        });
        tables.attach(frame);
    }

    // Only the vignette needs the pixel's distance from the optical centre.
    const bool vignette = frame.last && p.boolParams[slot::vignette_enable] &&
                          p.floatParams[slot::vignette_strength] > 0.0f;
    // Otherwise a pixel needs only its u and v, as pixelFrame has them: u from a table, whose
    // columns past the row repeat its last pixel as the segments' lanes do.
    std::vector<float> columnU;
    if (!perPixel && !vignette) {
        columnU.resize(static_cast<std::size_t>((width + SEGMENT - 1) / SEGMENT * SEGMENT));
        for (std::size_t x = 0; x < columnU.size(); ++x) {
            columnU[x] = (static_cast<float>(std::min(static_cast<int>(x), width - 1)) + 0.5f) /
                         static_cast<float>(width);
        }
    }
    RowThreadPool::shared().run(height, [&](int y) {
        std::unique_ptr<PostSegment> segment(new PostSegment);
        PostSegment& s = *segment;
        std::vector<float> weights; // per pixel: the weights of each tap distance
        std::vector<std::int32_t> rowOffset;
        std::vector<float> rowWeight;
        if (frame.columnWeight != nullptr) {
            const float v = (static_cast<float>(y) + 0.5f) / static_cast<float>(height);
            rowOffset.resize(static_cast<std::size_t>(fetches));
            rowWeight.resize(static_cast<std::size_t>(fetches));
            for (int e = 0; e < fetches; ++e) {
                std::int32_t texel;
                texelAxis(tapCoordinate(e, v, frame.stepV), height, texel,
                          rowWeight[static_cast<std::size_t>(e)]);
                rowOffset[static_cast<std::size_t>(e)] =
                    static_cast<std::int32_t>((texel + 1) * frame.working.stride + PAD);
            }
        }
        s.rowOffset = rowOffset.data();
        s.rowWeight = rowWeight.data();
        for (int x0 = 0; x0 < width; x0 += SEGMENT) {
            s.pixels = std::min(SEGMENT, width - x0);
            s.taps = 0;
            s.firstColumn = x0;
            s.firstRun = frame.lanes > 0 ? x0 / frame.lanes : 0;
            if (perPixel) {
                weights.assign(static_cast<std::size_t>(POST_BLUR_MAX_TAPS) * SEGMENT, 0.0f);
            }
            if (!columnU.empty()) {
                std::copy_n(columnU.data() + x0, SEGMENT, s.u);
                std::fill_n(s.v, SEGMENT,
                            (static_cast<float>(y) + 0.5f) / static_cast<float>(height));
                std::fill_n(s.rNorm, SEGMENT, 0.0f);
            }
            for (int i = 0; columnU.empty() && i < SEGMENT; ++i) {
                const PixelFrame f = pixelFrame(std::min(x0 + i, width - 1), y, width, height, p);
                s.u[i] = f.u;
                s.v[i] = f.v;
                s.rNorm[i] = f.rNorm;
                const float postRadius =
                    perPixel ? scale * localBlurRadius(f, height, p, sources) : 0.0f;
                if (postRadius >= 0.5f && i < s.pixels) {
                    float own[POST_BLUR_MAX_TAPS];
                    const int taps = postBlurWeights(postRadius, own);
                    for (int d = 0; d < taps; ++d) {
                        weights[static_cast<std::size_t>(d) * SEGMENT + i] = own[d];
                    }
                    s.taps = std::max(s.taps, taps);
                }
            }
            s.weight = weights.data();
            postSegment(frame, s);
            writeRun(outputSurface, x0, y, s.pixels, s.out);
        }
    });
    return true;
}

} // namespace cpu
} // namespace kernels
