#pragma once

#include "Shape.h"

#include <vector>

// The view through the foreground: per pixel the fraction of light that passes (1 clear,
// 0 blocked), built up shape by shape.
class Canvas {
public:
    Canvas(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }

    // Lays a shape over the view; opacity below 1 lets some light through its leaves.
    void add(const Shape& shape, float opacity);
    double meanTransmittance() const { return sum_ / (static_cast<double>(width_) * height_); }

    // The finished picture: blocked areas lifted to floor (the dimmest value), then softened
    // by a Gaussian of sigma pixels, as foliage far out of focus looks. Mirrored borders keep
    // the mean unchanged.
    std::vector<float> picture(float floor, float sigma) const;

private:
    std::vector<float> blurRows(const std::vector<float>& in, const std::vector<float>& kernel,
                                bool vertical) const;

    int width_;
    int height_;
    std::vector<float> transmittance_;
    double sum_;
};
