#pragma once

#include "gpu/EmulatedTexture.h"

#include <atomic>
#include <cstddef>

#if defined(__SSE2__) || defined(_M_X64)
#include <xmmintrin.h>
#endif

namespace gpu {

// A surface object of the CPU backend over a float4 array. Its address is the surface handle.
// Coordinates are those of surf2Dwrite/surf2Dread: x in bytes, y in rows. CUDA's default
// boundary mode traps, which aborts the kernel; here an out-of-range or misaligned access is
// dropped (a load gives zeros) and raises the fault flag that the next synchronisation
// reports, so memory is never touched outside the array.
class EmulatedSurface {
public:
    EmulatedSurface(Texel* texels, int width, int height, std::atomic<bool>* fault)
        : texels_(texels), width_(width), height_(height), fault_(fault) {}

    int width() const { return width_; }
    int height() const { return height_; }

    void store(const Texel& value, int xBytes, int y) const {
        Texel* t = at(xBytes, y);
        if (t != nullptr) {
            *t = value;
        }
    }

    // Texels x to x + n - 1 of row y, one channel per array, written past the caches: a frame
    // is larger than they are, and the next pass reads it only once all of it is written.
    // Out of range, nothing is written and the fault flag is raised, as store does.
    void storeRun(int x, int y, int n, const float* r, const float* g, const float* b,
                  const float* a) const {
        if (x < 0 || y < 0 || n < 0 || x > width_ - n || y >= height_) {
            fault_->store(true, std::memory_order_relaxed);
            return;
        }
        Texel* t = texels_ + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                   static_cast<std::size_t>(x);
#if defined(__SSE2__) || defined(_M_X64)
        for (int i = 0; i < n; ++i) {
            _mm_stream_ps(reinterpret_cast<float*>(t + i), _mm_setr_ps(r[i], g[i], b[i], a[i]));
        }
        // Streamed stores are weakly ordered: fence them before another thread may read.
        _mm_sfence();
#else
        for (int i = 0; i < n; ++i) {
            t[i] = Texel{r[i], g[i], b[i], a[i]};
        }
#endif
    }

    Texel load(int xBytes, int y) const {
        const Texel* t = at(xBytes, y);
        return t != nullptr ? *t : Texel{0.0f, 0.0f, 0.0f, 0.0f};
    }

private:
    Texel* at(int xBytes, int y) const {
        constexpr int kBytes = static_cast<int>(sizeof(Texel));
        if (xBytes < 0 || y < 0 || xBytes % kBytes != 0 || xBytes / kBytes >= width_ ||
            y >= height_) {
            fault_->store(true, std::memory_order_relaxed);
            return nullptr;
        }
        return texels_ + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
               static_cast<std::size_t>(xBytes / kBytes);
    }

    Texel* texels_;
    int width_;
    int height_;
    std::atomic<bool>* fault_;
};

} // namespace gpu
