#include "ofx/support/FramesNeededSetter.h"

#include "ofx/support/Clip.h"

namespace OFX {

void FramesNeededSetter::setFramesNeeded(const Clip& clip, const OfxRangeD& range) {
    std::vector<double>& values = ranges_[clip.name()];
    values.push_back(range.min);
    values.push_back(range.max);
    outArgs_.setDoubleN("OfxImageClipPropFrameRange_" + clip.name(), values);
}

} // namespace OFX
