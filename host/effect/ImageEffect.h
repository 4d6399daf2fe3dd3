#pragma once

#include "host/core/HandleTag.h"
#include "host/effect/Clip.h"
#include "host/params/ParamSet.h"
#include "host/properties/PropertySet.h"

#include "ofx/ofxImageEffect.h"

#include <memory>
#include <string>
#include <vector>

namespace ofxhost {

class Host;
class EffectInstance;

// The three kinds of object behind an OfxImageEffectHandle.
enum class EffectRole { Descriptor, ContextDescriptor, Instance };

// An effect descriptor (kOfxActionDescribe), a context descriptor (describe-in-context) or an
// instance: its properties, parameters and clips, all in definition order.
class ImageEffect {
public:
    ImageEffect(Host& host, EffectRole role, const PropertySet& properties);
    virtual ~ImageEffect();
    ImageEffect(const ImageEffect&) = delete;
    ImageEffect& operator=(const ImageEffect&) = delete;

    static ImageEffect* fromHandle(OfxImageEffectHandle handle);
    static ImageEffect* fromHandle(const void* handle);
    OfxImageEffectHandle handle() { return reinterpret_cast<OfxImageEffectHandle>(this); }

    Host& host() { return host_; }
    EffectRole role() const { return role_; }
    PropertySet& properties() { return properties_; }
    const PropertySet& properties() const { return properties_; }
    ParamSet& params() { return params_; }
    const ParamSet& params() const { return params_; }

    // Context descriptors only; throws HostError (kOfxStatErrExists, kOfxStatErrUnsupported).
    Clip& defineClip(const std::string& name);
    Clip* findClip(const std::string& name);
    const std::vector<std::unique_ptr<Clip>>& clips() const { return clips_; }

    virtual EffectInstance* asInstance() { return nullptr; }

    // The properties of a fresh effect descriptor, before the plug-in describes itself; the
    // GPU-render ones only for a host that knows them.
    static PropertySet descriptorProperties(const std::string& bundlePath,
                                            bool gpuRenderProperties = true);

protected:
    std::vector<std::unique_ptr<Clip>>& mutableClips() { return clips_; }

private:
    HandleTag tag_{HandleTag::ImageEffectKind, this};
    Host& host_;
    EffectRole role_;
    PropertySet properties_;
    ParamSet params_{*this};
    std::vector<std::unique_ptr<Clip>> clips_;
};

} // namespace ofxhost
