#pragma once

#include "host/effect/ImageSource.h"

#include <cstddef>
#include <memory>

namespace ofxhost {

// An RGBA float image in host memory with arbitrary bounds (x1, y1 may be negative) and
// optional padding after every row. Padding bytes hold kPaddingByte so a test can prove
// that nothing wrote outside the pixels.
class HostImage : public ImageSource {
public:
    static constexpr unsigned char kPaddingByte = 0xA5;
    static constexpr int kPixelBytes = 4 * static_cast<int>(sizeof(float));

    // rowPaddingBytes: extra bytes after each row, a multiple of 4. Pixels start at 0.
    explicit HostImage(OfxRectI bounds, int rowPaddingBytes = 0);

    int width() const { return bounds_.x2 - bounds_.x1; }
    int height() const { return bounds_.y2 - bounds_.y1; }
    // nullptr outside the bounds.
    float* pixel(int x, int y);
    const float* pixel(int x, int y) const;
    void fill(float r, float g, float b, float a);
    bool paddingUntouched() const;

    void* data() const override { return storage_.get(); }
    OfxRectI bounds() const override { return bounds_; }
    int rowBytes() const override { return rowBytes_; }

private:
    OfxRectI bounds_;
    int rowBytes_;
    size_t size_;
    // Float storage keeps every row 4-byte aligned (the padding is a multiple of 4).
    std::unique_ptr<float[]> storage_;
};

} // namespace ofxhost
