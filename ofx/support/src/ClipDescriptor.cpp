#include "ofx/support/ClipDescriptor.h"

#include "ofx/ofxImageEffect.h"

namespace OFX {

ClipDescriptor::ClipDescriptor(const std::string& name, OfxPropertySetHandle props)
    : name_(name), props_(props) {}

void ClipDescriptor::setLabel(const std::string& label) {
    props_.setString(kOfxPropLabel, label);
}

void ClipDescriptor::setLabels(const std::string& label, const std::string& shortLabel,
                               const std::string& longLabel) {
    props_.setString(kOfxPropLabel, label);
    props_.setString(kOfxPropShortLabel, shortLabel);
    props_.setString(kOfxPropLongLabel, longLabel);
}

void ClipDescriptor::addSupportedComponent(PixelComponentEnum components) {
    components_.push_back(mapPixelComponentToString(components));
    props_.setStringN(kOfxImageEffectPropSupportedComponents, components_);
}

void ClipDescriptor::setOptional(bool optional) {
    props_.setInt(kOfxImageClipPropOptional, optional ? 1 : 0);
}

void ClipDescriptor::setIsMask(bool isMask) {
    props_.setInt(kOfxImageClipPropIsMask, isMask ? 1 : 0);
}

void ClipDescriptor::setSupportsTiles(bool supportsTiles) {
    props_.setInt(kOfxImageEffectPropSupportsTiles, supportsTiles ? 1 : 0);
}

void ClipDescriptor::setTemporalClipAccess(bool temporalAccess) {
    props_.setInt(kOfxImageEffectPropTemporalClipAccess, temporalAccess ? 1 : 0);
}

void ClipDescriptor::setFieldExtraction(FieldEnum extraction) {
    props_.setString(kOfxImageClipPropFieldExtraction, mapFieldToString(extraction));
}

} // namespace OFX
