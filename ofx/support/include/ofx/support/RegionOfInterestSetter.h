#pragma once

#include "ofx/support/PropertySet.h"

namespace OFX {

class Clip;

// Writes the regions of interest (outArgs of GetRegionsOfInterest), canonical coordinates.
class RegionOfInterestSetter {
public:
    explicit RegionOfInterestSetter(OfxPropertySetHandle outArgs) : outArgs_(outArgs) {}

    void setRegionOfInterest(const Clip& clip, const OfxRectD& region);
    bool changed() const { return changed_; }

private:
    PropertySet outArgs_;
    bool changed_ = false;
};

} // namespace OFX
