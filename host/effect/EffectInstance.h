#pragma once

#include "host/effect/ImageEffect.h"
#include "host/effect/ImageSource.h"
#include "host/effect/ProjectSettings.h"
#include "host/effect/RenderArgs.h"
#include "host/params/ParamValue.h"
#include "host/record/Records.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ofxhost {

class OverlayInteract;
class Plugin;
struct InteractSettings;

// An effect instance created in one context: clips to attach images to, parameters to edit,
// and the actions a host sends. Parameter edits reach the plug-in as instance-changed
// notifications, as in an interactive host.
class EffectInstance : public ImageEffect {
public:
    EffectInstance(Plugin& plugin, ImageEffect& contextDescriptor, const std::string& context,
                   const ProjectSettings& project);
    ~EffectInstance() override;

    EffectInstance* asInstance() override { return this; }
    Plugin& plugin() { return plugin_; }
    const std::string& context() const { return context_; }
    const ProjectSettings& project() const { return project_; }

    // Throw HostError for unknown names.
    Clip& clip(const std::string& name);
    Param& param(const std::string& name);
    void setClipImage(const std::string& clip, std::shared_ptr<ImageSource> image);

    ParamValue value(const std::string& name) const;
    ParamValue valueAt(const std::string& name, OfxTime time) const;
    // User edits: change the value, then Begin/InstanceChanged/End with kOfxChangeUserEdited.
    // Return the status of kOfxActionInstanceChanged.
    OfxStatus setValue(const std::string& name, ParamValue value);
    OfxStatus setValueAtTime(const std::string& name, OfxTime time, ParamValue value);
    OfxStatus pressButton(const std::string& name);

    OfxStatus render(const RenderArgs& args);
    IdentityResult isIdentity(const RenderArgs& args);
    OfxStatus beginSequenceRender(OfxTime first, OfxTime last, const RenderArgs& args);
    OfxStatus endSequenceRender(OfxTime first, OfxTime last, const RenderArgs& args);
    // Canonical coordinates; the host's default when the plug-in replies default.
    OfxStatus regionOfDefinition(OfxTime time, const double renderScale[2], OfxRectD& region);
    // Asks the plug-in for its clip preferences and applies them to the clips.
    OfxStatus clipPreferences();
    // Any action on this instance; plug-in edits made during it are notified after it (at once
    // on a strict host).
    OfxStatus callAction(const char* action, PropertySet* inArgs, PropertySet* outArgs);
    // Runs call, a call into the plug-in made on the instance's behalf (its own actions, its
    // overlay's), as action: edits are notified after it, and a strict host checks that its
    // edit blocks balance.
    OfxStatus runAction(const char* action, const std::function<OfxStatus()>& call);

    // The timeline's current time ("now" for value edits without a time).
    OfxTime time() const { return time_; }
    void setTime(OfxTime time) { time_ = time; }
    void requestAbort(bool abort) { abort_ = abort; }
    bool abortRequested() const { return abort_; }

    // The overlay lives as long as the instance (or until destroyOverlay).
    OverlayInteract& createOverlay(const InteractSettings& settings);
    void destroyOverlay(OverlayInteract& overlay);
    void destroyOverlays();

    // Image properties for clipGetImage during the current action.
    ClipImage::Context imageContext(const Clip& clip, OfxTime time) const;
    size_t outstandingImages() const;

    // Called by the suites when the plug-in sets a value ("written", "key deleted"...), a
    // parameter property or a parametric curve, or a persistent message.
    void pluginChangedValue(Param& param, std::optional<OfxTime> time, const ParamValue& value,
                            const char* what = "written");
    void pluginChangedProperty(Param& param, const std::string& property);
    void pluginChangedCurve(Param& param);
    void setPersistentMessage(std::optional<MessageRecord> message);
    std::optional<MessageRecord> persistentMessage() const;

private:
    void beginAction() { ++actionDepth_; }
    void endAction();
    // Strict hosts: a write outside the actions that allow it is a violation; the plug-in is
    // told of its edit at once, even inside render.
    void strictEdit(Param& param, std::optional<OfxTime> time, const std::string& description);
    OfxStatus sendChange(const std::string& name, const char* reason, OfxTime time);
    void deliverPendingChanges();
    void addRenderArgs(PropertySet& in, const RenderArgs& args) const;

    Plugin& plugin_;
    std::string context_;
    ProjectSettings project_;
    std::atomic<OfxTime> time_{0.0};
    std::atomic<bool> abort_{false};
    std::atomic<int> actionDepth_{0};
    // Edit depth when the current overlay interaction (pen down to pen up) began; -1 outside.
    std::atomic<int> interactionEdits_{-1};
    std::atomic<bool> delivering_{false};

    mutable std::mutex mutex_;
    std::vector<std::pair<std::string, OfxTime>> pendingChanges_;
    double renderScale_[2] = {1.0, 1.0};
    std::string field_ = kOfxImageFieldNone;
    unsigned long imageGeneration_ = 0;
    std::optional<MessageRecord> persistentMessage_;
    std::vector<std::unique_ptr<OverlayInteract>> overlays_;
    // Held around each render of an instance-safe plug-in (strict hosts).
    std::mutex renderMutex_;
};

} // namespace ofxhost
