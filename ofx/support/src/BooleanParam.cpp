#include "ofx/support/BooleanParam.h"

#include "ParamSuiteCalls.h"

namespace OFX {

void BooleanParamDescriptor::setDefault(bool value) {
    props_.setInt(kOfxParamPropDefault, value ? 1 : 0);
}

bool BooleanParam::getValue() const {
    int value = 0;
    ParamSuiteCalls::getValue(handle_, getName(), &value);
    return value != 0;
}

bool BooleanParam::getValueAtTime(OfxTime time) const {
    int value = 0;
    ParamSuiteCalls::getValueAtTime(handle_, getName(), time, &value);
    return value != 0;
}

void BooleanParam::setValue(bool value) {
    ParamSuiteCalls::setValue(handle_, getName(), value ? 1 : 0);
}

void BooleanParam::setValueAtTime(OfxTime time, bool value) {
    ParamSuiteCalls::setValueAtTime(handle_, getName(), time, value ? 1 : 0);
}

bool BooleanParam::getDefault() const {
    return props_.getInt(kOfxParamPropDefault) != 0;
}

} // namespace OFX
