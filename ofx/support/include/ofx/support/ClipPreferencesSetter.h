#pragma once

#include "ofx/support/Enums.h"
#include "ofx/support/PropertySet.h"

namespace OFX {

class Clip;

// Writes the clip preferences (outArgs of GetClipPreferences). The host pre-fills every entry,
// so only what is set here changes.
class ClipPreferencesSetter {
public:
    explicit ClipPreferencesSetter(OfxPropertySetHandle outArgs);

    void setClipComponents(const Clip& clip, PixelComponentEnum components);
    void setClipBitDepth(const Clip& clip, BitDepthEnum depth);
    void setPixelAspectRatio(const Clip& clip, double pixelAspectRatio);
    void setOutputFrameRate(double framesPerSecond);
    void setOutputPremultiplication(PreMultiplicationEnum premultiplication);
    void setOutputFielding(FieldEnum fielding);
    void setOutputHasContinuousSamples(bool continuous);
    // true when the output changes every frame even with constant inputs and parameters.
    void setOutputFrameVarying(bool varying);

    // Whether anything was set (the action then answers OK instead of "default").
    bool changed() const { return changed_; }

private:
    PropertySet outArgs_;
    bool changed_ = false;
};

} // namespace OFX
