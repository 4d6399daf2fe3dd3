#pragma once

#include "ofx/ofxImageEffect.h"
#include "ofx/support/Enums.h"
#include "ofx/support/Image.h"
#include "ofx/support/PropertySet.h"

#include <memory>
#include <string>

namespace OFX {

// A clip of an effect instance; the effect keeps it for the instance's life.
class Clip {
public:
    Clip(const std::string& name, OfxImageClipHandle handle, OfxPropertySetHandle props);
    Clip(const Clip&) = delete;
    Clip& operator=(const Clip&) = delete;

    const std::string& name() const { return name_; }
    OfxImageClipHandle getHandle() const { return handle_; }
    const PropertySet& getPropertySet() const { return props_; }

    bool isConnected() const;
    // After the clip-preference mapping; None when the clip is not connected.
    BitDepthEnum getPixelDepth() const;
    PixelComponentEnum getPixelComponents() const;
    BitDepthEnum getUnmappedPixelDepth() const;
    PixelComponentEnum getUnmappedPixelComponents() const;
    PreMultiplicationEnum getPreMultiplication() const;
    double getPixelAspectRatio() const;
    double getFrameRate() const;
    OfxRangeD getFrameRange() const;
    FieldEnum getFieldOrder() const;
    // Canonical coordinates.
    OfxRectD getRegionOfDefinition(OfxTime time) const;

    // The image at time (for the region of interest, or for region in canonical coordinates),
    // or nullptr when the host has none there (an unconnected input, a time out of range).
    std::unique_ptr<Image> fetchImage(OfxTime time) const;
    std::unique_ptr<Image> fetchImage(OfxTime time, const OfxRectD& region) const;

private:
    std::unique_ptr<Image> fetch(OfxTime time, const OfxRectD* region) const;

    std::string name_;
    OfxImageClipHandle handle_;
    PropertySet props_;
};

} // namespace OFX
