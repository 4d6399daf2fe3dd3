#pragma once

#include "Random.h"
#include "Shape.h"

// How grass grows from the bottom edge of a picture. Lengths in pixels, angles in radians.
struct GrassStyle {
    float minHeight = 80.0f;
    float maxHeight = 300.0f;
    float minWidth = 4.0f; // blade width at its base
    float maxWidth = 10.0f;
    float lean = 0.25f; // spread of the blades' angles from vertical at the base
    float bend = 0.9f;  // largest turn a blade makes over its length
    int minBlades = 3;  // blades per clump
    int maxBlades = 7;
    float clumpSpread = 10.0f;   // spread of the blades' base points within a clump
    float seedStemChance = 0.0f; // chance that a clump also carries a thin stem with a seed head
};

// Grows clumps of grass blades: curved strokes that taper to a point, rising from below the
// bottom edge.
class GrassGrower {
public:
    GrassGrower(const GrassStyle& style, Random& random, float bottom)
        : style_(style), random_(random), bottom_(bottom) {}

    Shape clump(float baseX);

private:
    void addBlade(Shape& shape, float baseX, float height, float width);
    void addSeedStem(Shape& shape, float baseX, float height);
    // A stroke from the base that turns by bend over its length, radius from radius(s), s in
    // [0, 1] along it; returns the tip and its direction.
    template <typename RadiusFn>
    Vec2 addCurve(Shape& shape, Vec2 base, float angle, float bend, float height, RadiusFn radius,
                  float* tipAngle);

    const GrassStyle& style_;
    Random& random_;
    float bottom_;
};
