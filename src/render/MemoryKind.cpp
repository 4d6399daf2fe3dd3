#include "render/MemoryKind.h"

#include "log/Logger.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace render {
namespace {

constexpr std::size_t kTexel = gpu::kTexelBytes;

// Address of row `row` (0: the bottom one) of an image whose rows are rowBytes apart.
const std::byte* rowAt(const void* image, int rowBytes, int row) {
    return static_cast<const std::byte*>(image) + std::ptrdiff_t(row) * std::ptrdiff_t(rowBytes);
}

std::size_t rowLength(int rowBytes) {
    return rowBytes < 0 ? std::size_t(-std::ptrdiff_t(rowBytes)) : std::size_t(rowBytes);
}

} // namespace

bool inputIsDeviceMemory(gpu::Runtime& runtime, const void* pointer, int* typeOut) {
    gpu::MemoryType type = gpu::MemoryType::Unregistered;
    const gpu::Error error = runtime.pointerGetAttributes(&type, pointer);
    if (error != gpu::Error::Success) {
        HALDEN_LOG_DEBUG("cudaPointerGetAttributes failed (assuming host memory): %s",
                         runtime.getErrorString(error));
        runtime.getLastError();
        if (typeOut) {
            *typeOut = 0;
        }
        return false;
    }
    if (typeOut) {
        *typeOut = static_cast<int>(type);
    }
    return type == gpu::MemoryType::Device;
}

bool runtimeOwnsDeviceMemory(gpu::Runtime& runtime, const void* pointer) {
    gpu::MemoryType type = gpu::MemoryType::Unregistered;
    if (pointer == nullptr || runtime.pointerGetAttributes(&type, pointer) != gpu::Error::Success) {
        runtime.getLastError();
        return false;
    }
    return type == gpu::MemoryType::Device || type == gpu::MemoryType::Managed;
}

gpu::MemcpyKind outputCopyKind(gpu::Runtime& runtime, const void* pointer, bool copyingOut) {
    gpu::MemoryType type = gpu::MemoryType::Unregistered;
    if (runtime.pointerGetAttributes(&type, pointer) != gpu::Error::Success) {
        HALDEN_LOG_DEBUG("cudaPointerGetAttributes failed for %p, assuming device memory", pointer);
        runtime.getLastError();
        return gpu::MemcpyKind::DeviceToDevice;
    }
    if (type == gpu::MemoryType::Device || type == gpu::MemoryType::Managed) {
        HALDEN_LOG_DEBUG("Buffer %p is device/managed memory (type=%d)", pointer,
                         static_cast<int>(type));
        return gpu::MemcpyKind::DeviceToDevice;
    }
    if (copyingOut) {
        HALDEN_LOG_DEBUG("Buffer %p is host memory (type=%d), using DeviceToHost", pointer,
                         static_cast<int>(type));
        return gpu::MemcpyKind::DeviceToHost;
    }
    HALDEN_LOG_DEBUG("Buffer %p is host memory (type=%d), using HostToDevice", pointer,
                     static_cast<int>(type));
    return gpu::MemcpyKind::HostToDevice;
}

gpu::MemcpyKind accumulationCopyKind(gpu::Runtime& runtime, const void* pointer) {
    gpu::MemoryType type = gpu::MemoryType::Unregistered;
    if (runtime.pointerGetAttributes(&type, pointer) != gpu::Error::Success) {
        runtime.getLastError();
        return gpu::MemcpyKind::DeviceToDevice;
    }
    if (type == gpu::MemoryType::Device || type == gpu::MemoryType::Managed) {
        return gpu::MemcpyKind::DeviceToDevice;
    }
    return gpu::MemcpyKind::HostToDevice;
}

gpu::Error copyImageToArray(gpu::Runtime& runtime, gpu::ArrayHandle array, const void* image,
                            int rowBytes, int width, int height, gpu::MemcpyKind kind,
                            gpu::StreamHandle stream) {
    const std::size_t bytes = std::size_t(width) * kTexel;
    if (rowBytes > 0) {
        return runtime.memcpy2DToArrayAsync(array, 0, 0, image, std::size_t(rowBytes), bytes,
                                            std::size_t(height), kind, stream);
    }
    for (int row = 0; row < height; ++row) {
        const gpu::Error error =
            runtime.memcpy2DToArrayAsync(array, 0, std::size_t(row), rowAt(image, rowBytes, row),
                                         rowLength(rowBytes), bytes, 1, kind, stream);
        if (error != gpu::Error::Success) {
            return error;
        }
    }
    return gpu::Error::Success;
}

gpu::Error copyArrayToImage(gpu::Runtime& runtime, void* image, int rowBytes,
                            gpu::ArrayHandle array, int width, int height, gpu::MemcpyKind kind,
                            gpu::StreamHandle stream) {
    const std::size_t bytes = std::size_t(width) * kTexel;
    if (rowBytes > 0) {
        return runtime.memcpy2DFromArrayAsync(image, std::size_t(rowBytes), array, 0, 0, bytes,
                                              std::size_t(height), kind, stream);
    }
    for (int row = 0; row < height; ++row) {
        void* target = const_cast<std::byte*>(rowAt(image, rowBytes, row));
        const gpu::Error error = runtime.memcpy2DFromArrayAsync(
            target, rowLength(rowBytes), array, 0, std::size_t(row), bytes, 1, kind, stream);
        if (error != gpu::Error::Success) {
            return error;
        }
    }
    return gpu::Error::Success;
}

gpu::Error copyImageToLinear(gpu::Runtime& runtime, void* linear, std::size_t linearPitch,
                             const void* image, int rowBytes, int width, int height,
                             gpu::MemcpyKind kind, gpu::StreamHandle stream) {
    const std::size_t bytes = std::size_t(width) * kTexel;
    if (rowBytes > 0) {
        return runtime.memcpy2DAsync(linear, linearPitch, image, std::size_t(rowBytes), bytes,
                                     std::size_t(height), kind, stream);
    }
    auto* target = static_cast<std::byte*>(linear);
    for (int row = 0; row < height; ++row) {
        const gpu::Error error =
            runtime.memcpyAsync(target + std::size_t(row) * linearPitch,
                                rowAt(image, rowBytes, row), bytes, kind, stream);
        if (error != gpu::Error::Success) {
            return error;
        }
    }
    return gpu::Error::Success;
}

gpu::Error stageImage(gpu::Runtime& runtime, const ImageRows& image, int frameX, int frameY,
                      int width, int height, gpu::StreamHandle stream, std::vector<float>& staging,
                      std::vector<float>& scratch) {
    const std::size_t frameRow = std::size_t(width) * 4;
    staging.resize(frameRow * std::size_t(height));
    if (image.x2 <= image.x1 || image.y2 <= image.y1 || image.data == nullptr) {
        std::fill(staging.begin(), staging.end(), 0.0f);
        return gpu::Error::Success;
    }
    // The image columns and rows the frame reaches once clamped into the bounds.
    const int sx0 = std::clamp(frameX, image.x1, image.x2 - 1);
    const int sx1 = std::clamp(frameX + width - 1, image.x1, image.x2 - 1);
    const int sy0 = std::clamp(frameY, image.y1, image.y2 - 1);
    const int sy1 = std::clamp(frameY + height - 1, image.y1, image.y2 - 1);
    const std::size_t segment = std::size_t(sx1 - sx0 + 1) * kTexel;
    const std::size_t columnOffset = std::size_t(sx0 - image.x1) * kTexel;
    const int rows = sy1 - sy0 + 1;

    if (image.device) {
        // Device pixels reach the CPU only through the runtime.
        scratch.resize(segment / sizeof(float) * std::size_t(rows));
        const std::byte* first = rowAt(image.data, image.rowBytes, sy0 - image.y1) + columnOffset;
        gpu::Error error = gpu::Error::Success;
        if (image.rowBytes > 0) {
            error = runtime.memcpy2DAsync(scratch.data(), segment, first,
                                          std::size_t(image.rowBytes), segment, std::size_t(rows),
                                          gpu::MemcpyKind::DeviceToHost, stream);
        } else {
            for (int r = 0; r < rows && error == gpu::Error::Success; ++r) {
                error = runtime.memcpyAsync(
                    reinterpret_cast<std::byte*>(scratch.data()) + std::size_t(r) * segment,
                    rowAt(image.data, image.rowBytes, sy0 + r - image.y1) + columnOffset, segment,
                    gpu::MemcpyKind::DeviceToHost, stream);
            }
        }
        if (error == gpu::Error::Success) {
            error = runtime.streamSynchronize(stream);
        }
        if (error != gpu::Error::Success) {
            return error;
        }
    }
    const auto segmentOf = [&](int y) -> const std::byte* {
        if (image.device) {
            return reinterpret_cast<const std::byte*>(scratch.data()) +
                   std::size_t(y - sy0) * segment;
        }
        return rowAt(image.data, image.rowBytes, y - image.y1) + columnOffset;
    };
    // Frame columns [0, left) repeat the left edge, [right, width) the right one.
    const int left = std::clamp(image.x1 - frameX, 0, width);
    const int right = std::clamp(image.x2 - frameX, left, width);
    for (int y = 0; y < height; ++y) {
        const std::byte* source = segmentOf(std::clamp(frameY + y, image.y1, image.y2 - 1));
        auto* target = reinterpret_cast<std::byte*>(staging.data() + std::size_t(y) * frameRow);
        for (int x = 0; x < left; ++x) {
            std::memcpy(target + std::size_t(x) * kTexel, source, kTexel);
        }
        if (right > left) {
            std::memcpy(target + std::size_t(left) * kTexel,
                        source + std::size_t(frameX + left - sx0) * kTexel,
                        std::size_t(right - left) * kTexel);
        }
        const std::byte* last = source + segment - kTexel;
        for (int x = right; x < width; ++x) {
            std::memcpy(target + std::size_t(x) * kTexel, last, kTexel);
        }
    }
    return gpu::Error::Success;
}

} // namespace render
