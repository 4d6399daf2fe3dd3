#include "host/effect/DeviceImage.h"

#include "host/core/HostError.h"
#include "host/effect/HostImage.h"

#include <cstring>
#include <vector>

namespace ofxhost {

DeviceImage::DeviceImage(const DeviceMemory& memory, OfxRectI bounds)
    : memory_(memory), bounds_(bounds) {
    if (bounds.x2 < bounds.x1 || bounds.y2 < bounds.y1) {
        throw HostError(kOfxStatErrValue, "image bounds are inverted");
    }
    rowBytes_ = (bounds.x2 - bounds.x1) * HostImage::kPixelBytes;
    size_ = static_cast<std::size_t>(rowBytes_) * static_cast<std::size_t>(bounds.y2 - bounds.y1);
    // A zero-sized request may legitimately return nothing; keep one pixel so data() is valid.
    pixels_ = memory_.allocate(size_ > 0 ? size_ : HostImage::kPixelBytes);
}

DeviceImage::~DeviceImage() {
    memory_.release(pixels_);
}

void DeviceImage::checkBounds(const HostImage& image) const {
    const OfxRectI other = image.bounds();
    if (other.x1 != bounds_.x1 || other.y1 != bounds_.y1 || other.x2 != bounds_.x2 ||
        other.y2 != bounds_.y2) {
        throw HostError(kOfxStatErrValue, "host and device images differ in size");
    }
}

void DeviceImage::upload(const HostImage& image) {
    checkBounds(image);
    if (size_ == 0) {
        return;
    }
    if (image.rowBytes() == rowBytes_) {
        memory_.copyToDevice(pixels_, image.data(), size_);
        return;
    }
    // Padded host rows are packed first: the device copy takes one contiguous block.
    std::vector<unsigned char> packed(size_);
    const int height = bounds_.y2 - bounds_.y1;
    for (int row = 0; row < height; ++row) {
        std::memcpy(packed.data() + static_cast<std::size_t>(row) * rowBytes_,
                    image.pixel(bounds_.x1, bounds_.y1 + row), static_cast<std::size_t>(rowBytes_));
    }
    memory_.copyToDevice(pixels_, packed.data(), size_);
}

void DeviceImage::download(HostImage& image) const {
    checkBounds(image);
    if (size_ == 0) {
        return;
    }
    if (image.rowBytes() == rowBytes_) {
        memory_.copyToHost(image.data(), pixels_, size_);
        return;
    }
    std::vector<unsigned char> packed(size_);
    memory_.copyToHost(packed.data(), pixels_, size_);
    const int height = bounds_.y2 - bounds_.y1;
    for (int row = 0; row < height; ++row) {
        std::memcpy(image.pixel(bounds_.x1, bounds_.y1 + row),
                    packed.data() + static_cast<std::size_t>(row) * rowBytes_,
                    static_cast<std::size_t>(rowBytes_));
    }
}

} // namespace ofxhost
