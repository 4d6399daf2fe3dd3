#pragma once

// Where the lens-blur kernels find each parameter of the shipped definition: its ordinal among
// the parameters of the same slot type, in definition order. Reordering the definition's
// parameters changes these numbers; a test walks every list below to keep them in step.

namespace kernels {
namespace slot {

#define HALDEN_FLOAT_SLOTS(X)                                                                      \
    X(blur_radius)                                                                                 \
    X(bokeh_contrast)                                                                              \
    X(bokeh_power)                                                                                 \
    X(bokeh_smooth)                                                                                \
    X(radial_skew)                                                                                 \
    X(dimple_depth)                                                                                \
    X(dimple_exponent)                                                                             \
    X(edge_width)                                                                                  \
    X(edge_falloff)                                                                                \
    X(optical_scale)                                                                               \
    X(falloff_strength)                                                                            \
    X(rack_focus)                                                                                  \
    X(falloff_exponent)                                                                            \
    X(falloff_angle)                                                                               \
    X(swirl_factor)                                                                                \
    X(swirl_exponent)                                                                              \
    X(catseye_strength)                                                                            \
    X(catseye_exponent)                                                                            \
    X(catseye_radius)                                                                              \
    X(catseye_softness)                                                                            \
    X(blade_rotation)                                                                              \
    X(blade_curvature)                                                                             \
    X(blade_softness)                                                                              \
    X(superq_falloff)                                                                              \
    X(superq_scale)                                                                                \
    X(superq_amount)                                                                               \
    X(vignette_strength)                                                                           \
    X(vignette_exponent)                                                                           \
    X(fg_opacity)                                                                                  \
    X(fg_speed)                                                                                    \
    X(fg_range)                                                                                    \
    X(fg_turbulence)                                                                               \
    X(fg_lacunarity)                                                                               \
    X(fg_time_offset)                                                                              \
    X(fg_orientation)                                                                              \
    X(fg_parallax)                                                                                 \
    X(oversample)                                                                                  \
    X(sample_divisor)                                                                              \
    X(post_blur_scale)                                                                             \
    X(kernel_rotation)

enum FloatSlot : int {
#define HALDEN_SLOT(name) name,
    HALDEN_FLOAT_SLOTS(HALDEN_SLOT)
#undef HALDEN_SLOT
        FLOAT_SLOT_COUNT
};

#define HALDEN_INT_SLOTS(X)                                                                        \
    X(falloff_type)                                                                                \
    X(blade_count)                                                                                 \
    X(fg_texture)                                                                                  \
    X(quality_preset)                                                                              \
    X(min_samples)                                                                                 \
    X(max_samples)                                                                                 \
    X(colorspace)

enum IntSlot : int {
#define HALDEN_SLOT(name) name,
    HALDEN_INT_SLOTS(HALDEN_SLOT)
#undef HALDEN_SLOT
        INT_SLOT_COUNT
};

#define HALDEN_BOOL_SLOTS(X)                                                                       \
    X(falloff_enable)                                                                              \
    X(swirl_enable)                                                                                \
    X(catseye_enable)                                                                              \
    X(aperture_enable)                                                                             \
    X(superq_enable)                                                                               \
    X(vignette_enable)                                                                             \
    X(edge_mode)                                                                                   \
    X(kernel_enable)

enum BoolSlot : int {
#define HALDEN_SLOT(name) name,
    HALDEN_BOOL_SLOTS(HALDEN_SLOT)
#undef HALDEN_SLOT
        BOOL_SLOT_COUNT
};

#define HALDEN_VEC2_SLOTS(X)                                                                       \
    X(optical_center)                                                                              \
    X(anamorphic)                                                                                  \
    X(superq_exponent)                                                                             \
    X(fg_scale)                                                                                    \
    X(fg_offset)                                                                                   \
    X(fg_pivot)

enum Vec2Slot : int {
#define HALDEN_SLOT(name) name,
    HALDEN_VEC2_SLOTS(HALDEN_SLOT)
#undef HALDEN_SLOT
        VEC2_SLOT_COUNT
};

} // namespace slot

// falloff_type options.
enum FalloffType : int { FALLOFF_RADIAL = 0, FALLOFF_LINEAR = 1, FALLOFF_DEPTH_MAP = 2 };
// colorspace options.
enum Colorspace : int { COLORSPACE_LINEAR = 0, COLORSPACE_REC709 = 1 };

} // namespace kernels
