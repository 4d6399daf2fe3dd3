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
    float misalignCos, misalignSin; // of the direction to the optical centre
    float misalignAmount;

    bool anamorphic;
    float anamorphicX, anamorphicY;

    bool dimple;
    float dimpleDepth, dimpleExponent;

    bool softEdge;
    float edgeWidth, edgeFalloff;
};

// The parts of the shape that are the same for every pixel of the frame.
HD inline ShapeSetup shapeFrame(const AnimatedParameters& p) {
    const float* fp = p.floatParams;
    ShapeSetup s;

    s.bladeCount = p.intParams[slot::blade_count];
    s.blades = p.boolParams[slot::aperture_enable] && s.bladeCount > 2;
    s.bladeSegment = s.blades ? 6.28318531f / static_cast<float>(s.bladeCount) : 0.0f;
    s.bladeRotation = fp[slot::blade_rotation] * 0.0174532924f;
    s.bladeCurvature = fp[slot::blade_curvature];
    s.bladeSoftness = fp[slot::blade_softness];
    s.bladeHalfCos = cosf(0.5f * s.bladeSegment);

    s.astigmatism = false;
    s.astigmatismAmount = 0.0f;
    s.catseye = p.boolParams[slot::catseye_enable] != 0;
    s.catseyeRadius = fp[slot::catseye_radius];
    s.catseyeSoftness = fp[slot::catseye_softness];
    s.catseyeOffsetX = 0.0f;
    s.catseyeOffsetY = 0.0f;
    s.swirl = false;
    s.swirlK = 0.0f;
    s.misalign = false;
    s.misalignEx = 1.0f;
    s.misalignEy = 1.0f;
    s.misalignCos = 1.0f;
    s.misalignSin = 0.0f;
    s.misalignAmount = fp[slot::superq_amount];

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

// Fills the fields of a frame's shape that depend on where the pixel lies.
HD inline void shapePixel(ShapeSetup& s, const PixelFrame& f, const AnimatedParameters& p) {
    const float* fp = p.floatParams;
    const bool offCentre = f.dist > 0.0001f;
    s.astigmatism = fp[slot::radial_skew] != 0.0f && offCentre;
    s.astigmatismAmount =
        s.astigmatism ? fp[slot::radial_skew] * powf(f.rNorm, fp[slot::falloff_exponent]) : 0.0f;

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
    s.misalignCos = 1.0f;
    s.misalignSin = 0.0f;
    if (p.boolParams[slot::superq_enable]) {
        const float falloff = powf(f.dist / (f.halfDiag * fmaxf(fp[slot::superq_scale], 0.001f)),
                                   fp[slot::superq_falloff]);
        const Vec2f target = p.vec2Params[slot::superq_exponent];
        s.misalignEx = 1.0f + (target.x - 1.0f) * falloff;
        s.misalignEy = 1.0f + (target.y - 1.0f) * falloff;
        const float angle = (f.dirx != 0.0f || f.diry != 0.0f) ? atan2f(f.diry, f.dirx) : 0.0f;
        s.misalignCos = cosf(angle);
        s.misalignSin = sinf(angle);
    }
    s.misalign =
        p.boolParams[slot::superq_enable] && (s.misalignEx != 1.0f || s.misalignEy != 1.0f);
}

HD inline ShapeSetup shapeSetup(const PixelFrame& f, const AnimatedParameters& p) {
    ShapeSetup s = shapeFrame(p);
    shapePixel(s, f, p);
    return s;
}

// The per-pixel shape values the sample loop reads, one lane per pixel.
template <typename L, typename M>
struct ShapeLanes {
    L dirx, diry;
    M astigmatism;
    L astigmatismAmount;
    L catseyeOffsetX, catseyeOffsetY;
    M swirl;
    L swirlK;
    M misalign;
    L misalignEx, misalignEy, misalignCos, misalignSin;
};

HD inline ShapeLanes<float, bool> shapeLanes(const ShapeSetup& s, const PixelFrame& f) {
    return {f.dirx,           f.diry,        s.astigmatism, s.astigmatismAmount, s.catseyeOffsetX,
            s.catseyeOffsetY, s.swirl,       s.swirlK,      s.misalign,          s.misalignEx,
            s.misalignEy,     s.misalignCos, s.misalignSin};
}

// Iris-blade weight of a spiral point at radius rho: a polygon of bladeCount sides blended
// toward the unit circle by the curvature, softened inward by the softness. 0 rejects.
template <typename L>
HD inline L bladeWeight(const ShapeSetup& s, L px, L py, L rho) {
    const L phi = atan2L(py, px) - s.bladeRotation;
    L m = fmodL(phi, s.bladeSegment);
    m = selectL(m < 0.0f, m + s.bladeSegment, m);
    const L delta = absL(m - 0.5f * s.bladeSegment);
    const L polygonRadius = s.bladeHalfCos / maxL(cosL(delta), 0.001f);
    const float k = s.bladeCurvature;
    const L inside = (1.0f - k) * (polygonRadius - rho) + k * (1.0f - rho);
    L w = splatL<L>(1.0f);
    if (s.bladeSoftness > 0.0f) {
        w = minL(inside / (s.bladeSoftness * ((1.0f - k) * s.bladeHalfCos + k)), 1.0f);
    }
    w = selectL(inside < 0.0f, splatL<L>(0.0f), w);
    w = selectL(rho < 0.001f, splatL<L>(1.0f), w);
    return selectL(rho > 1.0f, splatL<L>(0.0f), w);
}

// Cat's-eye weight: the blocking circle, shifted toward or away from the optical centre, clips
// the disc. A negative result rejects the sample.
template <typename L, typename M>
HD inline L catseyeWeight(const ShapeSetup& s, const ShapeLanes<L, M>& l, L px, L py) {
    const L ex = px - l.catseyeOffsetX;
    const L ey = py - l.catseyeOffsetY;
    const L e = sqrtL(ex * ex + ey * ey);
    L w = splatL<L>(1.0f);
    if (s.catseyeSoftness > 0.0f) {
        w = powValueL((s.catseyeRadius - e) / s.catseyeRadius, s.catseyeSoftness);
    }
    return selectL(e > s.catseyeRadius, splatL<L>(-1.0f), w);
}

// |q| and 1 / |q| of a fetch position not yet moved, where the caller has them at hand;
// positive when the caller knows |q| > 0 in every lane.
template <typename L>
struct KnownRadius {
    L r, inverse;
    bool positive = false;
};

// What displaceSample works out of a sample between its steps: the misalignment's bases
// |cos theta| and |sin theta|, the clamped exponents of their powers, and the powers.
template <typename L>
struct MisalignSteps {
    L x1, x2, z1, z2;
    L cx, sy;
};

// The first half of displaceSample: the swirl, and the misalignment up to the exponents of its
// powers. known, when not null, is the radius of q as it comes in.
template <typename L, typename M>
HD inline void displaceSampleStart(const ShapeSetup& s, const ShapeLanes<L, M>& l, L& qx, L& qy,
                                   const KnownRadius<L>* known, MisalignSteps<L>& h) {
    (void)s; // the misalignment's scale and the stretch come in the second half
    if (anyL(l.swirl)) {
        // Scale the radial component by g, keep the tangential one.
        const L along = qx * l.dirx + qy * l.diry;
        qx = selectL(l.swirl, qx + l.swirlK * along * l.dirx, qx);
        qy = selectL(l.swirl, qy + l.swirlK * along * l.diry, qy);
        known = nullptr;
    }
    if (anyL(l.misalign)) {
        // cos and sin of theta = atan2(q) - phi0 from the difference of angles, without taking
        // the angle; at q = 0, atan2 gives 0 and theta is -phi0.
        const L r = known != nullptr ? known->r : sqrtL(qx * qx + qy * qy);
        const L inverse = known != nullptr ? known->inverse : 1.0f / r;
        L cosTheta = (qx * l.misalignCos + qy * l.misalignSin) * inverse;
        L sinTheta = (qy * l.misalignCos - qx * l.misalignSin) * inverse;
        if (known == nullptr || !known->positive) {
            const M centre = r == 0.0f;
            cosTheta = selectL(centre, l.misalignCos, cosTheta);
            sinTheta = selectL(centre, -l.misalignSin, sinTheta);
        }
        h.x1 = absL(cosTheta);
        h.x2 = absL(sinTheta);
        shapePow2Exponents(h.x1, l.misalignEx, h.x2, l.misalignEy, h.z1, h.z2);
    }
}

// The second half, in two steps: the misalignment's powers, then its scale and the anamorphic
// stretch.
template <typename L, typename M>
HD inline void displaceSamplePowers(const ShapeLanes<L, M>& l, MisalignSteps<L>& h) {
    if (anyL(l.misalign)) {
        shapePow2FromExponents<L, M>(h.x1, l.misalignEx, h.x2, l.misalignEy, h.z1, h.z2, h.cx,
                                     h.sy);
    }
}
template <typename L, typename M>
HD inline void displaceSampleScale(const ShapeSetup& s, const ShapeLanes<L, M>& l, L& qx, L& qy,
                                   const MisalignSteps<L>& h) {
    if (anyL(l.misalign)) {
        const L scale = 1.0f + s.misalignAmount * (sqrtL(h.cx * h.cx + h.sy * h.sy) - 1.0f);
        qx = selectL(l.misalign, qx * scale, qx);
        qy = selectL(l.misalign, qy * scale, qy);
    }
    if (s.anamorphic) {
        qx = qx * s.anamorphicX;
        qy = qy * s.anamorphicY;
    }
}
template <typename L, typename M>
HD inline void displaceSampleFinish(const ShapeSetup& s, const ShapeLanes<L, M>& l, L& qx, L& qy,
                                    MisalignSteps<L>& h) {
    displaceSamplePowers(l, h);
    displaceSampleScale(s, l, qx, qy, h);
}

// Swirl, misalignment and anamorphic stretch of the fetch position. known, when not null, is
// the radius of q as it comes in.
template <typename L, typename M>
HD inline void displaceSample(const ShapeSetup& s, const ShapeLanes<L, M>& l, L& qx, L& qy,
                              const KnownRadius<L>* known = nullptr) {
    MisalignSteps<L> h{};
    displaceSampleStart(s, l, qx, qy, known, h);
    displaceSampleFinish(s, l, qx, qy, h);
}

// Dimple and soft-edge profile of the disc at radius rho.
template <typename L>
HD inline L discProfile(const ShapeSetup& s, L rho) {
    L w = splatL<L>(1.0f);
    if (s.dimple) {
        w = w * ((1.0f - s.dimpleDepth) + s.dimpleDepth * powValueL(rho, s.dimpleExponent));
    }
    if (s.softEdge) {
        const L t = minL((rho - (1.0f - s.edgeWidth)) / s.edgeWidth, 1.0f);
        w = selectL(rho > 1.0f - s.edgeWidth, w * powValueL(1.0f - t, s.edgeFalloff), w);
    }
    return w;
}

} // namespace kernels
