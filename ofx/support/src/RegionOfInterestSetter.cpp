#include "ofx/support/RegionOfInterestSetter.h"

#include "ofx/support/Clip.h"

namespace OFX {

void RegionOfInterestSetter::setRegionOfInterest(const Clip& clip, const OfxRectD& region) {
    outArgs_.setDoubleN("OfxImageClipPropRoI_" + clip.name(),
                        {region.x1, region.y1, region.x2, region.y2});
    changed_ = true;
}

} // namespace OFX
