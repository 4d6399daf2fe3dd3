#pragma once

// The records every pipeline kernel receives by value. One declaration serves the host packing,
// the CUDA kernels and the CPU launcher; the static checks at the end pin the layout, which the
// nvcc host pass and the device pass must agree on byte for byte.

#include <cstddef>
#include <cstdint>

namespace kernels {

constexpr int MAX_SOURCES = 32;
constexpr int MAX_BUNDLED_RESOURCES = 16;

constexpr int MAX_FLOAT_SLOTS = 64;
constexpr int MAX_INT_SLOTS = 32;
constexpr int MAX_BOOL_SLOTS = 32;
constexpr int MAX_VEC_SLOTS = 16;

// Launch geometry of every pipeline kernel: 16 x 16 threads, one per pixel.
constexpr int BLOCK_SIZE = 16;
constexpr int gridSize(int pixels) {
    return (pixels + BLOCK_SIZE - 1) / BLOCK_SIZE;
}

struct SystemParameters {
    std::int32_t width;
    std::int32_t height;
    float time; // frame number of the render
    float frameRate;
    std::int32_t frame24;
    float pixelAspect;
    float aspectRatio; // width * pixelAspect / height
    float renderScaleX;
    float renderScaleY;
    std::uint8_t interactiveRender;
    std::int32_t renderWindow[4]; // x1, y1, x2, y2
    std::uint8_t sequentialRender;
    std::int32_t currentKernelExecution;
    std::int32_t totalKernelExecutions;
    std::int32_t currentKernel;
    std::int32_t totalKernels;
    std::int32_t currentPass;
    std::int32_t totalPasses;
    std::int32_t currentPipelineExecution;
    std::int32_t totalPipelineExecutions;
    std::int32_t currentPipeline;
    std::int32_t totalPipelines;
    std::int32_t currentProcessExecution;
    std::int32_t totalProcessExecutions;
    float globalBlend;
    float transitionProgress;
    std::int32_t isTransition;
    std::uint8_t accumValid;
    float lastRenderedTime;
};

// Host strings the kernels never dereference.
struct PipelineParameters {
    const char* effectName;
    const char* version;
};

// Input border modes and no-input modes as the kernels receive them.
enum BorderMode : std::uint32_t {
    BORDER_CLAMP = 0,
    BORDER_REPEAT = 1,
    BORDER_MIRROR = 2,
    BORDER_BLACK = 3
};
enum NoInputMode : std::uint32_t {
    NOINPUT_ERROR = 0,
    NOINPUT_BLACK = 1,
    NOINPUT_WHITE = 2,
    NOINPUT_TRANSPARENT = 3
};

struct SourceConnection {
    std::uint64_t textureObject;
    std::uint8_t isConnected; // 0 for a default texture or a missing input
    const char* name;
    std::uint32_t borderMode;
    std::uint32_t noInputMode;
};

struct SourceConnections {
    SourceConnection sources[MAX_SOURCES];
    std::int32_t sourceCount;
};

struct BundledResource {
    std::uint64_t textureObject;
    const char* name;
    std::int32_t width;
    std::int32_t height;
    std::int32_t channels;
    std::int32_t samplerMode; // 0 linear, 1 nearest
    std::int32_t wrapMode;    // 0 clamp, 1 repeat, 2 mirror
};

struct BundledResources {
    BundledResource resources[MAX_BUNDLED_RESOURCES];
    std::int32_t resourceCount;
};

// Plain float tuples: CUDA's float2 is 8-byte aligned, which would move every later field.
struct Vec2f {
    float x, y;
};
struct Vec3f {
    float x, y, z;
};
struct Vec4f {
    float x, y, z, w;
};

enum SlotCount : int {
    COUNT_FLOAT = 0,
    COUNT_INT = 1,
    COUNT_BOOL = 2,
    COUNT_VEC2 = 3,
    COUNT_VEC3 = 4,
    COUNT_COLOR = 5,
    COUNT_COLOR_RGBA = 6,
    SLOT_TYPE_COUNT = 7
};

// Effect parameter values at the render time. A parameter takes the next free slot of its
// type in definition order; kernels address parameters by that ordinal (ParameterSlots.h).
struct AnimatedParameters {
    float floatParams[MAX_FLOAT_SLOTS];      // "double", "float"
    std::int32_t intParams[MAX_INT_SLOTS];   // "int", "choice" (option index)
    std::uint8_t boolParams[MAX_BOOL_SLOTS]; // "bool", 0 or 1
    Vec2f vec2Params[MAX_VEC_SLOTS];         // "vec2"
    Vec3f vec3Params[MAX_VEC_SLOTS];         // "vec3"
    Vec3f colorParams[MAX_VEC_SLOTS];        // "color"
    Vec4f colorRgbaParams[MAX_VEC_SLOTS];    // "color_rgba"
    std::int32_t counts[SLOT_TYPE_COUNT];    // used slots, in the order of SlotCount
};

#define HALDEN_CHECK_OFFSET(type, field, offset)                                                   \
    static_assert(offsetof(type, field) == (offset), #type "." #field " moved")

static_assert(sizeof(void*) == 8, "the records assume 64-bit pointers");
static_assert(sizeof(SystemParameters) == 128, "SystemParameters size changed");
HALDEN_CHECK_OFFSET(SystemParameters, time, 8);
HALDEN_CHECK_OFFSET(SystemParameters, interactiveRender, 36);
HALDEN_CHECK_OFFSET(SystemParameters, renderWindow, 40);
HALDEN_CHECK_OFFSET(SystemParameters, sequentialRender, 56);
HALDEN_CHECK_OFFSET(SystemParameters, currentKernelExecution, 60);
HALDEN_CHECK_OFFSET(SystemParameters, currentPipelineExecution, 84);
HALDEN_CHECK_OFFSET(SystemParameters, globalBlend, 108);
HALDEN_CHECK_OFFSET(SystemParameters, accumValid, 120);
HALDEN_CHECK_OFFSET(SystemParameters, lastRenderedTime, 124);
static_assert(sizeof(PipelineParameters) == 16, "PipelineParameters size changed");
static_assert(sizeof(SourceConnection) == 32, "SourceConnection size changed");
HALDEN_CHECK_OFFSET(SourceConnection, name, 16);
HALDEN_CHECK_OFFSET(SourceConnection, noInputMode, 28);
static_assert(sizeof(SourceConnections) == 1032, "SourceConnections size changed");
HALDEN_CHECK_OFFSET(SourceConnections, sourceCount, 1024);
static_assert(sizeof(BundledResource) == 40, "BundledResource size changed");
HALDEN_CHECK_OFFSET(BundledResource, wrapMode, 32);
static_assert(sizeof(BundledResources) == 648, "BundledResources size changed");
HALDEN_CHECK_OFFSET(BundledResources, resourceCount, 640);
HALDEN_CHECK_OFFSET(AnimatedParameters, intParams, 256);
HALDEN_CHECK_OFFSET(AnimatedParameters, boolParams, 384);
HALDEN_CHECK_OFFSET(AnimatedParameters, vec2Params, 416);
HALDEN_CHECK_OFFSET(AnimatedParameters, vec3Params, 544);
HALDEN_CHECK_OFFSET(AnimatedParameters, colorParams, 736);
HALDEN_CHECK_OFFSET(AnimatedParameters, colorRgbaParams, 928);
HALDEN_CHECK_OFFSET(AnimatedParameters, counts, 1184);
static_assert(sizeof(AnimatedParameters) == 1212, "AnimatedParameters size changed");
// CUDA passes kernel arguments in a 4 KiB buffer.
static_assert(sizeof(SystemParameters) + sizeof(PipelineParameters) + sizeof(SourceConnections) +
                      sizeof(AnimatedParameters) + sizeof(BundledResources) + 2 * 8 <=
                  4096,
              "kernel arguments exceed CUDA's parameter space");

#undef HALDEN_CHECK_OFFSET

} // namespace kernels
