#pragma once

#include "ofx/support/PropertySet.h"

#include <map>
#include <string>
#include <vector>

namespace OFX {

class Clip;

// Writes the frames an input is needed at (outArgs of GetFramesNeeded): inclusive ranges.
class FramesNeededSetter {
public:
    explicit FramesNeededSetter(OfxPropertySetHandle outArgs) : outArgs_(outArgs) {}

    // Adds one range; each call for a clip extends its list.
    void setFramesNeeded(const Clip& clip, const OfxRangeD& range);
    bool changed() const { return !ranges_.empty(); }

private:
    PropertySet outArgs_;
    std::map<std::string, std::vector<double>> ranges_;
};

} // namespace OFX
