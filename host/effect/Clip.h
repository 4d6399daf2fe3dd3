#pragma once

#include "host/core/HandleTag.h"
#include "host/effect/ClipImage.h"
#include "host/effect/ImageSource.h"
#include "host/properties/PropertySet.h"

#include "ofx/ofxImageEffect.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace ofxhost {

class ImageEffect;

// A clip descriptor (defined in describe-in-context) or instance, behind an OfxImageClipHandle.
// An instance shows the plug-in the image the host attached to it.
class Clip {
public:
    Clip(ImageEffect& owner, const std::string& name);
    Clip(ImageEffect& owner, const Clip& descriptor);
    Clip(const Clip&) = delete;
    Clip& operator=(const Clip&) = delete;

    static Clip* fromHandle(OfxImageClipHandle handle);
    OfxImageClipHandle handle() { return reinterpret_cast<OfxImageClipHandle>(this); }

    const std::string& name() const { return name_; }
    bool isInstance() const { return instance_; }
    bool isOutput() const { return name_ == kOfxImageEffectOutputClipName; }
    ImageEffect& owner() { return owner_; }
    PropertySet& properties() { return properties_; }
    const PropertySet& properties() const { return properties_; }

    // Connects the clip to these pixels (nullptr disconnects it).
    void setImage(std::shared_ptr<ImageSource> source);
    std::shared_ptr<ImageSource> image() const;
    // Throws HostError(kOfxStatFailed) when nothing is attached.
    ClipImage& fetchImage(const ClipImage::Context& context);
    bool release(ClipImage& image);
    size_t outstandingImages() const;
    // Canonical coordinates of the attached image at that render scale and the clip's pixel
    // aspect ratio (kOfxImagePropPixelAspectRatio of properties(), 1 unless set).
    OfxRectD regionOfDefinition(const double renderScale[2]) const;

private:
    HandleTag tag_{HandleTag::ClipKind, this};
    ImageEffect& owner_;
    std::string name_;
    bool instance_;
    PropertySet properties_;
    mutable std::mutex mutex_;
    std::shared_ptr<ImageSource> image_;
    std::vector<std::unique_ptr<ClipImage>> outstanding_;
};

} // namespace ofxhost
