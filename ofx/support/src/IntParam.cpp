#include "ofx/support/IntParam.h"

#include "ParamSuiteCalls.h"

namespace OFX {

void IntParamDescriptor::setDefault(int value) {
    props_.setInt(kOfxParamPropDefault, value);
}

void IntParamDescriptor::setRange(int min, int max) {
    props_.setInt(kOfxParamPropMin, min);
    props_.setInt(kOfxParamPropMax, max);
}

void IntParamDescriptor::setDisplayRange(int min, int max) {
    props_.setInt(kOfxParamPropDisplayMin, min);
    props_.setInt(kOfxParamPropDisplayMax, max);
}

void Int2DParamDescriptor::setDefault(int x, int y) {
    props_.setIntN(kOfxParamPropDefault, {x, y});
}

void Int2DParamDescriptor::setRange(int xMin, int yMin, int xMax, int yMax) {
    props_.setIntN(kOfxParamPropMin, {xMin, yMin});
    props_.setIntN(kOfxParamPropMax, {xMax, yMax});
}

void Int2DParamDescriptor::setDisplayRange(int xMin, int yMin, int xMax, int yMax) {
    props_.setIntN(kOfxParamPropDisplayMin, {xMin, yMin});
    props_.setIntN(kOfxParamPropDisplayMax, {xMax, yMax});
}

void Int2DParamDescriptor::setDimensionLabels(const std::string& x, const std::string& y) {
    props_.setStringN(kOfxParamPropDimensionLabel, {x, y});
}

int IntParam::getValue() const {
    int value = 0;
    ParamSuiteCalls::getValue(handle_, getName(), &value);
    return value;
}

int IntParam::getValueAtTime(OfxTime time) const {
    int value = 0;
    ParamSuiteCalls::getValueAtTime(handle_, getName(), time, &value);
    return value;
}

void IntParam::setValue(int value) {
    ParamSuiteCalls::setValue(handle_, getName(), value);
}

void IntParam::setValueAtTime(OfxTime time, int value) {
    ParamSuiteCalls::setValueAtTime(handle_, getName(), time, value);
}

int IntParam::getDefault() const {
    return props_.getInt(kOfxParamPropDefault);
}

void IntParam::getRange(int& min, int& max) const {
    min = props_.getInt(kOfxParamPropMin);
    max = props_.getInt(kOfxParamPropMax);
}

void IntParam::getDisplayRange(int& min, int& max) const {
    min = props_.getInt(kOfxParamPropDisplayMin);
    max = props_.getInt(kOfxParamPropDisplayMax);
}

void IntParam::setRange(int min, int max) {
    props_.setInt(kOfxParamPropMin, min);
    props_.setInt(kOfxParamPropMax, max);
}

void IntParam::setDisplayRange(int min, int max) {
    props_.setInt(kOfxParamPropDisplayMin, min);
    props_.setInt(kOfxParamPropDisplayMax, max);
}

OfxPointI Int2DParam::getValue() const {
    OfxPointI value{0, 0};
    ParamSuiteCalls::getValue(handle_, getName(), &value.x, &value.y);
    return value;
}

OfxPointI Int2DParam::getValueAtTime(OfxTime time) const {
    OfxPointI value{0, 0};
    ParamSuiteCalls::getValueAtTime(handle_, getName(), time, &value.x, &value.y);
    return value;
}

void Int2DParam::setValue(int x, int y) {
    ParamSuiteCalls::setValue(handle_, getName(), x, y);
}

void Int2DParam::setValueAtTime(OfxTime time, int x, int y) {
    ParamSuiteCalls::setValueAtTime(handle_, getName(), time, x, y);
}

} // namespace OFX
