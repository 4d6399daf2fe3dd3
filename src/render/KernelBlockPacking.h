#pragma once

// Filling the kernels' parameter records from the instance's state before every pass: render
// arguments and execution indices, parameter values, the textures bound to each source.

#include "definition/XMLEffectDefinition.h"
#include "kernels/KernelParameters.h"
#include "presets/PresetValue.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace render {

// What the host said about the render in progress; absent outside a render.
struct RenderArguments {
    bool present = false;
    double time = 0.0;
    double renderScaleX = 1.0;
    double renderScaleY = 1.0;
    bool interactive = false;
    bool sequential = false;
    int renderWindow[4] = {0, 0, 0, 0};
};

// Where this pass sits in the pipeline: effect executions, processes, process executions.
struct ExecutionIndices {
    int currentPipeline = 0;
    int totalPipelines = 1;
    int currentPipelineExecution = 0;
    int totalPipelineExecutions = 1;
    int currentProcessExecution = 0;
    int totalProcessExecutions = 1;
};

struct FrameState {
    double frameRate = 0.0;
    double pixelAspect = 1.0;
    float globalBlend = 1.0f;
    bool isTransition = false;
    float transitionProgress = 0.0f;
    bool accumValid = false;
    float lastRenderedTime = -1.0f;
};

kernels::SystemParameters packSystemParameters(int width, int height,
                                               const RenderArguments& arguments,
                                               const FrameState& frame,
                                               const ExecutionIndices& indices);

// Reads a vector parameter ("vec2", "vec3", "color", "color_rgba") at the render time. Returns
// false with a reason when the host cannot give it.
using VectorParameterReader = std::function<bool(const std::string& name, const std::string& type,
                                                 std::array<double, 4>& value, std::string& error)>;

// Slots in definition order by type; scalars come from the value map (a parameter missing
// there keeps its slot with the definition default), vectors from the reader. Full arrays drop
// the rest silently.
kernels::AnimatedParameters packAnimatedParameters(const XMLEffectDefinition& definition,
                                                   const PresetValues& values,
                                                   const VectorParameterReader& readVector);

// Texture of the default stand-in for a no-input mode (1 black, 2 white, 3 transparent); 0 when
// there is none.
using DefaultTextureSource = std::function<std::uint64_t(int mode)>;

// Inputs in definition order (each always takes its entry), then the effect output, the
// process outputs and the accumulation buffers found in the texture map. Names point into the
// definition and the map, which must outlive the record.
kernels::SourceConnections
packSourceConnections(const XMLEffectDefinition& definition, bool transition,
                      const std::map<std::string, std::uint64_t>& textures,
                      const std::map<std::string, bool>& connectionStatus,
                      const DefaultTextureSource& defaultTexture);

std::uint32_t borderModeCode(const std::string& mode);

} // namespace render
