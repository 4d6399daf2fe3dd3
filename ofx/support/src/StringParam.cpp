#include "ofx/support/StringParam.h"

#include "ParamSuiteCalls.h"

namespace OFX {

void StringParamDescriptor::setDefault(const std::string& value) {
    props_.setString(kOfxParamPropDefault, value);
}

void StringParamDescriptor::setStringType(StringTypeEnum type) {
    props_.setString(kOfxParamPropStringMode, mapStringTypeToString(type));
}

void StringParamDescriptor::setFilePathExists(bool exists) {
    props_.setInt(kOfxParamPropStringFilePathExists, exists ? 1 : 0);
}

std::string StringParam::getValue() const {
    char* text = nullptr;
    ParamSuiteCalls::getValue(handle_, getName(), &text);
    return text != nullptr ? std::string(text) : std::string();
}

std::string StringParam::getValueAtTime(OfxTime time) const {
    char* text = nullptr;
    ParamSuiteCalls::getValueAtTime(handle_, getName(), time, &text);
    return text != nullptr ? std::string(text) : std::string();
}

void StringParam::setValue(const std::string& value) {
    ParamSuiteCalls::setValue(handle_, getName(), value.c_str());
}

void StringParam::setValueAtTime(OfxTime time, const std::string& value) {
    ParamSuiteCalls::setValueAtTime(handle_, getName(), time, value.c_str());
}

std::string StringParam::getDefault() const {
    return props_.getString(kOfxParamPropDefault);
}

} // namespace OFX
