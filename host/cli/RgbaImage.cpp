#include "host/cli/RgbaImage.h"

#include <algorithm>
#include <cmath>

namespace ofxhost {

namespace {

// The source cells [from, to) covers along one axis, with the covered fraction of each.
struct Span {
    int first;
    int last;
    double from;
    double to;

    double coverage(int cell) const {
        return std::min(to, cell + 1.0) - std::max(from, double(cell));
    }
};

Span spanOf(int target, double step, int sourceSize) {
    const double from = target * step;
    const double to = std::min((target + 1) * step, double(sourceSize));
    const int first = static_cast<int>(std::floor(from));
    const int last = std::min(sourceSize - 1, static_cast<int>(std::ceil(to)) - 1);
    return {first, last, from, to};
}

} // namespace

RgbaImage::RgbaImage(int width, int height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 4, 0.0f) {}

RgbaImage RgbaImage::resized(int width, int height) const {
    RgbaImage result(width, height);
    if (empty() || result.empty()) {
        return result;
    }
    const double stepX = double(width_) / width;
    const double stepY = double(height_) / height;
    for (int y = 0; y < height; ++y) {
        const Span rows = spanOf(y, stepY, height_);
        for (int x = 0; x < width; ++x) {
            const Span columns = spanOf(x, stepX, width_);
            double sum[4] = {0.0, 0.0, 0.0, 0.0};
            double area = 0.0;
            for (int sy = rows.first; sy <= rows.last; ++sy) {
                const double wy = rows.coverage(sy);
                for (int sx = columns.first; sx <= columns.last; ++sx) {
                    const double weight = wy * columns.coverage(sx);
                    const float* p = pixel(sx, sy);
                    for (int c = 0; c < 4; ++c) {
                        sum[c] += weight * p[c];
                    }
                    area += weight;
                }
            }
            float* out = result.pixel(x, y);
            for (int c = 0; c < 4; ++c) {
                out[c] = area > 0.0 ? static_cast<float>(sum[c] / area) : 0.0f;
            }
        }
    }
    return result;
}

namespace {

unsigned char toByte(float value) {
    // NaN reads as black rather than as whatever the cast would make of it.
    if (!(value > 0.0f)) {
        return 0;
    }
    return static_cast<unsigned char>(std::lround(std::min(value, 1.0f) * 255.0f));
}

} // namespace

std::vector<unsigned char> RgbaImage::bytes(int channels, bool topFirst) const {
    std::vector<unsigned char> bytes(std::size_t(width_) * height_ * channels);
    std::size_t at = 0;
    for (int row = 0; row < height_; ++row) {
        for (int x = 0; x < width_; ++x) {
            const float* p = pixel(x, topFirst ? height_ - 1 - row : row);
            for (int c = 0; c < channels; ++c) {
                bytes[at++] = toByte(p[c]);
            }
        }
    }
    return bytes;
}

bool RgbaImage::opaqueInBytes() const {
    for (std::size_t i = 3; i < pixels_.size(); i += 4) {
        if (toByte(pixels_[i]) != 255) {
            return false;
        }
    }
    return true;
}

} // namespace ofxhost
