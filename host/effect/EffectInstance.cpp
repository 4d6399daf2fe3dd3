#include "host/effect/EffectInstance.h"

#include "host/core/ActionScope.h"
#include "host/core/HostError.h"
#include "host/interact/OverlayInteract.h"
#include "host/plugin/Host.h"
#include "host/plugin/Plugin.h"

#include "ofx/ofxGPURender.h"
#include "ofx/ofxInteract.h"

#include <algorithm>
#include <cstring>

namespace ofxhost {

namespace {

// A plug-in that keeps editing parameters in reaction to its own edits would loop forever.
constexpr int kMaxNotificationRounds = 64;
// The same, for notifications nested inside the action that made the edit (strict hosts).
constexpr int kMaxNestedNotifications = 16;
thread_local int gNestedNotifications = 0;

// The actions OFX lets a plug-in change parameters in: instance creation, instance-changed
// (with its brackets), an interact's pen, key and focus actions (not draw) and syncing.
bool writesAllowedIn(const char* action) {
    static const char* const kAllowed[] = {
        kOfxActionCreateInstance,     kOfxActionBeginInstanceChanged, kOfxActionInstanceChanged,
        kOfxActionEndInstanceChanged, kOfxActionSyncPrivateData,      kOfxInteractActionPenDown,
        kOfxInteractActionPenMotion,  kOfxInteractActionPenUp,        kOfxInteractActionKeyDown,
        kOfxInteractActionKeyUp,      kOfxInteractActionKeyRepeat,    kOfxInteractActionGainFocus,
        kOfxInteractActionLoseFocus};
    if (action == nullptr) {
        return false;
    }
    for (const char* allowed : kAllowed) {
        if (std::strcmp(action, allowed) == 0) {
            return true;
        }
    }
    return false;
}

PropertySet instanceProperties(ImageEffect& contextDescriptor, const std::string& context,
                               void* describeHandle, const ProjectSettings& project) {
    PropertySet set(contextDescriptor.properties());
    set.setString(kOfxPropType, kOfxTypeImageEffectInstance);
    set.addString(kOfxImageEffectPropContext, {context}, 1, true);
    set.addPointer(kOfxPropInstanceData, {nullptr});
    set.addPointer(kOfxImageEffectPropPluginHandle, {describeHandle}, 1, true);
    set.addDouble(kOfxImageEffectPropProjectSize, {project.size[0], project.size[1]}, 2, true);
    set.addDouble(kOfxImageEffectPropProjectOffset, {project.offset[0], project.offset[1]}, 2,
                  true);
    set.addDouble(kOfxImageEffectPropProjectExtent, {project.extent[0], project.extent[1]}, 2,
                  true);
    set.addDouble(kOfxImageEffectPropProjectPixelAspectRatio, {project.pixelAspectRatio}, 1, true);
    set.addDouble(kOfxImageEffectInstancePropEffectDuration,
                  {project.lastFrame - project.firstFrame + 1.0}, 1, true);
    set.addDouble(kOfxImageEffectPropFrameRate, {project.frameRate}, 1, true);
    set.addInt(kOfxPropIsInteractive, {0}, 1, true);
    set.addInt(kOfxPropParamSetNeedsSyncing, {0});
    return set;
}

void addRect(PropertySet& set, const char* name, const OfxRectD& rect) {
    set.addDouble(name, {rect.x1, rect.y1, rect.x2, rect.y2});
}

} // namespace

EffectInstance::EffectInstance(Plugin& plugin, ImageEffect& contextDescriptor,
                               const std::string& context, const ProjectSettings& project)
    : ImageEffect(
          plugin.host(), EffectRole::Instance,
          instanceProperties(contextDescriptor, context, plugin.descriptor().handle(), project)),
      plugin_(plugin), context_(context), project_(project) {
    params().instantiateFrom(contextDescriptor.params());
    for (const auto& descriptor : contextDescriptor.clips()) {
        mutableClips().push_back(std::make_unique<Clip>(*this, *descriptor));
    }
    for (auto& clip : mutableClips()) {
        clip->properties().setDoubles(kOfxImageEffectPropFrameRange,
                                      {project.firstFrame, project.lastFrame});
        clip->properties().setDoubles(kOfxImageEffectPropUnmappedFrameRange,
                                      {project.firstFrame, project.lastFrame});
        clip->properties().setDouble(kOfxImageEffectPropFrameRate, project.frameRate);
        clip->properties().setDouble(kOfxImageEffectPropUnmappedFrameRate, project.frameRate);
    }
    for (const auto& each : params().params()) {
        Param* param = each.get();
        param->properties().onPluginWrite(
            [this, param](const std::string& name) { pluginChangedProperty(*param, name); });
    }
    time_ = project.firstFrame;
}

EffectInstance::~EffectInstance() {
    destroyOverlays();
}

Clip& EffectInstance::clip(const std::string& name) {
    Clip* found = findClip(name);
    if (found == nullptr) {
        throw HostError(kOfxStatErrUnknown, "no clip named " + name);
    }
    return *found;
}

Param& EffectInstance::param(const std::string& name) {
    return params().get(name);
}

void EffectInstance::setClipImage(const std::string& name, std::shared_ptr<ImageSource> image) {
    clip(name).setImage(std::move(image));
    std::lock_guard<std::mutex> lock(mutex_);
    ++imageGeneration_;
}

ParamValue EffectInstance::value(const std::string& name) const {
    return valueAt(name, time_);
}

ParamValue EffectInstance::valueAt(const std::string& name, OfxTime time) const {
    return const_cast<EffectInstance*>(this)->param(name).valueAt(time);
}

OfxStatus EffectInstance::setValue(const std::string& name, ParamValue value) {
    Param& target = param(name);
    target.setValue(value, time_);
    host().recorder().addValueChange({name, std::nullopt, target.valueAt(time_), false});
    return sendChange(name, kOfxChangeUserEdited, time_);
}

OfxStatus EffectInstance::setValueAtTime(const std::string& name, OfxTime time, ParamValue value) {
    Param& target = param(name);
    target.setValueAtTime(time, value);
    host().recorder().addValueChange({name, time, target.valueAt(time), false});
    return sendChange(name, kOfxChangeUserEdited, time);
}

OfxStatus EffectInstance::pressButton(const std::string& name) {
    param(name);
    return sendChange(name, kOfxChangeUserEdited, time_);
}

OfxStatus EffectInstance::sendChange(const std::string& name, const char* reason, OfxTime time) {
    PropertySet bracket;
    bracket.addString(kOfxPropChangeReason, {reason});
    bracket.makeHostOnly();
    PropertySet in;
    in.addString(kOfxPropType, {kOfxTypeParameter});
    in.addString(kOfxPropName, {name});
    in.addString(kOfxPropChangeReason, {reason});
    in.addDouble(kOfxPropTime, {time});
    in.addDouble(kOfxImageEffectPropRenderScale, {1.0, 1.0});
    in.makeHostOnly();

    // Recorded in the order sent (a strict host nests the plug-in's own edits inside).
    InstanceChangeRecord record;
    record.type = kOfxTypeParameter;
    record.name = name;
    record.reason = reason;
    record.time = time;
    const size_t recorded = host().recorder().addInstanceChange(record);

    // One bracket: edits the plug-in makes inside it are notified after its end (nested inside
    // it on a strict host).
    beginAction();
    callAction(kOfxActionBeginInstanceChanged, &bracket, nullptr);
    const OfxStatus status = callAction(kOfxActionInstanceChanged, &in, nullptr);
    callAction(kOfxActionEndInstanceChanged, &bracket, nullptr);
    host().recorder().setInstanceChangeStatus(recorded, status);
    endAction();
    return status;
}

void EffectInstance::pluginChangedValue(Param& param, std::optional<OfxTime> time,
                                        const ParamValue& value, const char* what) {
    host().recorder().addValueChange({param.name(), time, value, true});
    if (host().strict()) {
        strictEdit(param, time, "parameter '" + param.name() + "' " + what);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        pendingChanges_.emplace_back(param.name(), time.value_or(time_.load()));
    }
    if (actionDepth_ == 0) {
        deliverPendingChanges();
    }
}

void EffectInstance::pluginChangedProperty(Param& param, const std::string& property) {
    // The plug-in's private pointer is no edit.
    if (host().strict() && property != kOfxParamPropDataPtr) {
        strictEdit(param, std::nullopt,
                   "property " + property + " of parameter '" + param.name() + "' written");
    }
}

void EffectInstance::pluginChangedCurve(Param& param) {
    if (host().strict()) {
        strictEdit(param, std::nullopt, "curve of parameter '" + param.name() + "' changed");
    }
}

void EffectInstance::strictEdit(Param& param, std::optional<OfxTime> time,
                                const std::string& description) {
    if (!writesAllowedIn(ActionScope::current())) {
        host().addViolation(description);
    }
    if (gNestedNotifications >= kMaxNestedNotifications) {
        host().addViolation(description + " while notifying " +
                            std::to_string(kMaxNestedNotifications) +
                            " nested edits; not notified");
        return;
    }
    ++gNestedNotifications;
    try {
        sendChange(param.name(), kOfxChangePluginEdited, time.value_or(time_.load()));
    } catch (...) {
        --gNestedNotifications;
        throw;
    }
    --gNestedNotifications;
}

void EffectInstance::deliverPendingChanges() {
    // Plug-in edits are notified after the action that made them returns; edits made while
    // notifying are picked up by the next round instead of recursing.
    bool expected = false;
    if (!delivering_.compare_exchange_strong(expected, true)) {
        return;
    }
    for (int round = 0; round < kMaxNotificationRounds; ++round) {
        std::vector<std::pair<std::string, OfxTime>> pending;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            pending.swap(pendingChanges_);
        }
        if (pending.empty()) {
            break;
        }
        for (const auto& change : pending) {
            sendChange(change.first, kOfxChangePluginEdited, change.second);
        }
    }
    {
        // Whatever is left after the last round belongs to a loop: drop it.
        std::lock_guard<std::mutex> lock(mutex_);
        pendingChanges_.clear();
    }
    delivering_ = false;
}

OfxStatus EffectInstance::callAction(const char* action, PropertySet* inArgs,
                                     PropertySet* outArgs) {
    return runAction(action, [&] {
        return plugin_.callEntry(action, handle(), inArgs ? inArgs->handle() : nullptr,
                                 outArgs ? outArgs->handle() : nullptr);
    });
}

OfxStatus EffectInstance::runAction(const char* action, const std::function<OfxStatus()>& call) {
    beginAction();
    const int openEdits = params().editDepth();
    OfxStatus status = kOfxStatErrFatal;
    {
        ActionScope scope(action);
        status = call();
    }
    if (host().strict()) {
        // A drag's edit block may span its interaction, from the pen down to the pen up or
        // lost focus that ends it; any other action balances its own blocks. The host closes
        // what is left open, so the next action starts balanced.
        const bool interact = std::strncmp(action, "OfxInteractAction", 17) == 0 ||
                              std::strcmp(action, kOfxActionDestroyInstanceInteract) == 0;
        int floor = openEdits;
        if (interact) {
            int none = -1;
            interactionEdits_.compare_exchange_strong(none, openEdits);
            floor = interactionEdits_;
        }
        const bool ends = !interact || std::strcmp(action, kOfxInteractActionPenUp) == 0 ||
                          std::strcmp(action, kOfxInteractActionLoseFocus) == 0 ||
                          std::strcmp(action, kOfxActionDestroyInstanceInteract) == 0;
        if (ends) {
            for (const auto& name : params().closeEditsAbove(floor)) {
                host().addViolation("edit block '" + name + "' left open", action);
            }
            if (interact) {
                interactionEdits_ = -1;
            }
        }
        if (params().editDepth() < floor) {
            host().addViolation("ended an edit block begun before the action", action);
        }
    }
    endAction();
    return status;
}

void EffectInstance::endAction() {
    if (--actionDepth_ == 0) {
        deliverPendingChanges();
    }
}

OverlayInteract& EffectInstance::createOverlay(const InteractSettings& settings) {
    overlays_.push_back(std::make_unique<OverlayInteract>(*this, settings));
    return *overlays_.back();
}

void EffectInstance::destroyOverlay(OverlayInteract& overlay) {
    overlays_.erase(std::remove_if(overlays_.begin(), overlays_.end(),
                                   [&](const auto& held) { return held.get() == &overlay; }),
                    overlays_.end());
}

void EffectInstance::destroyOverlays() {
    overlays_.clear();
}

void EffectInstance::addRenderArgs(PropertySet& in, const RenderArgs& args) const {
    in.addDouble(kOfxPropTime, {args.time});
    in.addString(kOfxImageEffectPropFieldToRender, {args.field});
    in.addInt(kOfxImageEffectPropRenderWindow,
              {args.window.x1, args.window.y1, args.window.x2, args.window.y2});
    in.addDouble(kOfxImageEffectPropRenderScale, {args.renderScale[0], args.renderScale[1]});
}

OfxStatus EffectInstance::render(const RenderArgs& args) {
    PropertySet in;
    addRenderArgs(in, args);
    in.addInt(kOfxImageEffectPropSequentialRenderStatus, {args.sequential ? 1 : 0});
    in.addInt(kOfxImageEffectPropInteractiveRenderStatus, {args.interactive ? 1 : 0});
    in.addInt(kOfxImageEffectPropRenderQualityDraft, {args.draft ? 1 : 0});
    in.addString(kOfxImageEffectPropNoSpatialAwareness, {"false"});
    if (args.cudaEnabled && host().profile().gpuRenderProperties) {
        in.addInt(kOfxImageEffectPropCudaEnabled, {1});
        const bool streams =
            host().profile().cudaStream &&
            properties().has(kOfxImageEffectPropCudaStreamSupported) &&
            properties().getString(kOfxImageEffectPropCudaStreamSupported) == "true";
        if (streams && args.cudaStream != nullptr) {
            in.addPointer(kOfxImageEffectPropCudaStream, {args.cudaStream});
        }
    }
    in.makeHostOnly();
    // Strict hosts honour the declared thread safety; instances still render side by side.
    std::unique_lock<std::mutex> serial;
    if (host().strict()) {
        const std::string safety = properties().getString(kOfxImageEffectPluginRenderThreadSafety);
        if (safety == kOfxImageEffectRenderUnsafe) {
            serial = std::unique_lock<std::mutex>(plugin_.renderMutex());
        } else if (safety != kOfxImageEffectRenderFullySafe) {
            serial = std::unique_lock<std::mutex>(renderMutex_);
        }
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        renderScale_[0] = args.renderScale[0];
        renderScale_[1] = args.renderScale[1];
        field_ = args.field;
    }
    return callAction(kOfxImageEffectActionRender, &in, nullptr);
}

IdentityResult EffectInstance::isIdentity(const RenderArgs& args) {
    PropertySet in;
    addRenderArgs(in, args);
    in.makeHostOnly();
    PropertySet out;
    out.addString(kOfxPropName, {""});
    out.addDouble(kOfxPropTime, {args.time});
    IdentityResult result;
    result.status = callAction(kOfxImageEffectActionIsIdentity, &in, &out);
    result.clip = out.getString(kOfxPropName);
    result.time = out.getDouble(kOfxPropTime);
    result.identity = result.status == kOfxStatOK && !result.clip.empty();
    return result;
}

OfxStatus EffectInstance::beginSequenceRender(OfxTime first, OfxTime last, const RenderArgs& args) {
    PropertySet in;
    in.addDouble(kOfxImageEffectPropFrameRange, {first, last});
    in.addDouble(kOfxImageEffectPropFrameStep, {1.0});
    in.addInt(kOfxPropIsInteractive, {args.interactive ? 1 : 0});
    in.addDouble(kOfxImageEffectPropRenderScale, {args.renderScale[0], args.renderScale[1]});
    in.addInt(kOfxImageEffectPropSequentialRenderStatus, {args.sequential ? 1 : 0});
    in.addInt(kOfxImageEffectPropInteractiveRenderStatus, {args.interactive ? 1 : 0});
    in.makeHostOnly();
    return callAction(kOfxImageEffectActionBeginSequenceRender, &in, nullptr);
}

OfxStatus EffectInstance::endSequenceRender(OfxTime first, OfxTime last, const RenderArgs& args) {
    PropertySet in;
    in.addDouble(kOfxImageEffectPropFrameRange, {first, last});
    in.addDouble(kOfxImageEffectPropFrameStep, {1.0});
    in.addInt(kOfxPropIsInteractive, {args.interactive ? 1 : 0});
    in.addDouble(kOfxImageEffectPropRenderScale, {args.renderScale[0], args.renderScale[1]});
    in.addInt(kOfxImageEffectPropSequentialRenderStatus, {args.sequential ? 1 : 0});
    in.addInt(kOfxImageEffectPropInteractiveRenderStatus, {args.interactive ? 1 : 0});
    in.makeHostOnly();
    return callAction(kOfxImageEffectActionEndSequenceRender, &in, nullptr);
}

OfxStatus EffectInstance::regionOfDefinition(OfxTime time, const double renderScale[2],
                                             OfxRectD& region) {
    // Default: the union of the connected mandatory inputs, else the project.
    bool found = false;
    OfxRectD fallback{project_.offset[0], project_.offset[1], project_.offset[0] + project_.size[0],
                      project_.offset[1] + project_.size[1]};
    OfxRectD unionRect = fallback;
    for (const auto& input : clips()) {
        if (input->isOutput() || !input->image() ||
            input->properties().getInt(kOfxImageClipPropOptional) != 0) {
            continue;
        }
        const OfxRectD rod = input->regionOfDefinition(renderScale);
        unionRect = found ? OfxRectD{std::min(unionRect.x1, rod.x1), std::min(unionRect.y1, rod.y1),
                                     std::max(unionRect.x2, rod.x2), std::max(unionRect.y2, rod.y2)}
                          : rod;
        found = true;
    }
    PropertySet in;
    in.addDouble(kOfxPropTime, {time});
    in.addDouble(kOfxImageEffectPropRenderScale, {renderScale[0], renderScale[1]});
    in.makeHostOnly();
    PropertySet out;
    addRect(out, kOfxImageEffectPropRegionOfDefinition, unionRect);
    const OfxStatus status = callAction(kOfxImageEffectActionGetRegionOfDefinition, &in, &out);
    const auto values = out.getDoubles(kOfxImageEffectPropRegionOfDefinition);
    region =
        status == kOfxStatOK ? OfxRectD{values[0], values[1], values[2], values[3]} : unionRect;
    return status;
}

OfxStatus EffectInstance::clipPreferences() {
    PropertySet out;
    for (const auto& each : clips()) {
        if (!each->isOutput() && each->properties().getInt(kOfxImageClipPropConnected) == 0) {
            continue;
        }
        const std::string& name = each->name();
        out.addString("OfxImageClipPropComponents_" + name,
                      {each->properties().getString(kOfxImageEffectPropComponents)});
        out.addString("OfxImageClipPropDepth_" + name,
                      {each->properties().getString(kOfxImageEffectPropPixelDepth)});
        out.addDouble("OfxImageClipPropPAR_" + name,
                      {each->properties().getDouble(kOfxImagePropPixelAspectRatio)});
    }
    out.addDouble(kOfxImageEffectPropFrameRate, {project_.frameRate});
    out.addString(kOfxImageClipPropFieldOrder, {kOfxImageFieldNone});
    out.addString(kOfxImageEffectPropPreMultiplication, {kOfxImagePreMultiplied});
    out.addInt(kOfxImageClipPropContinuousSamples, {0});
    out.addInt(kOfxImageEffectFrameVarying, {0});
    const OfxStatus status = callAction(kOfxImageEffectActionGetClipPreferences, nullptr, &out);
    if (status != kOfxStatOK) {
        return status;
    }
    for (const auto& each : clips()) {
        const std::string& name = each->name();
        if (!out.has("OfxImageClipPropComponents_" + name)) {
            continue;
        }
        PropertySet& props = each->properties();
        props.setString(kOfxImageEffectPropComponents,
                        out.getString("OfxImageClipPropComponents_" + name));
        props.setString(kOfxImageEffectPropPixelDepth,
                        out.getString("OfxImageClipPropDepth_" + name));
        props.setDouble(kOfxImagePropPixelAspectRatio,
                        out.getDouble("OfxImageClipPropPAR_" + name));
        if (each->isOutput()) {
            props.setString(kOfxImageEffectPropPreMultiplication,
                            out.getString(kOfxImageEffectPropPreMultiplication));
        }
    }
    return status;
}

ClipImage::Context EffectInstance::imageContext(const Clip& source, OfxTime time) const {
    std::lock_guard<std::mutex> lock(mutex_);
    ClipImage::Context context;
    context.time = time;
    context.renderScale[0] = renderScale_[0];
    context.renderScale[1] = renderScale_[1];
    context.field = field_;
    context.uniqueIdentifier =
        source.name() + "@" + std::to_string(time) + "#" + std::to_string(imageGeneration_);
    return context;
}

size_t EffectInstance::outstandingImages() const {
    size_t count = 0;
    for (const auto& each : clips()) {
        count += each->outstandingImages();
    }
    return count;
}

void EffectInstance::setPersistentMessage(std::optional<MessageRecord> message) {
    std::lock_guard<std::mutex> lock(mutex_);
    persistentMessage_ = std::move(message);
}

std::optional<MessageRecord> EffectInstance::persistentMessage() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return persistentMessage_;
}

} // namespace ofxhost
