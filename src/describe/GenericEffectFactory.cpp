#include "describe/GenericEffectFactory.h"

#include "definition/EffectDefinitionRegistry.h"
#include "definition/EmbeddedDefinition.h"
#include "describe/FrameworkParameters.h"
#include "describe/OverlayRegistration.h"
#include "describe/XMLInputManager.h"
#include "gpu/Runtime.h"
#include "kernels/RowThreadPool.h"
#include "log/Logger.h"
#include "render/GenericEffect.h"

#include "ofx/support/Exception.h"
#include "ofx/support/ImageEffectDescriptor.h"

#include <chrono>
#include <exception>
#include <functional>
#include <stdexcept>

namespace {

bool setOptional(const char* what, const std::function<void()>& set) {
    // Properties newer than the host's OFX version are unknown to it; describe goes on.
    try {
        set();
        return true;
    } catch (const std::exception& e) {
        HALDEN_LOG_INFO("Host does not support %s (skipped): %s", what, e.what());
    } catch (...) {
        HALDEN_LOG_INFO("Host does not support %s (skipped)", what);
    }
    return false;
}

} // namespace

std::string GenericEffectFactory::identifierFromPath(const std::string& definitionPath) {
    const std::string::size_type slash = definitionPath.find_last_of("/\\");
    std::string stem =
        slash == std::string::npos ? definitionPath : definitionPath.substr(slash + 1);
    const std::string::size_type dot = stem.rfind('.');
    if (dot != std::string::npos) {
        stem.erase(dot);
    }
    return "com.effectkit." + stem;
}

GenericEffectFactory::GenericEffectFactory(const std::string& definitionPath)
    : OFX::PluginFactoryHelper<GenericEffectFactory>(identifierFromPath(definitionPath), 1, 0),
      definitionPath_(definitionPath) {
    HALDEN_LOG_DEBUG("GenericEffectFactory::constructor started");
    if (!definition_.parseEmbedded(embeddedEffectDefinition())) {
        throw std::runtime_error("Failed to parse embedded XML");
    }
    HALDEN_LOG_INFO("Loaded XML from embedded binary (release build)");
    const std::string& level = definition_.debugLevel();
    if (!level.empty() && level != "none") {
        Logger::instance().setLevelFromString(level);
        HALDEN_LOG_INFO("Debug level set from XML: %s", level.c_str());
    }
    pluginIdentifier_ = identifierFromPath(definitionPath);
    EffectDefinitionRegistry::instance().registerDefinition(definition_.name(), &definition_);
    HALDEN_LOG_DEBUG("Registered XML definition for '%s' with EffectDefinitionRegistry",
                     definition_.name().c_str());
    HALDEN_LOG_DEBUG("GenericEffectFactory::constructor finishing");
}

void GenericEffectFactory::unload() {
    // The host may free the library next: no worker thread may stay in its code.
    kernels::RowThreadPool::shared().shutdown();
    Logger::instance().flush();
}

void GenericEffectFactory::describe(OFX::ImageEffectDescriptor& desc) {
    try {
        HALDEN_LOG_DEBUG("🔵 GenericEffectFactory::describe called for '%s'",
                         definition_.name().c_str());
        HALDEN_LOG_DEBUG("  Plugin identifier: %s", pluginIdentifier_.c_str());
        HALDEN_LOG_DEBUG("  Effect name from XML: %s", definition_.name().c_str());
        Logger::instance().flush();

        hostCapabilities_ = HostCapabilities::detect();
        setupBasicProperties(desc);
        HALDEN_LOG_DEBUG("setupBasicProperties completed");
        Logger::instance().flush();

        HALDEN_LOG_DEBUG("Setting plugin description: '%s'", definition_.description().c_str());
        desc.setPluginDescription(definition_.description());
        HALDEN_LOG_DEBUG("Setting plugin grouping: '%s'", definition_.category().c_str());
        desc.setPluginGrouping(definition_.category());
        HALDEN_LOG_DEBUG("Setting plugin label: '%s'", definition_.name().c_str());
        desc.setLabel(definition_.name());

        setupGPUSupport(desc);
        HALDEN_LOG_INFO("Host '%s' reportsCudaSupport: %s", hostCapabilities_.hostName.c_str(),
                        hostCapabilities_.cudaReported ? "true" : "false");
        if (hostCapabilities_.cudaReported) {
            warmUpCuda();
        } else {
            HALDEN_LOG_DEBUG("Skipping CUDA warm-up (host does not support CUDA rendering)");
        }
        describeOverlays(desc);
        HALDEN_LOG_INFO("GenericEffectFactory::describe completed successfully");
        Logger::instance().flush();
    } catch (const std::exception& e) {
        HALDEN_LOG_ERROR("EXCEPTION in describe(): %s", e.what());
        Logger::instance().flush();
        throw;
    } catch (...) {
        HALDEN_LOG_ERROR("UNKNOWN EXCEPTION in describe()");
        Logger::instance().flush();
        throw;
    }
}

void GenericEffectFactory::setupBasicProperties(OFX::ImageEffectDescriptor& desc) {
    HALDEN_LOG_DEBUG("setupBasicProperties: Starting");
    if (definition_.isTransition()) {
        HALDEN_LOG_DEBUG("setupBasicProperties: Adding TRANSITION context");
        desc.addSupportedContext(OFX::eContextTransition);
        HALDEN_LOG_INFO("Registered as TRANSITION context only");
    } else {
        HALDEN_LOG_DEBUG("setupBasicProperties: Adding FILTER context");
        desc.addSupportedContext(OFX::eContextFilter);
        HALDEN_LOG_DEBUG("setupBasicProperties: Adding GENERAL context");
        desc.addSupportedContext(OFX::eContextGeneral);
        HALDEN_LOG_INFO("Registered as FILTER context");
    }
    HALDEN_LOG_DEBUG("setupBasicProperties: Adding bit depth Float");
    desc.addSupportedBitDepth(OFX::eBitDepthFloat);
    HALDEN_LOG_DEBUG("setupBasicProperties: Setting basic flags");
    HALDEN_LOG_DEBUG("  setSingleInstance");
    desc.setSingleInstance(false);
    HALDEN_LOG_DEBUG("  setHostFrameThreading");
    desc.setHostFrameThreading(false);
    HALDEN_LOG_DEBUG("  setSupportsMultiResolution");
    desc.setSupportsMultiResolution(false);
    HALDEN_LOG_DEBUG("  setSupportsTiles");
    desc.setSupportsTiles(false);
    HALDEN_LOG_DEBUG("  setTemporalClipAccess");
    desc.setTemporalClipAccess(false);
    HALDEN_LOG_DEBUG("  setRenderTwiceAlways");
    desc.setRenderTwiceAlways(false);
    HALDEN_LOG_DEBUG("  setSupportsMultipleClipPARs");
    desc.setSupportsMultipleClipPARs(false);
    // One instance renders one frame at a time (its buffers and caches are its own); several
    // instances may render at once. Declared, not left to the host's default.
    HALDEN_LOG_DEBUG("  setRenderThreadSafety");
    desc.setRenderThreadSafety(OFX::eRenderInstanceSafe);
    HALDEN_LOG_DEBUG("  setNoSpatialAwareness");
    try {
        desc.setNoSpatialAwareness(false);
    } catch (...) {
        HALDEN_LOG_DEBUG("  setNoSpatialAwareness not supported by host (skipped)");
    }
    HALDEN_LOG_DEBUG("setupBasicProperties: Completed");
}

void GenericEffectFactory::setupGPUSupport(OFX::ImageEffectDescriptor& desc) {
    HALDEN_LOG_DEBUG("setupGPUSupport: Starting GPU detection");
    bool hasCuda = false;
    bool hasOpenCL = false;
    bool hasMetal = false;
    for (const ProcessDef& process : definition_.processes()) {
        for (const KernelDef& kernel : process.kernels) {
            hasCuda = hasCuda || kernel.platform == "cuda";
            hasOpenCL = hasOpenCL || kernel.platform == "opencl";
            hasMetal = hasMetal || kernel.platform == "metal";
        }
    }
    HALDEN_LOG_DEBUG("setupGPUSupport: hasCuda=%s, hasOpenCL=%s, hasMetal=%s",
                     hasCuda ? "true" : "false", hasOpenCL ? "true" : "false",
                     hasMetal ? "true" : "false");
    if (hasOpenCL &&
        setOptional("OpenCL render", [&desc] { desc.setOpenCLRenderSupported(true); })) {
        HALDEN_LOG_DEBUG("setupGPUSupport: OpenCL support enabled");
    }
    // A CUDA host hands device memory to a plug-in that says it renders with CUDA; the CPU
    // backend cannot use it, so only the CUDA runtime may say so.
    if (hasCuda && std::string(gpu::runtime().name()) != "cuda") {
        HALDEN_LOG_INFO("setupGPUSupport: CUDA rendering not offered - the %s backend is active",
                        gpu::runtime().name());
    } else if (hasCuda &&
               setOptional("CUDA render", [&desc] { desc.setCudaRenderSupported(true); }) &&
               setOptional("CUDA stream", [&desc] { desc.setCudaStreamSupported(true); })) {
        HALDEN_LOG_DEBUG("setupGPUSupport: CUDA support enabled with stream support");
    }
}

void GenericEffectFactory::warmUpCuda() {
    HALDEN_LOG_DEBUG("Initializing CUDA context (warm-up)...");
    const auto start = std::chrono::steady_clock::now();
    // Creating the context here keeps the first render from paying for it. Results are
    // deliberately ignored: a machine without a device renders on the CPU backend.
    gpu::Runtime& runtime = gpu::runtime();
    runtime.free(nullptr);
    runtime.getLastError();
    runtime.deviceSynchronize();
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::steady_clock::now() - start)
                             .count();
    HALDEN_LOG_DEBUG("CUDA context warm-up complete in %lld ms", static_cast<long long>(elapsed));
}

void GenericEffectFactory::describeOverlays(OFX::ImageEffectDescriptor& desc) {
    const bool hasXmlOverlays = !definition_.overlays().empty();
    bool hasCenterParam = false;
    if (!hasXmlOverlays) {
        for (const ParameterDef& param : definition_.parameters()) {
            hasCenterParam = hasCenterParam || (param.name == "center" && param.type == "vec2");
        }
    }
    HALDEN_LOG_INFO("GenericEffectFactory::describe for '%s': hasXmlOverlays=%d, "
                    "hasCenterParam=%d, supportsOverlays=%d",
                    definition_.name().c_str(), hasXmlOverlays, hasCenterParam,
                    hostCapabilities_.supportsOverlays);
    if (!hostCapabilities_.supportsOverlays) {
        return;
    }
    if (hasXmlOverlays) {
        if (registerXmlOverlayInteract(desc, definition_)) {
            HALDEN_LOG_INFO("XML overlay interact registered for effect '%s' with %zu overlays",
                            definition_.name().c_str(), definition_.overlays().size());
        }
    } else if (hasCenterParam) {
        if (registerLegacyOverlayInteract(desc, definition_)) {
            HALDEN_LOG_INFO("Legacy overlay interact registered for effect '%s'",
                            definition_.name().c_str());
        }
    }
}

void GenericEffectFactory::describeInContext(OFX::ImageEffectDescriptor& desc,
                                             OFX::ContextEnum context) {
    try {
        HALDEN_LOG_DEBUG("GenericEffectFactory::describeInContext called, context=%d",
                         static_cast<int>(context));
        if (context == OFX::eContextTransition) {
            XMLInputManager::defineTransitionClips(desc);
        } else {
            XMLInputManager inputs;
            if (inputs.createInputs(definition_, desc)) {
                HALDEN_LOG_INFO("XML clips created successfully!");
            } else {
                HALDEN_LOG_DEBUG("XML clips failed, falling back to manual clips");
                XMLInputManager::defineFallbackClips(desc);
                HALDEN_LOG_DEBUG("Fallback manual clips created");
            }
        }
        framework::describeParameters(definition_, hostCapabilities_, definitionPath_, desc);
    } catch (const std::exception& e) {
        HALDEN_LOG_DEBUG("✗ GenericEffectFactory::describeInContext failed: %s", e.what());
        throw;
    }
}

OFX::ImageEffect* GenericEffectFactory::createInstance(OfxImageEffectHandle handle,
                                                       OFX::ContextEnum /*context*/) {
    HALDEN_LOG_DEBUG("GenericEffectFactory::createInstance called");
    HALDEN_LOG_DEBUG("  Factory XML file: %s", definitionPath_.c_str());
    return new GenericEffect(handle, definitionPath_);
}
