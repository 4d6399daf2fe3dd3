#include "ofx/support/ChoiceParam.h"

#include "ParamSuiteCalls.h"

namespace OFX {

void ChoiceParamDescriptor::setDefault(int index) {
    props_.setInt(kOfxParamPropDefault, index);
}

void ChoiceParamDescriptor::appendOption(const std::string& label) {
    // The new option alone: sending the whole list again makes a long list quadratic.
    options_.push_back(label);
    props_.setString(kOfxParamPropChoiceOption, label, static_cast<int>(options_.size()) - 1);
}

void ChoiceParamDescriptor::resetOptions() {
    options_.clear();
    props_.reset(kOfxParamPropChoiceOption);
}

int ChoiceParam::getValue() const {
    int value = 0;
    ParamSuiteCalls::getValue(handle_, getName(), &value);
    return value;
}

int ChoiceParam::getValueAtTime(OfxTime time) const {
    int value = 0;
    ParamSuiteCalls::getValueAtTime(handle_, getName(), time, &value);
    return value;
}

void ChoiceParam::setValue(int index) {
    ParamSuiteCalls::setValue(handle_, getName(), index);
}

void ChoiceParam::setValueAtTime(OfxTime time, int index) {
    ParamSuiteCalls::setValueAtTime(handle_, getName(), time, index);
}

int ChoiceParam::getDefault() const {
    return props_.getInt(kOfxParamPropDefault);
}

int ChoiceParam::getOptionCount() const {
    return props_.getDimension(kOfxParamPropChoiceOption);
}

std::string ChoiceParam::getOption(int index) const {
    return props_.getString(kOfxParamPropChoiceOption, index);
}

void ChoiceParam::appendOption(const std::string& label) {
    props_.setString(kOfxParamPropChoiceOption, label, getOptionCount());
}

void ChoiceParam::resetOptions() {
    props_.reset(kOfxParamPropChoiceOption);
}

void ChoiceParam::resetOptions(const std::vector<std::string>& labels) {
    resetOptions();
    if (!labels.empty()) {
        props_.setStringN(kOfxParamPropChoiceOption, labels);
    }
}

} // namespace OFX
