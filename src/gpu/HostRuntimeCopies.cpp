#include "gpu/HostRuntime.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

// The copies of HostRuntime: bounds and kinds are checked as CUDA checks them, and the device
// side of every copy must lie inside one tracked block, so a bad copy fails instead of
// overrunning memory.

namespace gpu {

namespace {

bool validKind(MemcpyKind kind) {
    const int value = static_cast<int>(kind);
    return value >= static_cast<int>(MemcpyKind::HostToHost) &&
           value <= static_cast<int>(MemcpyKind::Default);
}

bool sourceIsDevice(MemcpyKind kind) {
    return kind == MemcpyKind::DeviceToHost || kind == MemcpyKind::DeviceToDevice;
}

bool destinationIsDevice(MemcpyKind kind) {
    return kind == MemcpyKind::HostToDevice || kind == MemcpyKind::DeviceToDevice;
}

void copyBand(std::byte* dst, std::size_t dpitch, const std::byte* src, std::size_t spitch,
              std::size_t width, std::size_t first, std::size_t last) {
    if (dpitch == width && spitch == width) {
        std::memmove(dst + first * width, src + first * width, (last - first) * width);
        return;
    }
    for (std::size_t row = first; row < last; ++row) {
        std::memmove(dst + row * dpitch, src + row * spitch, width);
    }
}

// Frame-sized copies run in bands on a few threads: one core alone uses a fraction of the
// memory bandwidth, and the passes wait on these copies. Overlapping ranges keep memmove's
// single pass, and a thread that cannot be started leaves its band to this one.
void copyRows(std::byte* dst, std::size_t dpitch, const std::byte* src, std::size_t spitch,
              std::size_t width, std::size_t height) {
    constexpr std::size_t kParallelBytes = std::size_t{8} << 20;
    const auto to = reinterpret_cast<std::uintptr_t>(dst);
    const auto from = reinterpret_cast<std::uintptr_t>(src);
    const bool apart =
        to + (height - 1) * dpitch + width <= from || from + (height - 1) * spitch + width <= to;
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    std::size_t bands =
        apart && width * height >= kParallelBytes ? std::min({cores, std::size_t{4}, height}) : 1;
    std::vector<std::thread> helpers;
    try {
        helpers.reserve(bands - 1);
    } catch (const std::bad_alloc&) {
        bands = 1;
    }
    for (std::size_t band = 1; band < bands; ++band) {
        const std::size_t first = height * band / bands, last = height * (band + 1) / bands;
        try {
            helpers.emplace_back(copyBand, dst, dpitch, src, spitch, width, first, last);
        } catch (const std::system_error&) {
            copyBand(dst, dpitch, src, spitch, width, first, last);
        }
    }
    copyBand(dst, dpitch, src, spitch, width, 0, height / bands);
    for (std::thread& helper : helpers) {
        helper.join();
    }
}

} // namespace

Error HostRuntime::copy2D(Operation operation, void* dst, std::size_t dpitch, const void* src,
                          std::size_t spitch, std::size_t width, std::size_t height,
                          MemcpyKind kind) {
    Error error = Error::Success;
    if (injected(operation, &error)) {
        return fail(error);
    }
    if (!validKind(kind)) {
        return fail(Error::InvalidMemcpyDirection);
    }
    if (width == 0 || height == 0) {
        return Error::Success;
    }
    if (dst == nullptr || src == nullptr) {
        return fail(Error::InvalidValue);
    }
    if (width > dpitch || width > spitch) {
        return fail(Error::InvalidPitchValue);
    }
    std::size_t dstExtent = 0;
    std::size_t srcExtent = 0;
    if (!extent2D(dpitch, width, height, &dstExtent) ||
        !extent2D(spitch, width, height, &srcExtent)) {
        return fail(Error::InvalidValue);
    }
    Region to;
    Region from;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        error = locateLinear(dst, dstExtent, destinationIsDevice(kind), &to);
        if (error == Error::Success) {
            error = locateLinear(src, srcExtent, sourceIsDevice(kind), &from);
        }
    }
    if (error != Error::Success) {
        return fail(error);
    }
    copyRows(to.bytes, dpitch, from.bytes, spitch, width, height);
    return Error::Success;
}

Error HostRuntime::copyArray(Operation operation, bool toArray, ArrayHandle array,
                             std::size_t wOffset, std::size_t hOffset, void* linear,
                             std::size_t pitch, std::size_t width, std::size_t height,
                             MemcpyKind kind) {
    Error error = Error::Success;
    if (injected(operation, &error)) {
        return fail(error);
    }
    // The array side is always device memory, so the kind must say so.
    const bool arraySideOk =
        kind == MemcpyKind::Default || kind == MemcpyKind::DeviceToDevice ||
        kind == (toArray ? MemcpyKind::HostToDevice : MemcpyKind::DeviceToHost);
    if (!validKind(kind) || !arraySideOk) {
        return fail(Error::InvalidMemcpyDirection);
    }
    if (width == 0 || height == 0) {
        return Error::Success;
    }
    if (linear == nullptr) {
        return fail(Error::InvalidValue);
    }
    if (width > pitch) {
        return fail(Error::InvalidPitchValue);
    }
    std::size_t extent = 0;
    if (!extent2D(pitch, width, height, &extent)) {
        return fail(Error::InvalidValue);
    }
    Region side;
    std::shared_ptr<HostAllocation> arrayMemory;
    std::size_t arrayPitch = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto it = arrays_.find(array);
        if (it == arrays_.end()) {
            return fail(Error::InvalidValue);
        }
        const Array& storage = it->second;
        if (storage.device != currentDevice()) {
            return fail(Error::InvalidResourceHandle);
        }
        arrayPitch = static_cast<std::size_t>(storage.width) * kTexelBytes;
        const auto rows = static_cast<std::size_t>(storage.height);
        // Whole texels only: x offset and width are bytes but must not split a float4.
        if (wOffset % kTexelBytes != 0 || width % kTexelBytes != 0 || wOffset > arrayPitch ||
            width > arrayPitch - wOffset || hOffset > rows || height > rows - hOffset) {
            return fail(Error::InvalidValue);
        }
        const bool linearIsDevice = kind == MemcpyKind::DeviceToDevice;
        error = locateLinear(linear, extent, linearIsDevice, &side);
        arrayMemory = storage.memory;
    }
    if (error != Error::Success) {
        return fail(error);
    }
    std::byte* texels = arrayMemory->data() + hOffset * arrayPitch + wOffset;
    if (toArray) {
        copyRows(texels, arrayPitch, side.bytes, pitch, width, height);
    } else {
        copyRows(side.bytes, pitch, texels, arrayPitch, width, height);
    }
    return Error::Success;
}

void HostRuntime::countCopy(StreamHandle stream) {
    std::lock_guard<std::mutex> lock(mutex_);
    ++streamCopies_[stream];
}

std::size_t HostRuntime::copiesOn(StreamHandle stream) const {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = streamCopies_.find(stream);
    return found == streamCopies_.end() ? 0 : found->second;
}

Error HostRuntime::memcpy2DToArray(ArrayHandle dst, std::size_t wOffset, std::size_t hOffset,
                                   const void* src, std::size_t spitch, std::size_t width,
                                   std::size_t height, MemcpyKind kind) {
    countCopy(0);
    return copyArray(Operation::Memcpy2DToArray, true, dst, wOffset, hOffset,
                     const_cast<void*>(src), spitch, width, height, kind);
}

Error HostRuntime::memcpy2DToArrayAsync(ArrayHandle dst, std::size_t wOffset, std::size_t hOffset,
                                        const void* src, std::size_t spitch, std::size_t width,
                                        std::size_t height, MemcpyKind kind, StreamHandle stream) {
    countCopy(stream);
    if (!streamUsable(stream)) {
        return fail(Error::InvalidResourceHandle);
    }
    return copyArray(Operation::Memcpy2DToArrayAsync, true, dst, wOffset, hOffset,
                     const_cast<void*>(src), spitch, width, height, kind);
}

Error HostRuntime::memcpy2DFromArrayAsync(void* dst, std::size_t dpitch, ArrayHandle src,
                                          std::size_t wOffset, std::size_t hOffset,
                                          std::size_t width, std::size_t height, MemcpyKind kind,
                                          StreamHandle stream) {
    countCopy(stream);
    if (!streamUsable(stream)) {
        return fail(Error::InvalidResourceHandle);
    }
    return copyArray(Operation::Memcpy2DFromArrayAsync, false, src, wOffset, hOffset, dst, dpitch,
                     width, height, kind);
}

Error HostRuntime::memcpyAsync(void* dst, const void* src, std::size_t count, MemcpyKind kind,
                               StreamHandle stream) {
    countCopy(stream);
    if (!streamUsable(stream)) {
        return fail(Error::InvalidResourceHandle);
    }
    return copy2D(Operation::MemcpyAsync, dst, count, src, count, count, 1, kind);
}

Error HostRuntime::memcpy2DAsync(void* dst, std::size_t dpitch, const void* src, std::size_t spitch,
                                 std::size_t width, std::size_t height, MemcpyKind kind,
                                 StreamHandle stream) {
    countCopy(stream);
    if (!streamUsable(stream)) {
        return fail(Error::InvalidResourceHandle);
    }
    return copy2D(Operation::Memcpy2DAsync, dst, dpitch, src, spitch, width, height, kind);
}

} // namespace gpu
