#pragma once

// Where the lens-blur kernels find each parameter of the shipped definition: its ordinal among
// the parameters of the same slot type, in definition order. Reordering the definition's
// parameters changes these numbers; a test keeps them in step with the definition.

namespace kernels {
namespace slot {

enum FloatSlot : int {
    blur_radius = 0,
    bokeh_contrast,
    bokeh_power,
    bokeh_smooth,
    radial_skew,
    dimple_depth,
    dimple_exponent,
    edge_width,
    edge_falloff,
    optical_scale,
    falloff_strength,
    rack_focus,
    falloff_exponent,
    falloff_angle,
    swirl_factor,
    swirl_exponent,
    catseye_strength,
    catseye_exponent,
    catseye_radius,
    catseye_softness,
    blade_rotation,
    blade_curvature,
    blade_softness,
    superq_falloff,
    superq_scale,
    superq_amount,
    vignette_strength,
    vignette_exponent,
    fg_opacity,
    fg_speed,
    fg_range,
    fg_turbulence,
    fg_lacunarity,
    fg_time_offset,
    fg_orientation,
    fg_parallax,
    oversample,
    sample_divisor,
    post_blur_scale,
    kernel_rotation,
    FLOAT_SLOT_COUNT
};

enum IntSlot : int {
    falloff_type = 0,
    blade_count,
    fg_texture,
    quality_preset,
    min_samples,
    max_samples,
    colorspace,
    INT_SLOT_COUNT
};

enum BoolSlot : int {
    falloff_enable = 0,
    swirl_enable,
    catseye_enable,
    aperture_enable,
    superq_enable,
    vignette_enable,
    edge_mode,
    kernel_enable,
    BOOL_SLOT_COUNT
};

enum Vec2Slot : int {
    optical_center = 0,
    anamorphic,
    superq_exponent,
    fg_scale,
    fg_offset,
    fg_pivot,
    VEC2_SLOT_COUNT
};

} // namespace slot

// falloff_type options.
enum FalloffType : int { FALLOFF_RADIAL = 0, FALLOFF_LINEAR = 1, FALLOFF_DEPTH_MAP = 2 };
// colorspace options.
enum Colorspace : int { COLORSPACE_LINEAR = 0, COLORSPACE_REC709 = 1 };

} // namespace kernels
