#pragma once

#include "ofx/ofxImageEffect.h"
#include "ofx/support/ActionArguments.h"
#include "ofx/support/Clip.h"
#include "ofx/support/ClipPreferencesSetter.h"
#include "ofx/support/Enums.h"
#include "ofx/support/FramesNeededSetter.h"
#include "ofx/support/ParamSet.h"
#include "ofx/support/PropertySet.h"
#include "ofx/support/RegionOfInterestSetter.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace OFX {

// Base of a plug-in's effect instance. The factory's createInstance builds one per host
// instance; the support layer routes the instance actions to the virtual functions below and
// deletes it on DestroyInstance. Exceptions thrown from any of them reach the host as a status.
class ImageEffect : public ParamSet {
public:
    explicit ImageEffect(OfxImageEffectHandle handle);
    ~ImageEffect() override;

    // The instance created for a host handle, or nullptr.
    static ImageEffect* fromHandle(OfxImageEffectHandle handle);

    OfxImageEffectHandle getHandle() const { return handle_; }
    const PropertySet& getPropertySet() const { return props_; }
    ContextEnum getContext() const { return context_; }

    // The clip of that name, kept for the instance's life; nullptr when the host has none.
    Clip* fetchClip(const std::string& name);

    // Project geometry in canonical coordinates.
    OfxPointD getProjectSize() const;
    OfxPointD getProjectOffset() const;
    OfxPointD getProjectExtent() const;
    double getProjectPixelAspectRatio() const;
    double getEffectDuration() const;
    double getFrameRate() const;
    bool isInteractive() const;

    // true when the host wants the current render stopped; check it once per row or band.
    bool abort() const;

    // Messages never throw: a host without the message suite answers
    // kOfxStatErrMissingHostFeature. A question returns kOfxStatReplyYes or kOfxStatReplyNo.
    OfxStatus sendMessage(MessageTypeEnum type, const std::string& id,
                          const std::string& text) const;
    OfxStatus setPersistentMessage(MessageTypeEnum type, const std::string& id,
                                   const std::string& text) const;
    OfxStatus clearPersistentMessage() const;

    // Progress for long operations; progressUpdate returns false when the user cancelled.
    void progressStart(const std::string& message, const std::string& id = std::string());
    bool progressUpdate(double fraction);
    void progressEnd();

    // Actions. Defaults do nothing and let the host apply its own behaviour.
    virtual void render(const RenderArguments& args) = 0;
    // true (with the clip and its time) when the output equals an input at these arguments.
    virtual bool isIdentity(const IsIdentityArguments& args, Clip*& identityClip,
                            double& identityTime);
    virtual void getClipPreferences(ClipPreferencesSetter& setter);
    virtual void changedParam(const InstanceChangedArgs& args, const std::string& paramName);
    virtual void changedClip(const InstanceChangedArgs& args, const std::string& clipName);
    // true after setting rod (canonical coordinates).
    virtual bool getRegionOfDefinition(const RegionOfDefinitionArguments& args, OfxRectD& rod);
    virtual void getRegionsOfInterest(const RegionsOfInterestArguments& args,
                                      RegionOfInterestSetter& setter);
    virtual void getFramesNeeded(const FramesNeededArguments& args, FramesNeededSetter& setter);
    // true after setting range (general context only).
    virtual bool getTimeDomain(OfxRangeD& range);
    virtual void beginSequenceRender(const BeginSequenceRenderArguments& args);
    virtual void endSequenceRender(const EndSequenceRenderArguments& args);
    virtual void beginChanged(InstanceChangeReason reason);
    virtual void endChanged(InstanceChangeReason reason);
    virtual void beginEdit();
    virtual void endEdit();
    virtual void purgeCaches();
    virtual void syncPrivateData();

private:
    OfxStatus postMessage(bool persistent, MessageTypeEnum type, const std::string& id,
                          const std::string& text) const;

    OfxImageEffectHandle handle_;
    PropertySet props_;
    ContextEnum context_ = eContextNone;
    bool progressV2_ = false;
    std::mutex clipsMutex_;
    std::map<std::string, std::unique_ptr<Clip>> clips_;
};

} // namespace OFX
