#include "GrassGrower.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kUp = -1.5707964f; // y grows downwards in the picture
constexpr float kStep = 4.0f;

} // namespace

Shape GrassGrower::clump(float baseX) {
    Shape shape;
    const int count = style_.minBlades +
                      static_cast<int>(random_.unit() * (style_.maxBlades - style_.minBlades + 1));
    // Blades of one clump share a height class, so clumps differ more than their blades.
    const float clumpHeight = random_.uniform(style_.minHeight, style_.maxHeight);
    for (int i = 0; i < count; ++i) {
        const float x = baseX + style_.clumpSpread * random_.gauss() * 0.5f;
        const float height =
            std::max(style_.minHeight * 0.5f, clumpHeight * random_.uniform(0.55f, 1.15f));
        addBlade(shape, x, height, random_.uniform(style_.minWidth, style_.maxWidth));
    }
    if (random_.chance(style_.seedStemChance)) {
        addSeedStem(shape, baseX, clumpHeight * random_.uniform(1.0f, 1.3f));
    }
    return shape;
}

template <typename RadiusFn>
Vec2 GrassGrower::addCurve(Shape& shape, Vec2 base, float angle, float bend, float height,
                           RadiusFn radius, float* tipAngle) {
    const int steps = std::max(3, static_cast<int>(height / kStep));
    const float step = height / static_cast<float>(steps);
    Vec2 p = base;
    for (int i = 0; i < steps; ++i) {
        const float s0 = static_cast<float>(i) / steps;
        const float s1 = static_cast<float>(i + 1) / steps;
        // The turn grows towards the tip, where the blade is thin and droops.
        const float a = angle + bend * s1 * s1;
        const Vec2 q = p + direction(a) * step;
        shape.addSegment(p, q, radius(s0), radius(s1));
        p = q;
    }
    *tipAngle = angle + bend;
    return p;
}

void GrassGrower::addBlade(Shape& shape, float baseX, float height, float width) {
    const float angle = kUp + style_.lean * random_.gauss();
    // Blades droop to the side they lean to, more often than against it.
    const float towards = angle > kUp ? 1.0f : -1.0f;
    const float bend = style_.bend * random_.uniform(-0.3f, 1.0f) * towards;
    const float half = 0.5f * width;
    float tipAngle = 0.0f;
    addCurve(
        shape, {baseX, bottom_ + 6.0f}, angle, bend, height,
        [half](float s) { return half * std::pow(1.0f - s, 0.7f); }, &tipAngle);
}

void GrassGrower::addSeedStem(Shape& shape, float baseX, float height) {
    const float angle = kUp + 0.5f * style_.lean * random_.gauss();
    const float bend = 0.3f * style_.bend * random_.uniform(-1.0f, 1.0f);
    float tipAngle = 0.0f;
    const Vec2 tip = addCurve(
        shape, {baseX, bottom_ + 6.0f}, angle, bend, height,
        [](float s) { return 1.1f - 0.4f * s; }, &tipAngle);
    // The head: small grains along the last stretch of the stem.
    const Vec2 back = direction(tipAngle) * -1.0f;
    const int grains = 8 + static_cast<int>(random_.unit() * 6.0f);
    for (int i = 0; i < grains; ++i) {
        const Vec2 at = tip + back * (4.0f * static_cast<float>(i));
        const float side = (i % 2 == 0) ? 1.0f : -1.0f;
        // Grains shrink towards the top of the head.
        const float size = 1.0f - 0.04f * static_cast<float>(grains - i);
        shape.addLeaf(at, tipAngle + side * 0.4f, size * random_.uniform(11.0f, 15.0f), 2.4f);
    }
}
