#include "Shape.h"

#include <algorithm>
#include <cmath>

namespace {

// Coverage of a pixel whose centre lies at signed distance d from an edge, for a stroke of
// local radius r: a one-pixel ramp, and for strokes thinner than a pixel a plateau of 2r, so
// a hairline still darkens its row by its true width.
float edgeCoverage(float d, float r) {
    return std::clamp(std::min(0.5f - d, 2.0f * r), 0.0f, 1.0f);
}

Shape::Bounds around(float x0, float y0, float x1, float y1) {
    return {static_cast<int>(std::floor(x0)) - 1, static_cast<int>(std::floor(y0)) - 1,
            static_cast<int>(std::ceil(x1)) + 1, static_cast<int>(std::ceil(y1)) + 1};
}

Shape::Bounds intersect(const Shape::Bounds& a, const Shape::Bounds& b) {
    return {std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1), std::min(a.y1, b.y1)};
}

} // namespace

void Shape::addSegment(Vec2 a, Vec2 b, float radiusA, float radiusB) {
    segments_.push_back({a, b, std::max(radiusA, 0.0f), std::max(radiusB, 0.0f)});
}

void Shape::addLeaf(Vec2 base, float angle, float length, float halfWidth) {
    const float halfLength = 0.5f * length;
    const float w = std::max(halfWidth, 0.05f);
    // A lens of half-length L and half-width W is cut from circles of radius (L^2 + W^2) / 2W
    // whose centres sit R - W to either side of the axis.
    const float radius = (halfLength * halfLength + w * w) / (2.0f * w);
    const Vec2 axis = direction(angle);
    leaves_.push_back({base + axis * halfLength, axis, halfLength, radius, radius - w});
}

float Shape::coverage(const Segment& s, Vec2 p) {
    const Vec2 ab = s.b - s.a;
    const float lengthSquared = dot(ab, ab);
    const float t =
        lengthSquared > 0.0f ? std::clamp(dot(p - s.a, ab) / lengthSquared, 0.0f, 1.0f) : 0.0f;
    const float r = s.radiusA + (s.radiusB - s.radiusA) * t;
    return edgeCoverage(length(p - (s.a + ab * t)) - r, r);
}

float Shape::coverage(const Leaf& leaf, Vec2 p) {
    const Vec2 q = p - leaf.centre;
    const float u = dot(q, leaf.axis);
    const float v = q.y * leaf.axis.x - q.x * leaf.axis.y;
    const float d1 = std::hypot(u, v - leaf.offset) - leaf.radius;
    const float d2 = std::hypot(u, v + leaf.offset) - leaf.radius;
    return edgeCoverage(std::max(d1, d2), leaf.radius - leaf.offset);
}

Shape::Bounds Shape::boundsOf(const Segment& s) {
    const float r = std::max(s.radiusA, s.radiusB);
    return around(std::min(s.a.x, s.b.x) - r, std::min(s.a.y, s.b.y) - r,
                  std::max(s.a.x, s.b.x) + r, std::max(s.a.y, s.b.y) + r);
}

Shape::Bounds Shape::boundsOf(const Leaf& leaf) {
    const float h = leaf.halfLength;
    return around(leaf.centre.x - h, leaf.centre.y - h, leaf.centre.x + h, leaf.centre.y + h);
}

Shape::Bounds Shape::bounds(int width, int height) const {
    Bounds all{width, height, 0, 0};
    auto extend = [&all](const Bounds& b) {
        all = {std::min(all.x0, b.x0), std::min(all.y0, b.y0), std::max(all.x1, b.x1),
               std::max(all.y1, b.y1)};
    };
    for (const Segment& s : segments_) {
        extend(boundsOf(s));
    }
    for (const Leaf& leaf : leaves_) {
        extend(boundsOf(leaf));
    }
    return intersect(all, {0, 0, width, height});
}

template <typename Primitive>
void Shape::draw(const Primitive& primitive, const Bounds& own, const Bounds& target,
                 std::vector<float>& pixels) {
    const Bounds area = intersect(own, target);
    for (int y = area.y0; y < area.y1; ++y) {
        float* row = pixels.data() + static_cast<std::size_t>(y - target.y0) * target.width();
        for (int x = area.x0; x < area.x1; ++x) {
            // Pixel centres sit at half-integer positions.
            const float c = coverage(primitive, {x + 0.5f, y + 0.5f});
            float& out = row[x - target.x0];
            out = std::max(out, c);
        }
    }
}

std::vector<float> Shape::rasterise(const Bounds& bounds) const {
    std::vector<float> pixels(static_cast<std::size_t>(bounds.width()) * bounds.height(), 0.0f);
    for (const Segment& s : segments_) {
        draw(s, boundsOf(s), bounds, pixels);
    }
    for (const Leaf& leaf : leaves_) {
        draw(leaf, boundsOf(leaf), bounds, pixels);
    }
    return pixels;
}
