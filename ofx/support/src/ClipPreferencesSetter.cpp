#include "ofx/support/ClipPreferencesSetter.h"

#include "ofx/ofxImageEffect.h"
#include "ofx/support/Clip.h"

namespace OFX {

namespace {
// Per-clip entries are these prefixes followed by the clip's name.
const char* const kComponentsPrefix = "OfxImageClipPropComponents_";
const char* const kDepthPrefix = "OfxImageClipPropDepth_";
const char* const kPixelAspectRatioPrefix = "OfxImageClipPropPAR_";
} // namespace

ClipPreferencesSetter::ClipPreferencesSetter(OfxPropertySetHandle outArgs) : outArgs_(outArgs) {}

void ClipPreferencesSetter::setClipComponents(const Clip& clip, PixelComponentEnum components) {
    outArgs_.setString(kComponentsPrefix + clip.name(), mapPixelComponentToString(components));
    changed_ = true;
}

void ClipPreferencesSetter::setClipBitDepth(const Clip& clip, BitDepthEnum depth) {
    outArgs_.setString(kDepthPrefix + clip.name(), mapBitDepthToString(depth));
    changed_ = true;
}

void ClipPreferencesSetter::setPixelAspectRatio(const Clip& clip, double pixelAspectRatio) {
    outArgs_.setDouble(kPixelAspectRatioPrefix + clip.name(), pixelAspectRatio);
    changed_ = true;
}

void ClipPreferencesSetter::setOutputFrameRate(double framesPerSecond) {
    outArgs_.setDouble(kOfxImageEffectPropFrameRate, framesPerSecond);
    changed_ = true;
}

void ClipPreferencesSetter::setOutputPremultiplication(PreMultiplicationEnum premultiplication) {
    outArgs_.setString(kOfxImageEffectPropPreMultiplication,
                       mapPreMultiplicationToString(premultiplication));
    changed_ = true;
}

void ClipPreferencesSetter::setOutputFielding(FieldEnum fielding) {
    outArgs_.setString(kOfxImageClipPropFieldOrder, mapFieldToString(fielding));
    changed_ = true;
}

void ClipPreferencesSetter::setOutputHasContinuousSamples(bool continuous) {
    outArgs_.setInt(kOfxImageClipPropContinuousSamples, continuous ? 1 : 0);
    changed_ = true;
}

void ClipPreferencesSetter::setOutputFrameVarying(bool varying) {
    outArgs_.setInt(kOfxImageEffectFrameVarying, varying ? 1 : 0);
    changed_ = true;
}

} // namespace OFX
