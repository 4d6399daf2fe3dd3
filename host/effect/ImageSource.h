#pragma once

#include "ofx/ofxCore.h"
#include "ofx/ofxImageEffect.h"

#include <string>

namespace ofxhost {

// Where a clip's pixels live. Host memory now; a device-memory source (GPU runtime buffers
// handed over with a stream) implements the same interface and reports MemoryKind::Device.
class ImageSource {
public:
    enum class MemoryKind { Host, Device };

    virtual ~ImageSource() = default;

    // Address of the lower-left pixel of bounds().
    virtual void* data() const = 0;
    // Pixel coordinates, half-open.
    virtual OfxRectI bounds() const = 0;
    // Bytes from one row to the next (upwards).
    virtual int rowBytes() const = 0;
    virtual std::string components() const { return kOfxImageComponentRGBA; }
    virtual std::string pixelDepth() const { return kOfxBitDepthFloat; }
    virtual std::string premultiplication() const { return kOfxImagePreMultiplied; }
    virtual MemoryKind memoryKind() const { return MemoryKind::Host; }
};

} // namespace ofxhost
