#include "ofx/support/Image.h"

#include "ofx/support/HostSuites.h"

#include <cstddef>

namespace OFX {

namespace {

OfxRectI readRect(const PropertySet& props, const char* name) {
    OfxRectI rect{0, 0, 0, 0};
    props.tryGetInt(name, rect.x1, 0);
    props.tryGetInt(name, rect.y1, 1);
    props.tryGetInt(name, rect.x2, 2);
    props.tryGetInt(name, rect.y2, 3);
    return rect;
}

} // namespace

Image::Image(OfxPropertySetHandle imageHandle) : props_(imageHandle) {
    // Data, bounds, row bytes, depth and components are what every image must have; the rest
    // is optional on some hosts.
    data_ = props_.getPointer(kOfxImagePropData);
    bounds_ =
        OfxRectI{props_.getInt(kOfxImagePropBounds, 0), props_.getInt(kOfxImagePropBounds, 1),
                 props_.getInt(kOfxImagePropBounds, 2), props_.getInt(kOfxImagePropBounds, 3)};
    rowBytes_ = props_.getInt(kOfxImagePropRowBytes);
    depth_ = mapStringToBitDepth(props_.getString(kOfxImageEffectPropPixelDepth));
    components_ = mapStringToPixelComponent(props_.getString(kOfxImageEffectPropComponents));

    const PropertySet optional(imageHandle, false);
    regionOfDefinition_ = readRect(optional, kOfxImagePropRegionOfDefinition);
    std::string text;
    if (optional.tryGetString(kOfxImageEffectPropPreMultiplication, text) == kOfxStatOK) {
        preMultiplication_ = mapStringToPreMultiplication(text);
    }
    optional.tryGetDouble(kOfxImageEffectPropRenderScale, renderScale_.x, 0);
    optional.tryGetDouble(kOfxImageEffectPropRenderScale, renderScale_.y, 1);
    optional.tryGetDouble(kOfxImagePropPixelAspectRatio, pixelAspectRatio_);
    if (optional.tryGetString(kOfxImagePropField, text) == kOfxStatOK) {
        field_ = mapStringToField(text);
    }
    optional.tryGetString(kOfxImagePropUniqueIdentifier, uniqueIdentifier_);
}

Image::~Image() {
    const OfxImageEffectSuiteV1* suite = suites().imageEffect;
    if (suite != nullptr && props_.handle() != nullptr) {
        suite->clipReleaseImage(props_.handle());
    }
}

void* Image::getPixelAddress(int x, int y) const {
    if (data_ == nullptr || x < bounds_.x1 || x >= bounds_.x2 || y < bounds_.y1 ||
        y >= bounds_.y2) {
        return nullptr;
    }
    // ptrdiff_t: row bytes may be negative and offsets may exceed 2 GiB on large frames.
    const std::ptrdiff_t row = static_cast<std::ptrdiff_t>(y - bounds_.y1) * rowBytes_;
    const std::ptrdiff_t column = static_cast<std::ptrdiff_t>(x - bounds_.x1) * getPixelBytes();
    return static_cast<unsigned char*>(data_) + row + column;
}

} // namespace OFX
