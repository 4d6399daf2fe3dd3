#include "host/effect/HostImage.h"

#include "host/core/HostError.h"

#include <cstring>

namespace ofxhost {

HostImage::HostImage(OfxRectI bounds, int rowPaddingBytes) : bounds_(bounds) {
    if (bounds.x2 < bounds.x1 || bounds.y2 < bounds.y1) {
        throw HostError(kOfxStatErrValue, "image bounds are inverted");
    }
    if (rowPaddingBytes < 0 || rowPaddingBytes % 4 != 0) {
        throw HostError(kOfxStatErrValue, "row padding must be a non-negative multiple of 4");
    }
    rowBytes_ = width() * kPixelBytes + rowPaddingBytes;
    size_ = static_cast<size_t>(rowBytes_) * static_cast<size_t>(height());
    storage_ = std::make_unique<float[]>(size_ / sizeof(float) + 1);
    auto* bytes = reinterpret_cast<unsigned char*>(storage_.get());
    std::memset(bytes, kPaddingByte, size_);
    fill(0.0f, 0.0f, 0.0f, 0.0f);
}

float* HostImage::pixel(int x, int y) {
    return const_cast<float*>(static_cast<const HostImage&>(*this).pixel(x, y));
}

const float* HostImage::pixel(int x, int y) const {
    if (x < bounds_.x1 || x >= bounds_.x2 || y < bounds_.y1 || y >= bounds_.y2) {
        return nullptr;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(storage_.get());
    const size_t offset = static_cast<size_t>(y - bounds_.y1) * static_cast<size_t>(rowBytes_) +
                          static_cast<size_t>(x - bounds_.x1) * kPixelBytes;
    return reinterpret_cast<const float*>(bytes + offset);
}

void HostImage::fill(float r, float g, float b, float a) {
    for (int y = bounds_.y1; y < bounds_.y2; ++y) {
        for (int x = bounds_.x1; x < bounds_.x2; ++x) {
            float* p = pixel(x, y);
            p[0] = r;
            p[1] = g;
            p[2] = b;
            p[3] = a;
        }
    }
}

bool HostImage::paddingUntouched() const {
    const auto* bytes = reinterpret_cast<const unsigned char*>(storage_.get());
    const size_t pixelBytes = static_cast<size_t>(width()) * kPixelBytes;
    for (int row = 0; row < height(); ++row) {
        const size_t start = static_cast<size_t>(row) * static_cast<size_t>(rowBytes_);
        for (size_t i = start + pixelBytes; i < start + static_cast<size_t>(rowBytes_); ++i) {
            if (bytes[i] != kPaddingByte) {
                return false;
            }
        }
    }
    return true;
}

} // namespace ofxhost
