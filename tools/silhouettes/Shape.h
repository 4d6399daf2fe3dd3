#pragma once

#include "Vec2.h"

#include <vector>

// One foreground element (a branch with its twigs and leaves, or a grass blade): the union of
// tapered strokes and pointed leaves, drawn with anti-aliased edges about one pixel wide.
class Shape {
public:
    // Pixel rectangle [x0, x1) x [y0, y1).
    struct Bounds {
        int x0 = 0;
        int y0 = 0;
        int x1 = 0;
        int y1 = 0;

        int width() const { return x1 > x0 ? x1 - x0 : 0; }
        int height() const { return y1 > y0 ? y1 - y0 : 0; }
    };

    // A stroke from a to b whose radius (pixels) changes linearly along it.
    void addSegment(Vec2 a, Vec2 b, float radiusA, float radiusB);
    // A pointed leaf that starts at base and points along angle (radians); length is tip to
    // base, halfWidth is taken at its middle.
    void addLeaf(Vec2 base, float angle, float length, float halfWidth);

    bool empty() const { return segments_.empty() && leaves_.empty(); }
    // Where the shape can cover anything, clipped to a width x height picture.
    Bounds bounds(int width, int height) const;
    // Coverage (0 to 1) of every pixel inside the bounds, rows top first.
    std::vector<float> rasterise(const Bounds& bounds) const;

private:
    struct Segment {
        Vec2 a;
        Vec2 b;
        float radiusA;
        float radiusB;
    };
    // Two circles of one radius whose lens is the leaf.
    struct Leaf {
        Vec2 centre;
        Vec2 axis;
        float halfLength;
        float radius;
        float offset;
    };

    static float coverage(const Segment& segment, Vec2 p);
    static float coverage(const Leaf& leaf, Vec2 p);
    template <typename Primitive>
    static void draw(const Primitive& primitive, const Bounds& own, const Bounds& target,
                     std::vector<float>& pixels);
    static Bounds boundsOf(const Segment& segment);
    static Bounds boundsOf(const Leaf& leaf);

    std::vector<Segment> segments_;
    std::vector<Leaf> leaves_;
};
