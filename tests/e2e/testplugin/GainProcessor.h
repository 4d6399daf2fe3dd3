#pragma once

#include "ofx/support/Image.h"
#include "ofx/support/ImageProcessor.h"

namespace testplugin {

// output = source x gain per RGB channel (1 - that when inverted), alpha copied. Float RGBA
// only; a source pixel outside the source's bounds counts as transparent black.
class GainProcessor : public OFX::ImageProcessor {
public:
    GainProcessor(OFX::ImageEffect& effect, const OFX::Image* source, double gain, bool invert);

    void multiThreadProcessImages(const OfxRectI& window) override;

private:
    const OFX::Image* source_;
    float gain_;
    bool invert_;
};

} // namespace testplugin
