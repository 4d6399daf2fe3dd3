#pragma once

#include "ofx/ofxImageEffect.h"
#include "ofx/support/ClipDescriptor.h"
#include "ofx/support/Enums.h"
#include "ofx/support/ParamSetDescriptor.h"
#include "ofx/support/PropertySet.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace OFX {

class InteractDescriptor;

// The effect being described: in describe (labels, contexts, capabilities) and in
// describeInContext (clips and parameters). Every setter throws OFX::Exception when the host
// rejects the property, so a plug-in can tell which features a host refuses.
class ImageEffectDescriptor : public ParamSetDescriptor {
public:
    explicit ImageEffectDescriptor(OfxImageEffectHandle handle);
    ~ImageEffectDescriptor() override;

    OfxImageEffectHandle getHandle() const { return handle_; }
    const PropertySet& getPropertySet() const { return props_; }
    // The bundle folder the host found the plug-in in ("" when the host does not say).
    std::string getPluginFilePath() const;

    void setLabel(const std::string& label);
    void setLabels(const std::string& label, const std::string& shortLabel,
                   const std::string& longLabel);
    void setPluginGrouping(const std::string& grouping);
    void setPluginDescription(const std::string& description);
    void setVersionLabel(const std::string& label);

    void addSupportedContext(ContextEnum context);
    void addSupportedBitDepth(BitDepthEnum depth);

    void setSingleInstance(bool single);
    void setHostFrameThreading(bool hostThreads);
    void setSupportsMultiResolution(bool supports);
    void setSupportsTiles(bool supports);
    void setTemporalClipAccess(bool temporalAccess);
    void setRenderTwiceAlways(bool always);
    void setSupportsMultipleClipPARs(bool supports);
    void setSupportsMultipleClipDepths(bool supports);
    void setRenderThreadSafety(RenderSafetyEnum safety);
    // 0 = order irrelevant, 1 = needs strict frame order, 2 = prefers order.
    void setSequentialRender(int mode);
    void setNoSpatialAwareness(bool noSpatialAwareness);
    void addClipPreferencesSlaveParam(const ParamDescriptor& param);

    // GPU rendering: "true"/"false" strings on the descriptor.
    void setOpenCLRenderSupported(bool supported);
    void setCudaRenderSupported(bool supported);
    void setCudaStreamSupported(bool supported);
    void setMetalRenderSupported(bool supported);

    // Takes ownership. The host gets the descriptor's entry point both as the OpenGL-era
    // overlay (V1) and as the draw-suite overlay (V2, on hosts that know it).
    void setOverlayInteractDescriptor(InteractDescriptor* descriptor);

    // Only in describeInContext. Returns the clip defined earlier under the same name.
    ClipDescriptor* defineClip(const std::string& name);

private:
    void setFlag(const char* name, bool value);
    void appendString(const char* name, std::vector<std::string>& list, const std::string& value);

    OfxImageEffectHandle handle_;
    PropertySet props_;
    std::vector<std::string> contexts_;
    std::vector<std::string> depths_;
    std::vector<std::string> slaveParams_;
    std::map<std::string, std::unique_ptr<ClipDescriptor>> clips_;
    std::unique_ptr<InteractDescriptor> overlay_;
};

} // namespace OFX
