#include "render/GenericEffect.h"

#include "definition/EmbeddedDefinition.h"
#include "gpu/Runtime.h"
#include "log/Logger.h"
#include "presets/PresetFolders.h"

#include "ofx/support/BooleanParam.h"
#include "ofx/support/ChoiceParam.h"
#include "ofx/support/Clip.h"
#include "ofx/support/ClipPreferencesSetter.h"
#include "ofx/support/ColourParam.h"
#include "ofx/support/DoubleParam.h"
#include "ofx/support/Exception.h"
#include "ofx/support/IntParam.h"
#include "ofx/support/PushButtonParam.h"
#include "ofx/support/StringParam.h"

#include <cmath>
#include <cstdlib>
#include <exception>
#include <stdexcept>

GenericEffect::GenericEffect(OfxImageEffectHandle handle, const std::string& definitionPath)
    : OFX::ImageEffect(handle), definitionPath_(definitionPath),
      hostCapabilities_(HostCapabilities::detect()), textures_(gpu::runtime()),
      processBuffers_(gpu::runtime()), accumulation_(gpu::runtime()), pool_(gpu::runtime()) {
    HALDEN_LOG_DEBUG("GenericEffect constructor: %s", definitionPath.c_str());
    if (!definition_.parseEmbedded(embeddedEffectDefinition())) {
        throw std::runtime_error("Failed to parse embedded XML");
    }
    HALDEN_LOG_INFO("Loaded XML from embedded binary (release build)");
    if (definition_.debugLevel() != "none") {
        Logger::instance().setLevelFromString(definition_.debugLevel());
    }
    HALDEN_LOG_DEBUG("XML debug level: %s", definition_.debugLevel().c_str());

    try {
        const bool transition = getContext() == OFX::eContextTransition;
        HALDEN_LOG_INFO("Effect instantiation context: %s (XML says transition=%s)",
                        transition ? "TRANSITION" : "FILTER/GENERAL",
                        definition_.isTransition() ? "yes" : "no");
        int fetched = 0;
        if (!transition) {
            if (definition_.isTransition()) {
                HALDEN_LOG_ERROR("WARNING: Effect is defined as transition but host instantiated "
                                 "as filter! Apply from Transitions bin, not Effects.");
            }
            for (const InputDef& input : definition_.inputs()) {
                ++fetched;
                try {
                    if (OFX::Clip* clip = fetchClip(input.name)) {
                        clips_[input.name] = clip;
                    }
                } catch (const std::exception& e) {
                    HALDEN_LOG_ERROR("Failed to fetch clip %s: %s", input.name.c_str(), e.what());
                }
            }
        } else {
            fetched += 2;
            try {
                clips_["SourceFrom"] = fetchClip(kOfxImageEffectTransitionSourceFromClipName);
                clips_["SourceTo"] = fetchClip(kOfxImageEffectTransitionSourceToClipName);
                HALDEN_LOG_INFO("Fetched transition clips: SourceFrom, SourceTo");
            } catch (const std::exception& e) {
                HALDEN_LOG_ERROR("Failed to fetch transition clips: %s", e.what());
            }
            try {
                transitionParam_ = fetchDoubleParam(kOfxImageEffectTransitionParamName);
                HALDEN_LOG_INFO("Fetched host Transition parameter");
            } catch (const std::exception& e) {
                HALDEN_LOG_ERROR("Failed to fetch Transition param: %s", e.what());
            }
        }
        ++fetched;
        try {
            clips_["output"] = fetchClip(kOfxImageEffectOutputClipName);
        } catch (const std::exception& e) {
            HALDEN_LOG_ERROR("Failed to fetch output clip: %s", e.what());
        }
        HALDEN_LOG_DEBUG("GenericEffect constructor completed: %d clips fetched", fetched);
    } catch (const std::exception& e) {
        HALDEN_LOG_ERROR("GenericEffect constructor error: %s", e.what());
    }
    // Hosts accept option writes only in create-instance and instance-changed, never in render.
    try {
        ensureParametersFetched();
        initialisePresetChoices();
    } catch (const std::exception& e) {
        HALDEN_LOG_ERROR("GenericEffect constructor error: %s", e.what());
    }
}

GenericEffect::~GenericEffect() {
    HALDEN_LOG_DEBUG("🔴 GenericEffect destructor START");
    // Released on the device they were made on, whichever is current now.
    gpu::Runtime& runtime = gpu::runtime();
    int current = device_;
    const bool switched = device_ >= 0 && runtime.getDevice(&current) == gpu::Error::Success &&
                          current != device_ && runtime.setDevice(device_) == gpu::Error::Success;
    releaseDeviceObjects();
    if (switched) {
        runtime.setDevice(current);
    }
    runtime.getLastError();
    HALDEN_LOG_DEBUG("🔴 GenericEffect destroyed");
}

void GenericEffect::releaseDeviceObjects() {
    textures_.cleanupTextures();
    bundled_.release();
    if (processBuffers_.effectOutput().data != nullptr) {
        HALDEN_LOG_DEBUG("Released cached effectOutput CUDA linear buffer");
    }
    const std::size_t processes = processBuffers_.count();
    processBuffers_.release();
    HALDEN_LOG_DEBUG("Released %zu cached pipeline CUDA linear buffers", processes);
    const std::size_t accumulated = accumulation_.buffers().size();
    accumulation_.release();
    HALDEN_LOG_DEBUG("Released %zu accumulation buffer(s)", accumulated);
    finalBlend_.release();
    pool_.clear();
    currentManager_ = nullptr;
    if (ownStream_ != 0) {
        gpu::runtime().streamDestroy(ownStream_);
        ownStream_ = 0;
    }
}

void GenericEffect::followDevice(gpu::Runtime& runtime) {
    int device = 0;
    if (runtime.getDevice(&device) != gpu::Error::Success) {
        runtime.getLastError();
        return;
    }
    if (device_ >= 0 && device != device_) {
        HALDEN_LOG_INFO("Rendering on device %d: the device objects made on device %d are made "
                        "again",
                        device, device_);
        if (runtime.setDevice(device_) == gpu::Error::Success) {
            releaseDeviceObjects();
            runtime.setDevice(device);
        }
        runtime.getLastError();
    }
    device_ = device;
}

bool GenericEffect::ensureParametersFetched() {
    {
        std::lock_guard<std::mutex> lock(stateMutex_);
        if (!parameters_.empty()) {
            return false;
        }
    }
    fetchParametersLazily();
    return true;
}

void GenericEffect::fetchParametersLazily() {
    // Fetched without the state mutex (no lock is held across host calls) and stored at once;
    // the support layer hands out the same objects to every fetch.
    std::map<std::string, OFX::Param*> parameters;
    HALDEN_LOG_DEBUG("Fetching parameters lazily");
    for (const ParameterDef& param : definition_.parameters()) {
        const std::string& type = param.type;
        OFX::Param* fetched = nullptr;
        if (type == "double" || type == "float") {
            fetched = fetchDoubleParam(param.name);
        } else if (type == "int") {
            fetched = fetchIntParam(param.name);
        } else if (type == "bool") {
            fetched = fetchBooleanParam(param.name);
        } else if (type == "string" || type == "filepath") {
            fetched = fetchStringParam(param.name);
        } else if (type == "choice") {
            fetched = fetchChoiceParam(param.name);
        } else if (type == "color") {
            fetched = fetchRGBParam(param.name);
        } else if (type == "color_rgba") {
            fetched = fetchRGBAParam(param.name);
        } else if (type == "vec2") {
            fetched = fetchDouble2DParam(param.name);
        } else if (type == "vec3") {
            fetched = fetchDouble3DParam(param.name);
        } else if (type == "pushbutton") {
            fetched = fetchPushButtonParam(param.name);
        } else {
            HALDEN_LOG_ERROR("Unsupported parameter type: %s", type.c_str());
            continue;
        }
        if (fetched != nullptr) {
            parameters[param.name] = fetched;
        }
    }
    for (const char* name : {"preset_list", "factory_preset_list"}) {
        if (OFX::Param* choice = fetchChoiceParam(name)) {
            parameters[name] = choice;
        }
    }
    if (OFX::Param* presetName = fetchStringParam("preset_name")) {
        parameters["preset_name"] = presetName;
        HALDEN_LOG_INFO("Successfully fetched preset_name parameter");
    } else {
        HALDEN_LOG_ERROR("fetchStringParam('preset_name') returned null");
    }
    for (const char* name : {"load_preset", "delete_preset", "save_preset"}) {
        if (OFX::Param* button = fetchPushButtonParam(name)) {
            parameters[name] = button;
        }
    }
    HALDEN_LOG_DEBUG("Fetched %d parameters (including framework params)",
                     static_cast<int>(parameters.size()));
    std::lock_guard<std::mutex> lock(stateMutex_);
    parameters_ = std::move(parameters);
}

PresetValue GenericEffect::getParameterValue(const std::string& name, double time) {
    OFX::Param* param = nullptr;
    {
        std::lock_guard<std::mutex> lock(stateMutex_);
        const auto found = parameters_.find(name);
        if (found == parameters_.end()) {
            HALDEN_LOG_ERROR("Parameter %s not found", name.c_str());
            return PresetValue();
        }
        param = found->second;
    }
    const std::string type =
        definition_.hasParameter(name) ? definition_.getParameter(name).type : std::string();
    if (type == "double" || type == "float") {
        return PresetValue::number(static_cast<OFX::DoubleParam*>(param)->getValueAtTime(time));
    }
    if (type == "int") {
        return PresetValue::integer(static_cast<OFX::IntParam*>(param)->getValueAtTime(time));
    }
    if (type == "choice") {
        return PresetValue::integer(static_cast<OFX::ChoiceParam*>(param)->getValueAtTime(time));
    }
    if (type == "bool") {
        return PresetValue::boolean(static_cast<OFX::BooleanParam*>(param)->getValueAtTime(time));
    }
    if (type == "string") {
        return PresetValue::text(static_cast<OFX::StringParam*>(param)->getValueAtTime(time));
    }
    if (type == "vec2") {
        const OfxPointD v = static_cast<OFX::Double2DParam*>(param)->getValueAtTime(time);
        return PresetValue::vec2(v.x, v.y);
    }
    if (type == "vec3") {
        double x = 0, y = 0, z = 0;
        static_cast<OFX::Double3DParam*>(param)->getValueAtTime(time, x, y, z);
        return PresetValue::vec3(x, y, z);
    }
    if (type == "color") {
        const OfxRGBColourD c = static_cast<OFX::RGBParam*>(param)->getValueAtTime(time);
        return PresetValue::vec3(c.r, c.g, c.b);
    }
    if (type == "color_rgba") {
        const OfxRGBAColourD c = static_cast<OFX::RGBAParam*>(param)->getValueAtTime(time);
        return PresetValue::vec4(c.r, c.g, c.b, c.a);
    }
    HALDEN_LOG_ERROR("Unsupported parameter type: %s", type.c_str());
    return PresetValue();
}

int GenericEffect::getDynamicExecutions(const std::string& name, double time) {
    OFX::Param* param = nullptr;
    {
        std::lock_guard<std::mutex> lock(stateMutex_);
        const auto found = parameters_.find(name);
        param = found == parameters_.end() ? nullptr : found->second;
    }
    if (param == nullptr) {
        HALDEN_LOG_ERROR("Dynamic execution parameter not found: %s, defaulting to 1",
                         name.c_str());
        return 1;
    }
    int result = 1;
    if (param->getType() == OFX::eParamTypeInteger) {
        result = static_cast<OFX::IntParam*>(param)->getValueAtTime(time);
    } else if (param->getType() == OFX::eParamTypeDouble) {
        const double value = static_cast<OFX::DoubleParam*>(param)->getValueAtTime(time);
        result =
            std::isfinite(value) && std::fabs(value) < 2147483647.0 ? static_cast<int>(value) : 1;
        HALDEN_LOG_DEBUG("Parameter %s is double/float (%.2f), converting to int (%d)",
                         name.c_str(), value, result);
    } else {
        HALDEN_LOG_ERROR("Parameter %s is not int/float/double type, defaulting to 1",
                         name.c_str());
        return 1;
    }
    if (result < 1) {
        HALDEN_LOG_DEBUG("Parameter %s has value %d < 1, clamping to 1", name.c_str(), result);
        return 1;
    }
    return result;
}

int GenericEffect::resolveExecutions(const std::string& text, double time) {
    if (text.empty() || text == "1") {
        return 1;
    }
    if (text.rfind("param:", 0) == 0) {
        return getDynamicExecutions(text.substr(6), time);
    }
    const long value = std::strtol(text.c_str(), nullptr, 10);
    return value < 1 || value > 1000000 ? 1 : static_cast<int>(value);
}

bool GenericEffect::evaluateIdentityCondition(const IdentityCondition& condition, double time) {
    const double value = getParameterValue(condition.parameterName, time).asDouble();
    const double threshold = condition.value;
    const std::string& op = condition.op;
    if (op == "lessEqual") {
        return value <= threshold;
    }
    if (op == "equal") {
        return value == threshold;
    }
    if (op == "lessThan") {
        return value < threshold;
    }
    if (op == "greaterThan") {
        return value > threshold;
    }
    if (op == "greaterEqual") {
        return value >= threshold;
    }
    if (op == "notEqual") {
        return value != threshold;
    }
    HALDEN_LOG_DEBUG("WARNING: Unknown identity operator: %s", op.c_str());
    return false;
}

bool GenericEffect::isIdentity(const OFX::IsIdentityArguments& args, OFX::Clip*& identityClip,
                               double& identityTime) {
    // Conditions read the parameters; before the first render they are not fetched yet, and
    // judging them as 0 would hand the host the unprocessed source.
    if (!definition_.identityConditions().empty()) {
        ensureParametersFetched();
    }
    for (const IdentityCondition& condition : definition_.identityConditions()) {
        if (!evaluateIdentityCondition(condition, args.time) || definition_.inputs().empty()) {
            continue;
        }
        std::lock_guard<std::mutex> lock(stateMutex_);
        const auto clip = clips_.find(definition_.inputs().front().name);
        identityClip = clip == clips_.end() ? nullptr : clip->second;
        identityTime = args.time;
        HALDEN_LOG_DEBUG("Identity condition met");
        return true;
    }
    return false;
}

void GenericEffect::getClipPreferences(OFX::ClipPreferencesSetter& setter) {
    setter.setOutputFrameVarying(definition_.isFrameVarying());
}

void GenericEffect::render(const OFX::RenderArguments& args) {
    ensureParametersFetched();
    OFX::Clip* output = nullptr;
    {
        std::lock_guard<std::mutex> lock(stateMutex_);
        const auto found = clips_.find("output");
        output = found == clips_.end() ? nullptr : found->second;
    }
    if (output == nullptr) {
        HALDEN_LOG_ERROR("No output clip found");
        throw OFX::Exception(kOfxStatErrValue, "No output clip found");
    }
    if (output->getPixelDepth() != OFX::eBitDepthFloat ||
        output->getPixelComponents() != OFX::ePixelComponentRGBA) {
        HALDEN_LOG_ERROR("Unsupported pixel format");
        throw OFX::Exception(kOfxStatErrUnsupported, "Unsupported pixel format");
    }
    setupAndProcess(args);
}
