#include "render/KernelBlockPacking.h"

#include "log/Logger.h"

#include <cmath>
#include <cstddef>

namespace render {
namespace {

void logExecutionLayout(const kernels::SystemParameters& s) {
    using kernels::SystemParameters;
    HALDEN_LOG_DEBUG("=== SYSTEMPARAMETERS STRUCT LAYOUT ===");
    HALDEN_LOG_DEBUG("Struct size: %zu bytes", sizeof(SystemParameters));
    HALDEN_LOG_DEBUG("Execution state (XML hierarchy: pipeline → process → kernel):");
    HALDEN_LOG_DEBUG("  currentPipeline offset: %zu, value: %d",
                     offsetof(SystemParameters, currentPipeline), s.currentPipeline);
    HALDEN_LOG_DEBUG("  totalPipelines offset: %zu, value: %d",
                     offsetof(SystemParameters, totalPipelines), s.totalPipelines);
    HALDEN_LOG_DEBUG("  currentPipelineExecution offset: %zu, value: %d",
                     offsetof(SystemParameters, currentPipelineExecution),
                     s.currentPipelineExecution);
    HALDEN_LOG_DEBUG("  totalPipelineExecutions offset: %zu, value: %d",
                     offsetof(SystemParameters, totalPipelineExecutions),
                     s.totalPipelineExecutions);
    HALDEN_LOG_DEBUG("  currentProcessExecution offset: %zu, value: %d",
                     offsetof(SystemParameters, currentProcessExecution),
                     s.currentProcessExecution);
    HALDEN_LOG_DEBUG("  totalProcessExecutions offset: %zu, value: %d",
                     offsetof(SystemParameters, totalProcessExecutions), s.totalProcessExecutions);
    HALDEN_LOG_DEBUG("=======================================");
}

enum class SlotType { None, Float, Int, Bool, Vec2, Vec3, Color, ColorRgba };

SlotType slotTypeOf(const std::string& type) {
    if (type == "double" || type == "float") {
        return SlotType::Float;
    }
    if (type == "int" || type == "choice") {
        return SlotType::Int;
    }
    if (type == "bool") {
        return SlotType::Bool;
    }
    if (type == "vec2") {
        return SlotType::Vec2;
    }
    if (type == "vec3") {
        return SlotType::Vec3;
    }
    if (type == "color") {
        return SlotType::Color;
    }
    if (type == "color_rgba") {
        return SlotType::ColorRgba;
    }
    return SlotType::None;
}

} // namespace

kernels::SystemParameters packSystemParameters(int width, int height,
                                               const RenderArguments& arguments,
                                               const FrameState& frame,
                                               const ExecutionIndices& indices) {
    kernels::SystemParameters s{};
    s.width = width;
    s.height = height;
    s.time = arguments.present ? static_cast<float>(arguments.time) : 0.0f;
    s.frameRate = static_cast<float>(frame.frameRate);
    s.frame24 =
        arguments.present ? static_cast<std::int32_t>(std::trunc(arguments.time * 24.0)) : 0;
    s.pixelAspect = static_cast<float>(frame.pixelAspect);
    s.aspectRatio = height > 0 ? static_cast<float>(width * frame.pixelAspect / height) : 0.0f;
    s.renderScaleX = arguments.present ? static_cast<float>(arguments.renderScaleX) : 1.0f;
    s.renderScaleY = arguments.present ? static_cast<float>(arguments.renderScaleY) : 1.0f;
    s.interactiveRender = arguments.present && arguments.interactive ? 1 : 0;
    for (int i = 0; i < 4; ++i) {
        s.renderWindow[i] = arguments.renderWindow[i];
    }
    s.sequentialRender = arguments.present && arguments.sequential ? 1 : 0;
    s.totalKernelExecutions = 1;
    s.totalKernels = 1;
    s.totalPasses = 1;
    s.currentPipelineExecution = indices.currentPipelineExecution;
    s.totalPipelineExecutions = indices.totalPipelineExecutions;
    s.currentPipeline = indices.currentPipeline;
    s.totalPipelines = indices.totalPipelines;
    s.currentProcessExecution = indices.currentProcessExecution;
    s.totalProcessExecutions = indices.totalProcessExecutions;
    s.globalBlend = frame.globalBlend;
    s.transitionProgress = frame.isTransition ? frame.transitionProgress : 0.0f;
    s.isTransition = frame.isTransition ? 1 : 0;
    s.accumValid = frame.accumValid ? 1 : 0;
    s.lastRenderedTime = frame.lastRenderedTime;
    logExecutionLayout(s);
    return s;
}

kernels::AnimatedParameters packAnimatedParameters(const XMLEffectDefinition& definition,
                                                   const PresetValues& values,
                                                   const VectorParameterReader& readVector) {
    using namespace kernels;
    AnimatedParameters p{};
    std::int32_t* counts = p.counts;
    for (const ParameterDef& param : definition.parameters()) {
        const SlotType type = slotTypeOf(param.type);
        if (type == SlotType::None) {
            continue;
        }
        if (type == SlotType::Float || type == SlotType::Int || type == SlotType::Bool) {
            // A missing value keeps its slot, holding the default: shifting the later slots
            // would make the kernels read each other's parameters.
            PresetValue value;
            const auto found = values.find(param.name);
            if (found != values.end()) {
                value = found->second;
            } else {
                value = type == SlotType::Float ? PresetValue::number(param.defaultValue)
                        : type == SlotType::Int
                            ? PresetValue::integer(static_cast<int>(param.defaultValue))
                            : PresetValue::boolean(param.boolDefault);
                HALDEN_LOG_ERROR("Parameter '%s' has no value for this render - its kernel slot "
                                 "holds the default",
                                 param.name.c_str());
            }
            if (type == SlotType::Float && counts[COUNT_FLOAT] < MAX_FLOAT_SLOTS) {
                p.floatParams[counts[COUNT_FLOAT]++] = static_cast<float>(value.asDouble());
            } else if (type == SlotType::Int && counts[COUNT_INT] < MAX_INT_SLOTS) {
                p.intParams[counts[COUNT_INT]++] = value.asInt();
            } else if (type == SlotType::Bool && counts[COUNT_BOOL] < MAX_BOOL_SLOTS) {
                p.boolParams[counts[COUNT_BOOL]++] = value.asBool() ? 1 : 0;
            }
            continue;
        }

        const int countIndex = type == SlotType::Vec2    ? COUNT_VEC2
                               : type == SlotType::Vec3  ? COUNT_VEC3
                               : type == SlotType::Color ? COUNT_COLOR
                                                         : COUNT_COLOR_RGBA;
        if (counts[countIndex] >= MAX_VEC_SLOTS) {
            continue;
        }
        std::array<double, 4> v{};
        std::string error;
        if (!readVector || !readVector(param.name, param.type, v, error)) {
            HALDEN_LOG_ERROR("Failed to fetch %s param %s: %s", param.type.c_str(),
                             param.name.c_str(), error.c_str());
            continue;
        }
        const int slot = counts[countIndex]++;
        const float x = static_cast<float>(v[0]), y = static_cast<float>(v[1]);
        const float z = static_cast<float>(v[2]), w = static_cast<float>(v[3]);
        switch (type) {
        case SlotType::Vec2:
            p.vec2Params[slot] = {x, y};
            break;
        case SlotType::Vec3:
            p.vec3Params[slot] = {x, y, z};
            break;
        case SlotType::Color:
            p.colorParams[slot] = {x, y, z};
            break;
        default:
            p.colorRgbaParams[slot] = {x, y, z, w};
            break;
        }
    }
    return p;
}

std::uint32_t borderModeCode(const std::string& mode) {
    if (mode == "repeat") {
        return kernels::BORDER_REPEAT;
    }
    if (mode == "mirror") {
        return kernels::BORDER_MIRROR;
    }
    if (mode == "black") {
        return kernels::BORDER_BLACK;
    }
    return kernels::BORDER_CLAMP;
}

namespace {

// Appends an entry unless the record is full; returns its index or -1.
int append(kernels::SourceConnections& record, std::uint64_t texture, bool connected,
           const char* name, std::uint32_t border, std::uint32_t noInput) {
    if (record.sourceCount >= kernels::MAX_SOURCES) {
        return -1;
    }
    const int index = record.sourceCount++;
    record.sources[index] = {texture, static_cast<std::uint8_t>(connected ? 1 : 0), name, border,
                             noInput};
    return index;
}

void appendTransitionSource(kernels::SourceConnections& record,
                            const std::map<std::string, std::uint64_t>& textures,
                            const char* name) {
    const auto found = textures.find(name);
    if (found == textures.end()) {
        HALDEN_LOG_ERROR("%s texture not found for transition", name);
        return;
    }
    append(record, found->second, true, found->first.c_str(), kernels::BORDER_CLAMP,
           kernels::NOINPUT_ERROR);
    HALDEN_LOG_DEBUG("Added %s texture to SourceConnections", name);
}

} // namespace

kernels::SourceConnections
packSourceConnections(const XMLEffectDefinition& definition, bool transition,
                      const std::map<std::string, std::uint64_t>& textures,
                      const std::map<std::string, bool>& connectionStatus,
                      const DefaultTextureSource& defaultTexture) {
    kernels::SourceConnections record{};
    if (transition) {
        HALDEN_LOG_DEBUG("Creating SourceConnections for TRANSITION context");
        appendTransitionSource(record, textures, "SourceFrom");
        appendTransitionSource(record, textures, "SourceTo");
        return record;
    }

    for (const InputDef& input : definition.inputs()) {
        const std::uint32_t border = borderModeCode(input.borderMode);
        const int mode = noInputModeCode(input.noInputMode);
        const auto found = textures.find(input.name);
        if (found != textures.end()) {
            const auto status = connectionStatus.find(input.name);
            const bool connected = status == connectionStatus.end() || status->second;
            append(record, found->second, connected, input.name.c_str(), border, mode);
        } else if (mode != kernels::NOINPUT_ERROR) {
            const std::uint64_t stand = defaultTexture ? defaultTexture(mode) : 0;
            if (stand != 0) {
                HALDEN_LOG_DEBUG("Using default texture for '%s' (mode=%d, isConnected=false)",
                                 input.name.c_str(), mode);
            } else {
                HALDEN_LOG_ERROR("Failed to get default texture for '%s'", input.name.c_str());
            }
            append(record, stand, false, input.name.c_str(), border, mode);
        } else {
            HALDEN_LOG_ERROR("Required input '%s' not connected", input.name.c_str());
            append(record, 0, false, input.name.c_str(), border, mode);
        }
    }

    const auto effectOutput = textures.find("effectOutput");
    if (effectOutput != textures.end()) {
        const int index = append(record, effectOutput->second, true, effectOutput->first.c_str(),
                                 kernels::BORDER_CLAMP, kernels::NOINPUT_ERROR);
        HALDEN_LOG_DEBUG("Phase 3a.5: Added effectOutput to SourceConnections at index %d", index);
    }
    for (int n = 0;; ++n) {
        const auto output = textures.find("pipelineOutput_" + std::to_string(n));
        if (output == textures.end()) {
            break;
        }
        const int index = append(record, output->second, true, output->first.c_str(),
                                 kernels::BORDER_CLAMP, kernels::NOINPUT_ERROR);
        HALDEN_LOG_DEBUG("Phase 3a.5: Added %s to SourceConnections at index %d",
                         output->first.c_str(), index);
    }
    for (const std::string& buffer : definition.accumulationBuffers()) {
        const auto accum = textures.find("accum_" + buffer);
        if (accum == textures.end()) {
            continue;
        }
        const int index = append(record, accum->second, true, accum->first.c_str(),
                                 kernels::BORDER_CLAMP, kernels::NOINPUT_ERROR);
        HALDEN_LOG_DEBUG("Added %s to SourceConnections at index %d", accum->first.c_str(), index);
    }
    HALDEN_LOG_DEBUG("SourceConnections complete - %d total sources (base inputs + pipeline "
                     "outputs + accum buffers)",
                     record.sourceCount);
    return record;
}

} // namespace render
