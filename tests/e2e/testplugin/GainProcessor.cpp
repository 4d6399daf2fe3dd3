#include "GainProcessor.h"

#include "ofx/support/ImageEffect.h"

namespace testplugin {

GainProcessor::GainProcessor(OFX::ImageEffect& effect, const OFX::Image* source, double gain,
                             bool invert)
    : ImageProcessor(effect), source_(source), gain_(static_cast<float>(gain)), invert_(invert) {}

void GainProcessor::multiThreadProcessImages(const OfxRectI& window) {
    for (int y = window.y1; y < window.y2; ++y) {
        if (_effect.abort()) {
            return;
        }
        for (int x = window.x1; x < window.x2; ++x) {
            float* out = static_cast<float*>(_dstImg->getPixelAddress(x, y));
            if (out == nullptr) {
                continue;
            }
            const float* in = source_ != nullptr
                                  ? static_cast<const float*>(source_->getPixelAddress(x, y))
                                  : nullptr;
            for (int c = 0; c < 3; ++c) {
                const float scaled = (in != nullptr ? in[c] : 0.0f) * gain_;
                out[c] = invert_ ? 1.0f - scaled : scaled;
            }
            out[3] = in != nullptr ? in[3] : 0.0f;
        }
    }
}

} // namespace testplugin
