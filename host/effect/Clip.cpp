#include "host/effect/Clip.h"

#include "host/core/HostError.h"

#include "ofx/ofxColour.h"

#include <algorithm>

namespace ofxhost {

Clip::Clip(ImageEffect& owner, const std::string& name)
    : owner_(owner), name_(name), instance_(false) {
    properties_.addString(kOfxPropType, {kOfxTypeClip}, 1, true);
    properties_.addString(kOfxPropName, {name}, 1, true);
    properties_.addString(kOfxPropLabel, {name});
    properties_.addString(kOfxPropShortLabel, {name});
    properties_.addString(kOfxPropLongLabel, {name});
    properties_.addString(kOfxImageEffectPropSupportedComponents, {}, 0);
    properties_.addInt(kOfxImageEffectPropTemporalClipAccess, {0});
    properties_.addInt(kOfxImageClipPropOptional, {0});
    properties_.addInt(kOfxImageClipPropIsMask, {0});
    properties_.addString(kOfxImageClipPropFieldExtraction, {kOfxImageFieldDoubled});
    properties_.addInt(kOfxImageEffectPropSupportsTiles, {1});
}

Clip::Clip(ImageEffect& owner, const Clip& descriptor)
    : owner_(owner), name_(descriptor.name_), instance_(true), properties_(descriptor.properties_) {
    const auto supported = properties_.getStrings(kOfxImageEffectPropSupportedComponents);
    const std::string components = supported.empty() ? kOfxImageComponentRGBA : supported.front();
    const bool connected = properties_.getInt(kOfxImageClipPropOptional) == 0;
    const std::string depth = connected ? kOfxBitDepthFloat : kOfxBitDepthNone;
    const std::string mapped = connected ? components : kOfxImageComponentNone;
    properties_.addString(kOfxImageEffectPropPixelDepth, {depth}, 1, true);
    properties_.addString(kOfxImageEffectPropComponents, {mapped}, 1, true);
    properties_.addString(kOfxImageClipPropUnmappedPixelDepth, {depth}, 1, true);
    properties_.addString(kOfxImageClipPropUnmappedComponents, {mapped}, 1, true);
    properties_.addString(kOfxImageEffectPropPreMultiplication, {kOfxImagePreMultiplied}, 1, true);
    properties_.addDouble(kOfxImagePropPixelAspectRatio, {1.0}, 1, true);
    properties_.addDouble(kOfxImageEffectPropFrameRate, {25.0}, 1, true);
    properties_.addDouble(kOfxImageEffectPropFrameRange, {0.0, 100.0}, 2, true);
    properties_.addString(kOfxImageClipPropFieldOrder, {kOfxImageFieldNone}, 1, true);
    properties_.addInt(kOfxImageClipPropConnected, {connected ? 1 : 0}, 1, true);
    properties_.addDouble(kOfxImageEffectPropUnmappedFrameRange, {0.0, 100.0}, 2, true);
    properties_.addDouble(kOfxImageEffectPropUnmappedFrameRate, {25.0}, 1, true);
    properties_.addInt(kOfxImageClipPropContinuousSamples, {0}, 1, true);
    properties_.addString(kOfxImageClipPropColourspace, {""});
    properties_.addString(kOfxImageClipPropPreferredColourspaces, {}, 0);
}

Clip* Clip::fromHandle(OfxImageClipHandle handle) {
    return objectFromHandle<Clip>(handle, HandleTag::ClipKind);
}

void Clip::setImage(std::shared_ptr<ImageSource> source) {
    std::lock_guard<std::mutex> lock(mutex_);
    image_ = std::move(source);
    const bool connected = image_ != nullptr;
    properties_.setInt(kOfxImageClipPropConnected, connected ? 1 : 0);
    const std::string depth = connected ? image_->pixelDepth() : kOfxBitDepthNone;
    const std::string components = connected ? image_->components() : kOfxImageComponentNone;
    properties_.setString(kOfxImageEffectPropPixelDepth, depth);
    properties_.setString(kOfxImageClipPropUnmappedPixelDepth, depth);
    properties_.setString(kOfxImageEffectPropComponents, components);
    properties_.setString(kOfxImageClipPropUnmappedComponents, components);
    if (connected) {
        properties_.setString(kOfxImageEffectPropPreMultiplication, image_->premultiplication());
    }
}

std::shared_ptr<ImageSource> Clip::image() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return image_;
}

ClipImage& Clip::fetchImage(const ClipImage::Context& context) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!image_) {
        throw HostError(kOfxStatFailed, "clip " + name_ + " has no image");
    }
    outstanding_.push_back(std::make_unique<ClipImage>(*this, image_, context));
    return *outstanding_.back();
}

bool Clip::release(ClipImage& image) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = std::find_if(outstanding_.begin(), outstanding_.end(),
                              [&](const auto& held) { return held.get() == &image; });
    if (found == outstanding_.end()) {
        return false;
    }
    outstanding_.erase(found);
    return true;
}

size_t Clip::outstandingImages() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return outstanding_.size();
}

OfxRectD Clip::regionOfDefinition(const double renderScale[2]) const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!image_) {
        return OfxRectD{0.0, 0.0, 0.0, 0.0};
    }
    // Canonical x is pixels times their aspect ratio.
    const double par = properties_.has(kOfxImagePropPixelAspectRatio)
                           ? properties_.getDouble(kOfxImagePropPixelAspectRatio)
                           : 1.0;
    const OfxRectI b = image_->bounds();
    return OfxRectD{b.x1 * par / renderScale[0], b.y1 / renderScale[1], b.x2 * par / renderScale[0],
                    b.y2 / renderScale[1]};
}

} // namespace ofxhost
