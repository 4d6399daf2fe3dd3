#pragma once

// The optical effects that shape each bokeh disc. Weights (iris blades, cat's eye, dimple, soft
// edge) are evaluated on the undisplaced spiral point p, so they describe the aperture;
// displacements (astigmatism, swirl, misalignment, anamorphic) move where the sample is fetched.

#include "kernels/KernelMath.h"

namespace kernels {

// Per-pixel part of the shape, computed once before the sample loop.
struct ShapeSetup {
    bool blades;
    int bladeCount;
    float bladeSegment;  // 2 pi / blade count
    float bladeRotation; // radians
    float bladeCurvature;
    float bladeSoftness;
    float bladeHalfCos; // cos(segment / 2): the polygon's inscribed radius

    bool astigmatism;
    float astigmatismAmount; // radial_skew * rNorm^falloff_exponent

    bool catseye;
    float catseyeOffsetX, catseyeOffsetY;
    float catseyeRadius;
    float catseyeSoftness;

    bool swirl;
    float swirlK; // radial scale minus 1

    bool misalign;
    float misalignEx, misalignEy;
    float misalignAngle; // direction to the optical centre
    float misalignAmount;

    bool anamorphic;
    float anamorphicX, anamorphicY;

    bool dimple;
    float dimpleDepth, dimpleExponent;

    bool softEdge;
    float edgeWidth, edgeFalloff;
};

HD inline ShapeSetup shapeSetup(const PixelFrame& f, const AnimatedParameters& p) {
    const float* fp = p.floatParams;
    ShapeSetup s;

    s.bladeCount = p.intParams[slot::blade_count];
    s.blades = p.boolParams[slot::aperture_enable] && s.bladeCount > 2;
    s.bladeSegment = s.blades ? 6.28318531f / static_cast<float>(s.bladeCount) : 0.0f;
    s.bladeRotation = fp[slot::blade_rotation] * 0.0174532924f;
    s.bladeCurvature = fp[slot::blade_curvature];
    s.bladeSoftness = fp[slot::blade_softness];
    s.bladeHalfCos = cosf(0.5f * s.bladeSegment);

    const bool offCentre = f.dist > 0.0001f;
    s.astigmatism = fp[slot::radial_skew] != 0.0f && offCentre;
    s.astigmatismAmount =
        s.astigmatism ? fp[slot::radial_skew] * powf(f.rNorm, fp[slot::falloff_exponent]) : 0.0f;

    s.catseye = p.boolParams[slot::catseye_enable] != 0;
    s.catseyeRadius = fp[slot::catseye_radius];
    s.catseyeSoftness = fp[slot::catseye_softness];
    s.catseyeOffsetX = 0.0f;
    s.catseyeOffsetY = 0.0f;
    if (s.catseye && fp[slot::catseye_strength] != 0.0f) {
        const float amount = fp[slot::catseye_strength] * powf(f.rNorm, fp[slot::catseye_exponent]);
        float ox = amount * f.dirx;
        float oy = amount * f.diry;
        const float length = sqrtf(ox * ox + oy * oy);
        const float limit = 0.9f * (s.catseyeRadius + 1.0f);
        if (length > limit) {
            ox *= limit / length;
            oy *= limit / length;
        }
        s.catseyeOffsetX = ox;
        s.catseyeOffsetY = oy;
    }

    float g = 1.0f;
    if (p.boolParams[slot::swirl_enable]) {
        g = 1.0f + (fp[slot::swirl_factor] - 1.0f) * powf(f.rNorm, fp[slot::swirl_exponent]);
    }
    s.swirl = p.boolParams[slot::swirl_enable] && offCentre && g != 1.0f;
    s.swirlK = g - 1.0f;

    s.misalignEx = 1.0f;
    s.misalignEy = 1.0f;
    s.misalignAngle = 0.0f;
    s.misalignAmount = fp[slot::superq_amount];
    if (p.boolParams[slot::superq_enable]) {
        const float falloff = powf(f.dist / (f.halfDiag * fmaxf(fp[slot::superq_scale], 0.001f)),
                                   fp[slot::superq_falloff]);
        const Vec2f target = p.vec2Params[slot::superq_exponent];
        s.misalignEx = 1.0f + (target.x - 1.0f) * falloff;
        s.misalignEy = 1.0f + (target.y - 1.0f) * falloff;
        s.misalignAngle = (f.dirx != 0.0f || f.diry != 0.0f) ? atan2f(f.diry, f.dirx) : 0.0f;
    }
    s.misalign =
        p.boolParams[slot::superq_enable] && (s.misalignEx != 1.0f || s.misalignEy != 1.0f);

    const Vec2f stretch = p.vec2Params[slot::anamorphic];
    s.anamorphic = stretch.x != 1.0f || stretch.y != 1.0f;
    s.anamorphicX = stretch.x;
    s.anamorphicY = stretch.y;

    s.dimpleDepth = fp[slot::dimple_depth];
    s.dimpleExponent = fp[slot::dimple_exponent];
    s.dimple = s.dimpleDepth > 0.0f;

    s.edgeWidth = fp[slot::edge_width];
    s.edgeFalloff = fp[slot::edge_falloff];
    s.softEdge = s.edgeWidth > 0.0f;
    return s;
}

// Iris-blade weight of a spiral point at radius rho: a polygon of bladeCount sides blended
// toward the unit circle by the curvature, softened inward by the softness. 0 rejects.
HD inline float bladeWeight(const ShapeSetup& s, float px, float py, float rho) {
    if (rho > 1.0f) {
        return 0.0f;
    }
    if (rho < 0.001f) {
        return 1.0f;
    }
    const float phi = atan2f(py, px) - s.bladeRotation;
    float m = fmodf(phi, s.bladeSegment);
    if (m < 0.0f) {
        m += s.bladeSegment;
    }
    const float delta = fabsf(m - 0.5f * s.bladeSegment);
    const float polygonRadius = s.bladeHalfCos / fmaxf(cosf(delta), 0.001f);
    const float k = s.bladeCurvature;
    const float inside = (1.0f - k) * (polygonRadius - rho) + k * (1.0f - rho);
    if (inside < 0.0f) {
        return 0.0f;
    }
    if (s.bladeSoftness <= 0.0f) {
        return 1.0f;
    }
    return fminf(inside / (s.bladeSoftness * ((1.0f - k) * s.bladeHalfCos + k)), 1.0f);
}

// Cat's-eye weight: the blocking circle, shifted toward or away from the optical centre, clips
// the disc. A negative result rejects the sample.
HD inline float catseyeWeight(const ShapeSetup& s, float px, float py) {
    const float ex = px - s.catseyeOffsetX;
    const float ey = py - s.catseyeOffsetY;
    const float e = sqrtf(ex * ex + ey * ey);
    if (e > s.catseyeRadius) {
        return -1.0f;
    }
    if (s.catseyeSoftness <= 0.0f) {
        return 1.0f;
    }
    return powf((s.catseyeRadius - e) / s.catseyeRadius, s.catseyeSoftness);
}

// Swirl, misalignment and anamorphic stretch of the fetch position.
HD inline void displaceSample(const ShapeSetup& s, const PixelFrame& f, float& qx, float& qy) {
    if (s.swirl) {
        // Scale the radial component by g, keep the tangential one.
        const float along = qx * f.dirx + qy * f.diry;
        qx += s.swirlK * along * f.dirx;
        qy += s.swirlK * along * f.diry;
    }
    if (s.misalign) {
        const float theta = atan2f(qy, qx) - s.misalignAngle;
        const float cx = powf(fabsf(cosf(theta)), s.misalignEx);
        const float sy = powf(fabsf(sinf(theta)), s.misalignEy);
        const float scale = 1.0f + s.misalignAmount * (sqrtf(cx * cx + sy * sy) - 1.0f);
        qx *= scale;
        qy *= scale;
    }
    if (s.anamorphic) {
        qx *= s.anamorphicX;
        qy *= s.anamorphicY;
    }
}

// Dimple and soft-edge profile of the disc at radius rho.
HD inline float discProfile(const ShapeSetup& s, float rho) {
    float w = 1.0f;
    if (s.dimple) {
        w *= (1.0f - s.dimpleDepth) + s.dimpleDepth * powf(rho, s.dimpleExponent);
    }
    if (s.softEdge && rho > 1.0f - s.edgeWidth) {
        const float t = fminf((rho - (1.0f - s.edgeWidth)) / s.edgeWidth, 1.0f);
        w *= powf(1.0f - t, s.edgeFalloff);
    }
    return w;
}

} // namespace kernels
