#pragma once

#include "Random.h"
#include "Shape.h"

// How a branch grows. Lengths and radii are in pixels of the 512-pixel picture, angles in
// radians.
struct BranchStyle {
    float stepLength = 5.0f;
    float curl = 0.06f;         // random turn per step (standard deviation)
    float tipRadius = 0.25f;    // radius at the tip, as a fraction of the base radius
    float childSpacing = 34.0f; // mean distance between side branches along a limb
    float childAngle = 0.65f;   // mean angle of a side branch to its parent
    float childLength = 0.6f;   // side-branch length per remaining parent length
    float childRadius = 0.6f;   // side-branch radius per parent radius at the fork
    int maxDepth = 3;           // side branches of side branches ...
    int leafDepth = 1;          // limbs at this depth and deeper carry leaves
    float leafSpacing = 10.0f;  // mean distance between leaves along a limb
    float leafLength = 22.0f;
    float leafWidth = 0.32f; // half-width per length
    float leafAngle = 0.8f;  // mean angle of a leaf to its limb
};

// Grows one branch (a limb with side branches, twigs and leaves) as a single shape.
class BranchGrower {
public:
    BranchGrower(const BranchStyle& style, Random& random) : style_(style), random_(random) {}

    Shape grow(Vec2 start, float angle, float length, float radius);

private:
    void growLimb(Shape& shape, Vec2 start, float angle, float length, float radius, int depth);
    void addLeaf(Shape& shape, Vec2 at, float limbAngle, float side, float scale);

    const BranchStyle& style_;
    Random& random_;
};
