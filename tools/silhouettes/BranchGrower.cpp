#include "BranchGrower.h"

#include <algorithm>
#include <cmath>

Shape BranchGrower::grow(Vec2 start, float angle, float length, float radius) {
    Shape shape;
    growLimb(shape, start, angle, length, radius, 0);
    return shape;
}

void BranchGrower::growLimb(Shape& shape, Vec2 start, float angle, float length, float radius,
                            int depth) {
    const int steps = std::max(2, static_cast<int>(std::ceil(length / style_.stepLength)));
    const float step = length / static_cast<float>(steps);
    const bool leafy = depth >= style_.leafDepth;
    // Leaves shrink towards the trunk's end of a limb less than twigs do.
    const float leafScale = depth == 0 ? 1.0f : 0.85f;
    float nextChild = style_.childSpacing * random_.uniform(0.3f, 1.0f);
    float nextLeaf = style_.leafSpacing * random_.uniform(0.2f, 1.0f);
    float side = random_.chance(0.5f) ? 1.0f : -1.0f;
    float leafSide = 1.0f;
    Vec2 p = start;
    for (int i = 0; i < steps; ++i) {
        const float t0 = static_cast<float>(i) / steps;
        const float t1 = static_cast<float>(i + 1) / steps;
        const float r0 = radius * (1.0f - (1.0f - style_.tipRadius) * t0);
        const float r1 = radius * (1.0f - (1.0f - style_.tipRadius) * t1);
        angle += style_.curl * random_.gauss();
        const Vec2 q = p + direction(angle) * step;
        shape.addSegment(p, q, r0, r1);

        nextChild -= step;
        if (depth < style_.maxDepth && nextChild <= 0.0f && t0 < 0.85f) {
            const float childAngle = angle + side * style_.childAngle * random_.uniform(0.6f, 1.4f);
            const float childLength =
                length * (1.0f - t0) * style_.childLength * random_.uniform(0.6f, 1.3f);
            growLimb(shape, p, childAngle, childLength, r0 * style_.childRadius, depth + 1);
            side = -side;
            nextChild = style_.childSpacing * random_.uniform(0.6f, 1.4f);
        }
        nextLeaf -= step;
        if (leafy && nextLeaf <= 0.0f) {
            addLeaf(shape, q, angle, leafSide, leafScale);
            if (random_.chance(0.5f)) {
                addLeaf(shape, q, angle, -leafSide, leafScale);
            }
            leafSide = -leafSide;
            nextLeaf = style_.leafSpacing * random_.uniform(0.6f, 1.4f);
        }
        p = q;
    }
    if (leafy) {
        // A tuft at the tip: one leaf along the limb, two to the sides.
        addLeaf(shape, p, angle, 0.0f, leafScale);
        addLeaf(shape, p, angle, 1.0f, leafScale * 0.9f);
        addLeaf(shape, p, angle, -1.0f, leafScale * 0.9f);
    }
}

void BranchGrower::addLeaf(Shape& shape, Vec2 at, float limbAngle, float side, float scale) {
    const float length = style_.leafLength * scale * random_.uniform(0.7f, 1.3f);
    const float angle =
        limbAngle + side * style_.leafAngle * random_.uniform(0.6f, 1.4f) + 0.1f * random_.gauss();
    // A short stalk carries the blade away from the twig.
    const Vec2 stalkEnd = at + direction(angle) * (0.18f * length);
    shape.addSegment(at, stalkEnd, 0.7f, 0.5f);
    shape.addLeaf(stalkEnd, angle, length, length * style_.leafWidth * random_.uniform(0.8f, 1.2f));
}
