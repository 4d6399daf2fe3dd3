#include "ofx/support/Clip.h"

#include "ofx/support/Exception.h"
#include "ofx/support/HostSuites.h"

namespace OFX {

Clip::Clip(const std::string& name, OfxImageClipHandle handle, OfxPropertySetHandle props)
    : name_(name), handle_(handle), props_(props) {}

bool Clip::isConnected() const {
    return props_.getInt(kOfxImageClipPropConnected) != 0;
}

BitDepthEnum Clip::getPixelDepth() const {
    return mapStringToBitDepth(props_.getString(kOfxImageEffectPropPixelDepth));
}

PixelComponentEnum Clip::getPixelComponents() const {
    return mapStringToPixelComponent(props_.getString(kOfxImageEffectPropComponents));
}

BitDepthEnum Clip::getUnmappedPixelDepth() const {
    return mapStringToBitDepth(props_.getString(kOfxImageClipPropUnmappedPixelDepth));
}

PixelComponentEnum Clip::getUnmappedPixelComponents() const {
    return mapStringToPixelComponent(props_.getString(kOfxImageClipPropUnmappedComponents));
}

PreMultiplicationEnum Clip::getPreMultiplication() const {
    return mapStringToPreMultiplication(props_.getString(kOfxImageEffectPropPreMultiplication));
}

double Clip::getPixelAspectRatio() const {
    return props_.getDouble(kOfxImagePropPixelAspectRatio);
}

double Clip::getFrameRate() const {
    return props_.getDouble(kOfxImageEffectPropFrameRate);
}

OfxRangeD Clip::getFrameRange() const {
    return OfxRangeD{props_.getDouble(kOfxImageEffectPropFrameRange, 0),
                     props_.getDouble(kOfxImageEffectPropFrameRange, 1)};
}

FieldEnum Clip::getFieldOrder() const {
    return mapStringToField(props_.getString(kOfxImageClipPropFieldOrder));
}

OfxRectD Clip::getRegionOfDefinition(OfxTime time) const {
    const OfxImageEffectSuiteV1& suite = requireSuite(suites().imageEffect, kOfxImageEffectSuite);
    OfxRectD bounds{0.0, 0.0, 0.0, 0.0};
    throwIfFailed(suite.clipGetRegionOfDefinition(handle_, time, &bounds),
                  "clipGetRegionOfDefinition(" + name_ + ")");
    return bounds;
}

std::unique_ptr<Image> Clip::fetchImage(OfxTime time) const {
    return fetch(time, nullptr);
}

std::unique_ptr<Image> Clip::fetchImage(OfxTime time, const OfxRectD& region) const {
    return fetch(time, &region);
}

std::unique_ptr<Image> Clip::fetch(OfxTime time, const OfxRectD* region) const {
    const OfxImageEffectSuiteV1& suite = requireSuite(suites().imageEffect, kOfxImageEffectSuite);
    OfxPropertySetHandle imageHandle = nullptr;
    const OfxStatus status = suite.clipGetImage(handle_, time, region, &imageHandle);
    if (status == kOfxStatFailed || (status == kOfxStatOK && imageHandle == nullptr)) {
        return nullptr; // no image there: the caller treats it as transparent black
    }
    throwIfFailed(status, "clipGetImage(" + name_ + ")");
    try {
        return std::make_unique<Image>(imageHandle);
    } catch (...) {
        // The image never got an owner that would release it.
        suite.clipReleaseImage(imageHandle);
        throw;
    }
}

} // namespace OFX
