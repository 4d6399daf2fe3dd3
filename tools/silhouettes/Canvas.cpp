#include "Canvas.h"

#include <algorithm>
#include <cmath>

Canvas::Canvas(int width, int height)
    : width_(width), height_(height),
      transmittance_(static_cast<std::size_t>(width) * height, 1.0f),
      sum_(static_cast<double>(width) * height) {}

void Canvas::add(const Shape& shape, float opacity) {
    const Shape::Bounds b = shape.bounds(width_, height_);
    if (b.width() == 0 || b.height() == 0) {
        return;
    }
    const std::vector<float> coverage = shape.rasterise(b);
    for (int y = b.y0; y < b.y1; ++y) {
        const float* in = coverage.data() + static_cast<std::size_t>(y - b.y0) * b.width();
        float* out = transmittance_.data() + static_cast<std::size_t>(y) * width_;
        for (int x = b.x0; x < b.x1; ++x) {
            const float before = out[x];
            out[x] = before * (1.0f - opacity * in[x - b.x0]);
            sum_ += static_cast<double>(out[x]) - before;
        }
    }
}

std::vector<float> Canvas::blurRows(const std::vector<float>& in, const std::vector<float>& kernel,
                                    bool vertical) const {
    const int radius = static_cast<int>(kernel.size()) - 1;
    const int lines = vertical ? width_ : height_;
    const int count = vertical ? height_ : width_;
    const std::size_t step = vertical ? static_cast<std::size_t>(width_) : 1;
    const std::size_t lineStep = vertical ? 1 : static_cast<std::size_t>(width_);
    // Reflection about the outer pixel edge (-1 reads 0) makes the blur symmetric, so every
    // pixel's value is spread with total weight 1 and the mean survives.
    auto reflect = [count](int i) {
        while (i < 0 || i >= count) {
            i = i < 0 ? -1 - i : 2 * count - 1 - i;
        }
        return i;
    };
    std::vector<float> out(in.size());
    for (int line = 0; line < lines; ++line) {
        const float* src = in.data() + line * lineStep;
        float* dst = out.data() + line * lineStep;
        for (int i = 0; i < count; ++i) {
            float acc = kernel[0] * src[i * step];
            for (int k = 1; k <= radius; ++k) {
                acc += kernel[k] * (src[reflect(i - k) * step] + src[reflect(i + k) * step]);
            }
            dst[i * step] = acc;
        }
    }
    return out;
}

std::vector<float> Canvas::picture(float floor, float sigma) const {
    std::vector<float> values(transmittance_.size());
    std::transform(transmittance_.begin(), transmittance_.end(), values.begin(),
                   [floor](float t) { return floor + (1.0f - floor) * t; });
    if (sigma > 0.0f) {
        const int radius = static_cast<int>(std::ceil(3.0f * sigma));
        std::vector<float> kernel(radius + 1);
        float total = 0.0f;
        for (int k = 0; k <= radius; ++k) {
            kernel[k] = std::exp(-0.5f * k * k / (sigma * sigma));
            total += k == 0 ? kernel[k] : 2.0f * kernel[k];
        }
        for (float& w : kernel) {
            w /= total;
        }
        values = blurRows(blurRows(values, kernel, false), kernel, true);
    }
    for (float& v : values) {
        // Open sky stays exactly 1 despite the rounding of the blur sums.
        v = v > 0.99999f ? 1.0f : std::max(v, 0.0f);
    }
    return values;
}
