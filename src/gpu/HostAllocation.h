#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <utility>

namespace gpu {

// One block of emulated device memory. Texture and surface objects share ownership of the
// block they view, so freeing memory a live view still reads cannot make it read freed memory.
class HostAllocation {
public:
    // cudaMalloc aligns to at least 256 bytes; 512 also satisfies the texture alignment that
    // pitch-2D textures require of their base address.
    static constexpr std::size_t kAlignment = 512;

    // Null when the memory cannot be had.
    static std::shared_ptr<HostAllocation> create(std::size_t size) {
        void* data = ::operator new (size, std::align_val_t{kAlignment}, std::nothrow);
        if (data == nullptr) {
            return nullptr;
        }
        std::unique_ptr<HostAllocation> block(
            new (std::nothrow) HostAllocation(static_cast<std::byte*>(data), size));
        if (block == nullptr) {
            ::operator delete (data, std::align_val_t{kAlignment});
            return nullptr;
        }
        try {
            return std::shared_ptr<HostAllocation>(std::move(block));
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
    }

    ~HostAllocation() { ::operator delete (data_, std::align_val_t{kAlignment}); }
    HostAllocation(const HostAllocation&) = delete;
    HostAllocation& operator=(const HostAllocation&) = delete;

    std::byte* data() const { return data_; }
    std::size_t size() const { return size_; }

private:
    HostAllocation(std::byte* data, std::size_t size) : data_(data), size_(size) {}

    std::byte* data_;
    std::size_t size_;
};

} // namespace gpu
