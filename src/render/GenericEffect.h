#pragma once

#include "definition/XMLEffectDefinition.h"
#include "describe/HostCapabilities.h"
#include "presets/PresetValue.h"
#include "render/BufferPool.h"
#include "render/FinalProcessing.h"
#include "render/KernelBlockPacking.h"
#include "render/PipelineBuffers.h"
#include "render/TextureCache.h"
#include "resources/BundledResourceSet.h"

#include "ofx/support/ImageEffect.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace OFX {
class Clip;
class Param;
class ChoiceParam;
class DoubleParam;
class Image;
} // namespace OFX

// The effect instance: its own parsed definition, its clips and parameters, and every GPU
// object made for it. Render runs the definition's pipeline through the kernels.
class GenericEffect : public OFX::ImageEffect {
public:
    GenericEffect(OfxImageEffectHandle handle, const std::string& definitionPath);
    ~GenericEffect() override;

    void render(const OFX::RenderArguments& args) override;
    bool isIdentity(const OFX::IsIdentityArguments& args, OFX::Clip*& identityClip,
                    double& identityTime) override;
    void getClipPreferences(OFX::ClipPreferencesSetter& setter) override;
    void changedParam(const OFX::InstanceChangedArgs& args, const std::string& paramName) override;

    void fetchParametersLazily();
    // Fetches the parameters when the map is still empty; true when it did.
    bool ensureParametersFetched();
    // A definition parameter's value at a time; the empty value (number 0) when unknown.
    PresetValue getParameterValue(const std::string& name, double time);
    // An execution count from a parameter: at least 1.
    int getDynamicExecutions(const std::string& name, double time);
    bool evaluateIdentityCondition(const IdentityCondition& condition, double time);
    // Empty text and "1" give 1, "param:<name>" reads a parameter, other text its leading
    // integer; never below 1.
    int resolveExecutions(const std::string& text, double time);

    const XMLEffectDefinition& definition() const { return definition_; }
    const HostCapabilities& hostCapabilities() const { return hostCapabilities_; }

private:
    struct Frame;
    struct InputView;

    void setupAndProcess(const OFX::RenderArguments& args);
    void prepareInputs(const OFX::RenderArguments& args, Frame& frame);
    // Makes or refreshes an input's texture from its image; throws when that fails.
    void uploadInput(const std::string& name, std::unique_ptr<OFX::Image> image,
                     const OFX::RenderArguments& args, Frame& frame, bool alwaysCreate);
    InputView frameView(const std::string& name, const OFX::Image& image, bool device,
                        const Frame& frame);
    // Throws kOfxStatErrUnsupported for an image the host calls device memory that the
    // runtime does not own; nothing reads or writes it.
    void requireOwnedDeviceMemory(const char* name, const void* pixels);
    void reportRenderFailure(const std::string& what);
    // A failed preset command: shown to the user through the host's message suite, and for
    // presetFailed also logged as an error.
    void tellUser(const std::string& text);
    void presetFailed(const std::string& text);
    void readParameterValues(double time, Frame& frame);
    void runPipeline(const OFX::RenderArguments& args, Frame& frame);
    void runSinglePipeline(const std::vector<KernelDef>& kernels, Frame& frame, void* target,
                           int targetRowBytes, const OFX::RenderArguments& args,
                           const render::ExecutionIndices& indices);
    void feedbackCopy(int process, Frame& frame, void* stream);
    void finalBlend(const OFX::RenderArguments& args, Frame& frame);
    // Device objects belong to the device current when they were made: a render on another
    // one (a host moving the instance between GPUs or contexts) releases them on their own
    // device, and the render makes them again on the new one.
    void followDevice(gpu::Runtime& runtime);
    void releaseDeviceObjects();
    // The host's stream when it gives one, else the plug-in's own, made on first use and
    // ordered after the legacy default stream.
    gpu::StreamHandle renderStream(const OFX::RenderArguments& args, gpu::Runtime& runtime);
    // Which process buffers a render at time reads back.
    render::ProcessBufferUse processBufferUse(double time);
    void accumulate(const OFX::RenderArguments& args, Frame& frame);
    double doubleParameter(const std::string& name, double time, double fallback);
    bool readVector(const std::string& name, const std::string& type, double time,
                    std::array<double, 4>& value, std::string& error);

    // Preset commands, run from changedParam; they log and never fail towards the host.
    void runPresetCommand(const std::string& name, OFX::InstanceChangeReason reason);
    // Create-instance time, where a host accepts option writes: rebuilds the dropdowns on hosts
    // that take new options, else adopts the options the host shows.
    void initialisePresetChoices();
    void adoptShownPresetChoices();
    // The preset behind a dropdown option as shown to the user; empty when there is none.
    std::string shownUserPreset(int index);
    std::string shownFactoryPreset(int index);
    // False, with the list refreshed, when the shown user preset's file is gone.
    bool shownPresetStillExists(const std::string& name);
    void refreshUserPresetList();
    void refreshFactoryPresetList();
    void loadFactoryPreset();
    void loadUserPreset();
    void savePreset();
    void deletePreset();
    void loadDefaults();
    void openDocumentation();
    PresetValues collectCurrentValues();
    // source names the values' file in error lines.
    void applyValues(const PresetValues& values, const std::string& source);
    OFX::ChoiceParam* choiceParameter(const std::string& name);
    // A copy of the parameter map, so host calls run without the state mutex.
    std::map<std::string, OFX::Param*> parameterSnapshot();
    void setChoice(const std::string& name, int index);
    std::string userPresetFolder() const;
    std::string factoryPresetFolder() const;

    XMLEffectDefinition definition_;
    std::string definitionPath_;
    HostCapabilities hostCapabilities_;
    std::map<std::string, OFX::Param*> parameters_;
    std::map<std::string, OFX::Clip*> clips_;
    OFX::DoubleParam* transitionParam_ = nullptr;
    std::mutex stateMutex_;

    render::TextureCache textures_;
    resources::BundledResourceSet bundled_;
    render::ProcessBuffers processBuffers_;
    render::AccumulationBuffers accumulation_;
    render::FinalBlend finalBlend_;
    render::BufferPool pool_;
    render::RenderBufferManager* currentManager_ = nullptr;
    // The device the objects above were made on; -1 before the first render.
    int device_ = -1;
    // The plug-in's own stream on that device; 0 until a render without the host's needs it.
    gpu::StreamHandle ownStream_ = 0;
    // Host copies of inputs that do not cover the frame as the textures need it, per input,
    // kept so each frame refills rather than reallocates them. Renders of one instance never
    // overlap (instance-safe rendering), so they need no lock.
    std::map<std::string, std::vector<float>> staged_;
    std::vector<float> stagingScratch_;
    bool failureShown_ = false;

    // The names behind the dropdowns' options, exactly as the host shows them (user options
    // from 2, factory options from 1), so a selection always means what the user saw. Guarded
    // by stateMutex_.
    struct PresetChoices {
        std::vector<std::string> user;
        std::vector<std::string> factory;
    };
    PresetChoices presetChoices_;
    bool firstRenderDumpDone_ = false;
};
