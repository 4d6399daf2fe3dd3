#pragma once

#include <cstddef>
#include <vector>

namespace ofxhost {

// A float RGBA picture in the OFX row order: row 0 is the bottom row. Files store the top
// row first; ImageIo flips on the way in and out.
class RgbaImage {
public:
    RgbaImage() = default;
    // Transparent black.
    RgbaImage(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ == 0 || height_ == 0; }
    // Four floats; no bounds check.
    float* pixel(int x, int y) { return &pixels_[index(x, y)]; }
    const float* pixel(int x, int y) const { return &pixels_[index(x, y)]; }
    float* data() { return pixels_.data(); }
    const float* data() const { return pixels_.data(); }

    // Each new pixel averages the area of the old image it covers (a proxy of a full frame).
    RgbaImage resized(int width, int height) const;

private:
    std::size_t index(int x, int y) const {
        return (static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                static_cast<std::size_t>(x)) *
               4;
    }

    int width_ = 0;
    int height_ = 0;
    std::vector<float> pixels_;
};

} // namespace ofxhost
