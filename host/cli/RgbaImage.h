#pragma once

#include <cstddef>
#include <optional>
#include <vector>

namespace ofxhost {

// Where a file put its pixels in a larger frame, in the file's own terms (EXR's data and
// display windows: inclusive, y down). Kept so a render writes its pixels back where they were.
struct ImagePlacement {
    int dataMinX = 0;
    int dataMinY = 0;
    int displayMinX = 0;
    int displayMinY = 0;
    int displayMaxX = 0;
    int displayMaxY = 0;
};

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

    // From a file's top-first interleaved samples, 3 (alpha 1) or 4 per pixel, times scale.
    template <class Sample>
    static RgbaImage fromTopFirst(const Sample* samples, int width, int height, int channels,
                                  float scale);
    // 8-bit samples with the first channels of RGBA, clamped to 0..1 (NaN as 0), top row
    // first as files store them, or bottom row first as OpenGL does.
    std::vector<unsigned char> topFirstBytes(int channels) const { return bytes(channels, true); }
    std::vector<unsigned char> bytes(int channels, bool topFirst) const;
    // Whether every alpha is 1 in 8 bits.
    bool opaqueInBytes() const;

    // None for a picture that is the whole frame.
    std::optional<ImagePlacement> placement;

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

template <class Sample>
RgbaImage RgbaImage::fromTopFirst(const Sample* samples, int width, int height, int channels,
                                  float scale) {
    RgbaImage image(width, height);
    for (int row = 0; row < height; ++row) {
        const Sample* in = samples + std::size_t(width) * channels * row;
        float* out = image.pixel(0, height - 1 - row);
        for (int x = 0; x < width; ++x, in += channels, out += 4) {
            for (int c = 0; c < 4; ++c) {
                out[c] = c < channels ? static_cast<float>(in[c]) * scale : 1.0f;
            }
        }
    }
    return image;
}

} // namespace ofxhost
