#pragma once

#include "ofx/ofxImageEffect.h"
#include "ofx/support/Enums.h"
#include "ofx/support/PropertySet.h"

#include <string>

namespace OFX {

// An image fetched from a clip. It releases itself back to the host when destroyed, so hold
// it in the std::unique_ptr that Clip::fetchImage returns and let it go before the action ends.
// Rows are stored bottom row first; getPixelData() is the lower-left pixel of the bounds and
// rows are getRowBytes() apart (possibly padded, possibly negative).
class Image {
public:
    explicit Image(OfxPropertySetHandle imageHandle);
    ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    const PropertySet& getPropertySet() const { return props_; }
    // Host memory, or a device pointer when the render was asked to run on the GPU.
    void* getPixelData() const { return data_; }
    // Pixel coordinates, half-open.
    const OfxRectI& getBounds() const { return bounds_; }
    const OfxRectI& getRegionOfDefinition() const { return regionOfDefinition_; }
    int getRowBytes() const { return rowBytes_; }
    BitDepthEnum getPixelDepth() const { return depth_; }
    PixelComponentEnum getPixelComponents() const { return components_; }
    int getPixelComponentCount() const { return pixelComponentCount(components_); }
    int getPixelBytes() const { return bitDepthBytes(depth_) * getPixelComponentCount(); }
    PreMultiplicationEnum getPreMultiplication() const { return preMultiplication_; }
    OfxPointD getRenderScale() const { return renderScale_; }
    double getPixelAspectRatio() const { return pixelAspectRatio_; }
    FieldEnum getField() const { return field_; }
    const std::string& getUniqueIdentifier() const { return uniqueIdentifier_; }

    // Address of pixel (x, y) in pixel coordinates, or nullptr outside the bounds.
    void* getPixelAddress(int x, int y) const;

private:
    PropertySet props_;
    void* data_ = nullptr;
    OfxRectI bounds_{0, 0, 0, 0};
    OfxRectI regionOfDefinition_{0, 0, 0, 0};
    int rowBytes_ = 0;
    BitDepthEnum depth_ = eBitDepthNone;
    PixelComponentEnum components_ = ePixelComponentNone;
    PreMultiplicationEnum preMultiplication_ = eImageOpaque;
    OfxPointD renderScale_{1.0, 1.0};
    double pixelAspectRatio_ = 1.0;
    FieldEnum field_ = eFieldNone;
    std::string uniqueIdentifier_;
};

} // namespace OFX
