#include "ofx/support/Param.h"

#include "ParamSuiteCalls.h"

namespace OFX {

Param::Param(const std::string& name, ParamTypeEnum type, OfxParamHandle handle,
             OfxPropertySetHandle props)
    : handle_(handle), props_(props), name_(name), type_(type) {}

std::string Param::getLabel() const {
    return props_.getString(kOfxPropLabel);
}

std::string Param::getHint() const {
    return props_.getString(kOfxParamPropHint);
}

std::string Param::getScriptName() const {
    return props_.getString(kOfxParamPropScriptName);
}

std::string Param::getParentName() const {
    return props_.getString(kOfxParamPropParent);
}

bool Param::getIsEnabled() const {
    return props_.getInt(kOfxParamPropEnabled) != 0;
}

bool Param::getIsSecret() const {
    return props_.getInt(kOfxParamPropSecret) != 0;
}

void Param::setEnabled(bool enabled) {
    props_.setInt(kOfxParamPropEnabled, enabled ? 1 : 0);
}

void Param::setIsSecret(bool secret) {
    props_.setInt(kOfxParamPropSecret, secret ? 1 : 0);
}

void Param::setLabel(const std::string& label) {
    props_.setString(kOfxPropLabel, label);
}

void Param::setLabels(const std::string& label, const std::string& shortLabel,
                      const std::string& longLabel) {
    props_.setString(kOfxPropLabel, label);
    props_.setString(kOfxPropShortLabel, shortLabel);
    props_.setString(kOfxPropLongLabel, longLabel);
}

void Param::setHint(const std::string& hint) {
    props_.setString(kOfxParamPropHint, hint);
}

bool ValueParam::getIsAnimating() const {
    return props_.getInt(kOfxParamPropIsAnimating) != 0;
}

bool ValueParam::getIsAutoKeying() const {
    return props_.getInt(kOfxParamPropIsAutoKeying) != 0;
}

bool ValueParam::getEvaluateOnChange() const {
    return props_.getInt(kOfxParamPropEvaluateOnChange) != 0;
}

void ValueParam::setEvaluateOnChange(bool evaluate) {
    props_.setInt(kOfxParamPropEvaluateOnChange, evaluate ? 1 : 0);
}

unsigned int ValueParam::getKeyCount() const {
    unsigned int count = 0;
    throwIfFailed(ParamSuiteCalls::suite().paramGetNumKeys(handle_, &count),
                  "paramGetNumKeys(" + getName() + ")");
    return count;
}

OfxTime ValueParam::getKeyTime(unsigned int nthKey) const {
    OfxTime time = 0.0;
    throwIfFailed(ParamSuiteCalls::suite().paramGetKeyTime(handle_, nthKey, &time),
                  "paramGetKeyTime(" + getName() + ")");
    return time;
}

int ValueParam::getKeyIndex(OfxTime time, KeySearchEnum search) const {
    int index = -1;
    const OfxStatus status =
        ParamSuiteCalls::suite().paramGetKeyIndex(handle_, time, static_cast<int>(search), &index);
    if (status == kOfxStatFailed) {
        return -1; // no such key
    }
    throwIfFailed(status, "paramGetKeyIndex(" + getName() + ")");
    return index;
}

void ValueParam::deleteKeyAt(OfxTime time) {
    throwIfFailed(ParamSuiteCalls::suite().paramDeleteKey(handle_, time),
                  "paramDeleteKey(" + getName() + ")");
}

void ValueParam::deleteAllKeys() {
    throwIfFailed(ParamSuiteCalls::suite().paramDeleteAllKeys(handle_),
                  "paramDeleteAllKeys(" + getName() + ")");
}

void ValueParam::copyFrom(const ValueParam& from, OfxTime dstOffset, const OfxRangeD* frameRange) {
    // The suite's way of saying "everything" is the range {0, 0}.
    const OfxRangeD all{0.0, 0.0};
    throwIfFailed(ParamSuiteCalls::suite().paramCopy(handle_, from.getHandle(), dstOffset,
                                                     frameRange != nullptr ? frameRange : &all),
                  "paramCopy(" + getName() + ")");
}

} // namespace OFX
