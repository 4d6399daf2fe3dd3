#pragma once

// Texture-driven colour of each spiral sample: the user's KernelMap as the bokeh shape, and a
// bundled foreground silhouette swaying in the wind that occludes the disc.

#include "kernels/KernelMath.h"

namespace kernels {

// Value-noise hash; the remainder keeps the sign of its argument, as fmodf does.
HD inline float windHash(float n) {
    return fmodf(sinf(127.1f * n + 311.7f) * 43758.5469f, 1.0f);
}

HD inline float windNoise(float t) {
    const float i = floorf(t);
    const float f = t - i;
    const float h0 = windHash(i);
    const float h1 = windHash(i + 1.0f);
    return h0 + (h1 - h0) * f * f * (3.0f - 2.0f * f);
}

// Sway in [-1, 1]-ish of the foreground at a frame time: four slow sines, blended toward
// fractal noise and gusts as the turbulence rises. A pure function of time, so scrubbing
// repeats the motion.
HD inline float windSway(float time, const AnimatedParameters& p) {
    const float* fp = p.floatParams;
    const float tw = fp[slot::fg_speed] * 0.1f * (time + fp[slot::fg_time_offset]);
    const float smooth = 0.5f * sinf(tw) + 0.25f * sinf(2.3f * tw + 1.7f) +
                         0.15f * sinf(4.1f * tw + 3.2f) + 0.3f * sinf(0.37f * tw + 2.1f);
    const float turbulence = fp[slot::fg_turbulence];
    if (turbulence <= 0.001f) {
        return smooth;
    }
    const float lacunarity = fp[slot::fg_lacunarity];
    const int octaves = static_cast<int>(fminf(2.0f * turbulence + 2.0f, 6.0f));
    const float gain = 0.4f + 0.1f * turbulence;
    float amplitude = 1.0f;
    float frequency = 1.0f;
    float sum = 0.0f;
    float norm = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * (2.0f * windNoise(tw * frequency) - 1.0f);
        norm += amplitude;
        amplitude *= gain;
        frequency *= lacunarity;
    }
    const float fbm = sum / norm;
    const float m = fminf(turbulence, 1.5f) / 1.5f;
    float sway = smooth * (1.0f - 0.7f * m) + fbm * 0.8f * m;
    if (turbulence > 0.7f) {
        const float t1 = 2.5f * tw + 100.0f;
        const float q1 = 2.0f * windNoise(t1) - 1.0f;
        const float q2 = 2.0f * windNoise(t1 * lacunarity) - 1.0f;
        const float g = (q1 + 0.5f * q2) / 1.5f;
        const float gust = g * g * (g > 0.0f ? 1.0f : -1.0f);
        sway += 0.25f * (turbulence - 0.7f) * gust;
    }
    return sway;
}

// Per-pixel part of the sample colour.
struct OcclusionSetup {
    bool kernelMap;
    std::uint64_t kernelMapTexture;
    bool kernelRotated;
    float kernelCos, kernelSin;

    bool occlusion;
    std::uint64_t occluderTexture;
    float windCos, windSin; // rotation by -wind angle about the pivot
    bool oriented;
    float orientCos, orientSin; // static orientation
    float offsetX, offsetY, pivotX, pivotY;
    float scaleX, scaleY;       // fg_scale.x * aspect, fg_scale.y
    float parallaxX, parallaxY; // texture slide at this pixel
    float opacity;
};

// The parts of the sample colour that are the same for every pixel: all but the parallax.
// sway is windSway at the frame's time.
HD inline OcclusionSetup occlusionFrame(float aspect, float sway, const AnimatedParameters& p,
                                        const SourceConnections& sources,
                                        const BundledResources& bundled) {
    const float* fp = p.floatParams;
    OcclusionSetup o;
    o.kernelMap = p.boolParams[slot::kernel_enable] && sources.sourceCount > 1 &&
                  sources.sources[1].isConnected;
    o.kernelMapTexture = sources.sources[1].textureObject;
    o.kernelRotated = fp[slot::kernel_rotation] != 0.0f;
    const float kernelAngle = fp[slot::kernel_rotation] * 3.14159265f / 180.0f;
    o.kernelCos = cosf(kernelAngle);
    o.kernelSin = sinf(kernelAngle);

    const int texture = p.intParams[slot::fg_texture];
    const int loaded = bundled.resourceCount;
    o.opacity = fp[slot::fg_opacity];
    o.occlusion = o.opacity > 0.0f && texture > 0 && loaded > 0 && texture <= loaded;
    o.occluderTexture = o.occlusion ? bundled.resources[texture - 1].textureObject : 0;

    const float windAngle =
        (texture > 0 && loaded > 0) ? fp[slot::fg_range] * sway * 3.14159265f / 180.0f : 0.0f;
    o.windCos = cosf(windAngle);
    o.windSin = sinf(windAngle);
    const float orientation = fp[slot::fg_orientation];
    o.oriented = orientation != 0.0f;
    o.orientCos = cosf(orientation * 3.14159265f / 180.0f);
    o.orientSin = sinf(orientation * 3.14159265f / 180.0f);

    const Vec2f offset = p.vec2Params[slot::fg_offset];
    const Vec2f pivot = p.vec2Params[slot::fg_pivot];
    const Vec2f scale = p.vec2Params[slot::fg_scale];
    o.offsetX = offset.x;
    o.offsetY = offset.y;
    o.pivotX = pivot.x;
    o.pivotY = pivot.y;
    o.scaleX = scale.x * aspect;
    o.scaleY = scale.y;
    o.parallaxX = 0.0f;
    o.parallaxY = 0.0f;
    return o;
}

// Whether the sample colour depends on the pixel at all.
HD inline bool occlusionVariesByPixel(const OcclusionSetup& o, const AnimatedParameters& p) {
    return o.occlusion && p.floatParams[slot::fg_parallax] != 0.0f;
}

// The texture slide at this pixel.
HD inline void occlusionPixel(OcclusionSetup& o, const PixelFrame& f, const AnimatedParameters& p) {
    const float* fp = p.floatParams;
    o.parallaxX = 0.0f;
    o.parallaxY = 0.0f;
    const float parallax = fp[slot::fg_parallax];
    if (parallax != 0.0f) {
        // The texture slides with screen position within the headroom the scale leaves after
        // offset, pivot swing and orientation, so its edge never enters the disc.
        const Vec2f offset = p.vec2Params[slot::fg_offset];
        const Vec2f pivot = p.vec2Params[slot::fg_pivot];
        const float orientation = fp[slot::fg_orientation];
        const float pivotSwing =
            sqrtf(pivot.x * pivot.x + pivot.y * pivot.y) *
            sinf(fminf(fabsf(fp[slot::fg_range]), 90.0f) * 3.14159265f / 180.0f);
        const float orientSwing = sinf(fminf(fabsf(orientation), 90.0f) * 3.14159265f / 180.0f);
        const float hx =
            fmaxf(0.0f, fmaxf(0.0f, (o.scaleX - 1.0f) / o.scaleX) - fabsf(offset.x) / o.scaleX -
                            pivotSwing / o.scaleX - orientSwing / o.scaleX);
        const float hy =
            fmaxf(0.0f, fmaxf(0.0f, (o.scaleY - 1.0f) / o.scaleY) - fabsf(offset.y) / o.scaleY -
                            pivotSwing / o.scaleY - orientSwing / o.scaleY);
        o.parallaxX = parallax * 2.0f * (f.u - 0.5f) * hx;
        o.parallaxY = parallax * 2.0f * (f.v - 0.5f) * hy;
    }
}

HD inline OcclusionSetup occlusionSetup(const PixelFrame& f, float time,
                                        const AnimatedParameters& p,
                                        const SourceConnections& sources,
                                        const BundledResources& bundled) {
    const int texture = p.intParams[slot::fg_texture];
    const float sway = texture > 0 && bundled.resourceCount > 0 ? windSway(time, p) : 0.0f;
    OcclusionSetup o = occlusionFrame(f.aspect, sway, p, sources, bundled);
    occlusionPixel(o, f, p);
    return o;
}

// The occluder under the spiral point (px, py) before the pixel's slide, in texture units: swung
// by the wind about the pivot, oriented, scaled.
template <typename L>
HD inline void occluderPoint(const OcclusionSetup& o, L px, L py, L& sx, L& sy) {
    const L x = o.offsetX + px - o.pivotX;
    const L y = o.offsetY + py + o.pivotY;
    const L x1 = x * o.windCos + y * o.windSin + o.pivotX;
    const L y1 = y * o.windCos - x * o.windSin - o.pivotY;
    L x2 = x1;
    L y2 = y1;
    if (o.oriented) {
        x2 = x1 * o.orientCos + y1 * o.orientSin;
        y2 = y1 * o.orientCos - x1 * o.orientSin;
    }
    sx = x2 / o.scaleX;
    sy = y2 / o.scaleY;
}

// The texture coordinates of that point after the pixel's slide.
template <typename L>
HD inline L occluderU(L sx, L parallaxX) {
    return 0.5f - 0.5f * (sx - parallaxX);
}
template <typename L>
HD inline L occluderV(L sy, L parallaxY) {
    return 0.5f + 0.5f * (sy - parallaxY);
}

// How much of the disc shows through the occluder's texel value t.
template <typename L>
HD inline L occluderFactor(const OcclusionSetup& o, const Rgba<L>& t) {
    const L luma = 0.299f * t.x + 0.587f * t.y + 0.114f * t.z;
    return (1.0f - o.opacity) + o.opacity * luma;
}

// Colour factor of the spiral point (px, py): the kernel map's colour there (white without a
// map), times the occluder's see-through amount. parallax is the pixel's texture slide;
// kernelFetch and occluderFetch sample the two textures.
template <typename L, typename KernelFetch, typename OccluderFetch>
HD inline void sampleColour(const OcclusionSetup& o, L parallaxX, L parallaxY, float aspect, L px,
                            L py, const KernelFetch& kernelFetch,
                            const OccluderFetch& occluderFetch, L& kr, L& kg, L& kb) {
    kr = kg = kb = splatL<L>(1.0f);
    if (o.kernelMap) {
        L kx = px;
        L ky = py;
        if (o.kernelRotated) {
            kx = o.kernelCos * px - o.kernelSin * py;
            ky = o.kernelSin * px + o.kernelCos * py;
        }
        const auto k = kernelFetch(0.5f - 0.5f * kx / aspect, 0.5f - 0.5f * ky);
        kr = k.x;
        kg = k.y;
        kb = k.z;
    }
    if (o.occlusion) {
        L sx, sy;
        occluderPoint(o, px, py, sx, sy);
        const L factor =
            occluderFactor(o, occluderFetch(occluderU(sx, parallaxX), occluderV(sy, parallaxY)));
        kr = kr * factor;
        kg = kg * factor;
        kb = kb * factor;
    }
}

HD inline void sampleColour(const OcclusionSetup& o, float aspect, float px, float py, float& kr,
                            float& kg, float& kb) {
    sampleColour(o, o.parallaxX, o.parallaxY, aspect, px, py, TextureFetch{o.kernelMapTexture},
                 TextureFetch{o.occluderTexture}, kr, kg, kb);
}

} // namespace kernels
