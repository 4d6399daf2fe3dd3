#include "ofx/support/ParamDescriptor.h"

#include "ofx/ofxParam.h"
#include "ofx/support/GroupParam.h"

namespace OFX {

namespace {
// Newer than our C declarations; a host that predates them answers kOfxStatErrUnknown.
const char* const kLayoutHintProperty = "OfxParamPropLayoutHint";
const char* const kLayoutPadWidthProperty = "OfxParamPropLayoutPadWidth";
} // namespace

ParamDescriptor::ParamDescriptor(const std::string& name, ParamTypeEnum type,
                                 OfxPropertySetHandle props)
    : props_(props), name_(name), type_(type) {}

void ParamDescriptor::setLabel(const std::string& label) {
    props_.setString(kOfxPropLabel, label);
}

void ParamDescriptor::setLabels(const std::string& label, const std::string& shortLabel,
                                const std::string& longLabel) {
    setLabel(label);
    setShortLabel(shortLabel);
    setLongLabel(longLabel);
}

void ParamDescriptor::setShortLabel(const std::string& label) {
    props_.setString(kOfxPropShortLabel, label);
}

void ParamDescriptor::setLongLabel(const std::string& label) {
    props_.setString(kOfxPropLongLabel, label);
}

void ParamDescriptor::setHint(const std::string& hint) {
    props_.setString(kOfxParamPropHint, hint);
}

void ParamDescriptor::setScriptName(const std::string& scriptName) {
    props_.setString(kOfxParamPropScriptName, scriptName);
}

void ParamDescriptor::setIsSecret(bool secret) {
    props_.setInt(kOfxParamPropSecret, secret ? 1 : 0);
}

void ParamDescriptor::setEnabled(bool enabled) {
    props_.setInt(kOfxParamPropEnabled, enabled ? 1 : 0);
}

void ParamDescriptor::setParent(const GroupParamDescriptor& group) {
    props_.setString(kOfxParamPropParent, group.getName());
}

void ParamDescriptor::setIcon(const std::string& svgFile, const std::string& pngFile) {
    props_.setString(kOfxPropIcon, svgFile, 0);
    props_.setString(kOfxPropIcon, pngFile, 1);
}

void ParamDescriptor::setLayoutHint(LayoutHintEnum hint, int padWidth) {
    props_.trySetInt(kLayoutHintProperty, static_cast<int>(hint));
    if (padWidth > 0) {
        props_.trySetInt(kLayoutPadWidthProperty, padWidth);
    }
}

void ValueParamDescriptor::setAnimates(bool animates) {
    props_.setInt(kOfxParamPropAnimates, animates ? 1 : 0);
}

void ValueParamDescriptor::setIsPersistent(bool persistent) {
    props_.setInt(kOfxParamPropPersistant, persistent ? 1 : 0);
}

void ValueParamDescriptor::setEvaluateOnChange(bool evaluate) {
    props_.setInt(kOfxParamPropEvaluateOnChange, evaluate ? 1 : 0);
}

void ValueParamDescriptor::setCanUndo(bool canUndo) {
    props_.setInt(kOfxParamPropCanUndo, canUndo ? 1 : 0);
}

void ValueParamDescriptor::setCacheInvalidation(CacheInvalidationEnum invalidation) {
    props_.setString(kOfxParamPropCacheInvalidation, mapCacheInvalidationToString(invalidation));
}

void ValueParamDescriptor::setUseHostOverlayHandle(bool use) {
    props_.setInt(kOfxParamPropUseHostOverlayHandle, use ? 1 : 0);
}

} // namespace OFX
