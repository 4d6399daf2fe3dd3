#include "ofx/support/DoubleParam.h"

#include "ParamSuiteCalls.h"

namespace OFX {

void BaseDoubleParamDescriptor::setDoubleType(DoubleTypeEnum type) {
    props_.setString(kOfxParamPropDoubleType, mapDoubleTypeToString(type));
}

void BaseDoubleParamDescriptor::setDefaultCoordinateSystem(CoordinateSystemEnum system) {
    props_.setString(kOfxParamPropDefaultCoordinateSystem, mapCoordinateSystemToString(system));
}

void BaseDoubleParamDescriptor::setIncrement(double increment) {
    props_.setDouble(kOfxParamPropIncrement, increment);
}

void BaseDoubleParamDescriptor::setDigits(int digits) {
    props_.setInt(kOfxParamPropDigits, digits);
}

void DoubleParamDescriptor::setDefault(double value) {
    props_.setDouble(kOfxParamPropDefault, value);
}

void DoubleParamDescriptor::setRange(double min, double max) {
    props_.setDouble(kOfxParamPropMin, min);
    props_.setDouble(kOfxParamPropMax, max);
}

void DoubleParamDescriptor::setDisplayRange(double min, double max) {
    props_.setDouble(kOfxParamPropDisplayMin, min);
    props_.setDouble(kOfxParamPropDisplayMax, max);
}

void DoubleParamDescriptor::setShowTimeMarker(bool show) {
    props_.setInt(kOfxParamPropShowTimeMarker, show ? 1 : 0);
}

void Double2DParamDescriptor::setDefault(double x, double y) {
    props_.setDoubleN(kOfxParamPropDefault, {x, y});
}

void Double2DParamDescriptor::setRange(double xMin, double yMin, double xMax, double yMax) {
    props_.setDoubleN(kOfxParamPropMin, {xMin, yMin});
    props_.setDoubleN(kOfxParamPropMax, {xMax, yMax});
}

void Double2DParamDescriptor::setDisplayRange(double xMin, double yMin, double xMax, double yMax) {
    props_.setDoubleN(kOfxParamPropDisplayMin, {xMin, yMin});
    props_.setDoubleN(kOfxParamPropDisplayMax, {xMax, yMax});
}

void Double2DParamDescriptor::setDimensionLabels(const std::string& x, const std::string& y) {
    props_.setStringN(kOfxParamPropDimensionLabel, {x, y});
}

void Double3DParamDescriptor::setDefault(double x, double y, double z) {
    props_.setDoubleN(kOfxParamPropDefault, {x, y, z});
}

void Double3DParamDescriptor::setRange(double xMin, double yMin, double zMin, double xMax,
                                       double yMax, double zMax) {
    props_.setDoubleN(kOfxParamPropMin, {xMin, yMin, zMin});
    props_.setDoubleN(kOfxParamPropMax, {xMax, yMax, zMax});
}

void Double3DParamDescriptor::setDisplayRange(double xMin, double yMin, double zMin, double xMax,
                                              double yMax, double zMax) {
    props_.setDoubleN(kOfxParamPropDisplayMin, {xMin, yMin, zMin});
    props_.setDoubleN(kOfxParamPropDisplayMax, {xMax, yMax, zMax});
}

void Double3DParamDescriptor::setDimensionLabels(const std::string& x, const std::string& y,
                                                 const std::string& z) {
    props_.setStringN(kOfxParamPropDimensionLabel, {x, y, z});
}

double DoubleParam::getValue() const {
    double value = 0.0;
    ParamSuiteCalls::getValue(handle_, getName(), &value);
    return value;
}

double DoubleParam::getValueAtTime(OfxTime time) const {
    double value = 0.0;
    ParamSuiteCalls::getValueAtTime(handle_, getName(), time, &value);
    return value;
}

void DoubleParam::setValue(double value) {
    ParamSuiteCalls::setValue(handle_, getName(), value);
}

void DoubleParam::setValueAtTime(OfxTime time, double value) {
    ParamSuiteCalls::setValueAtTime(handle_, getName(), time, value);
}

double DoubleParam::getDerivative(OfxTime time) const {
    double value = 0.0;
    ParamSuiteCalls::getDerivative(handle_, getName(), time, &value);
    return value;
}

double DoubleParam::getIntegral(OfxTime time1, OfxTime time2) const {
    double value = 0.0;
    ParamSuiteCalls::getIntegral(handle_, getName(), time1, time2, &value);
    return value;
}

double DoubleParam::getDefault() const {
    return props_.getDouble(kOfxParamPropDefault);
}

void DoubleParam::getRange(double& min, double& max) const {
    min = props_.getDouble(kOfxParamPropMin);
    max = props_.getDouble(kOfxParamPropMax);
}

void DoubleParam::getDisplayRange(double& min, double& max) const {
    min = props_.getDouble(kOfxParamPropDisplayMin);
    max = props_.getDouble(kOfxParamPropDisplayMax);
}

void DoubleParam::setRange(double min, double max) {
    props_.setDouble(kOfxParamPropMin, min);
    props_.setDouble(kOfxParamPropMax, max);
}

void DoubleParam::setDisplayRange(double min, double max) {
    props_.setDouble(kOfxParamPropDisplayMin, min);
    props_.setDouble(kOfxParamPropDisplayMax, max);
}

OfxPointD Double2DParam::getValue() const {
    OfxPointD value{0.0, 0.0};
    ParamSuiteCalls::getValue(handle_, getName(), &value.x, &value.y);
    return value;
}

OfxPointD Double2DParam::getValueAtTime(OfxTime time) const {
    OfxPointD value{0.0, 0.0};
    ParamSuiteCalls::getValueAtTime(handle_, getName(), time, &value.x, &value.y);
    return value;
}

void Double2DParam::setValue(double x, double y) {
    ParamSuiteCalls::setValue(handle_, getName(), x, y);
}

void Double2DParam::setValueAtTime(OfxTime time, double x, double y) {
    ParamSuiteCalls::setValueAtTime(handle_, getName(), time, x, y);
}

OfxPointD Double2DParam::getDefault() const {
    return OfxPointD{props_.getDouble(kOfxParamPropDefault, 0),
                     props_.getDouble(kOfxParamPropDefault, 1)};
}

void Double3DParam::getValue(double& x, double& y, double& z) const {
    ParamSuiteCalls::getValue(handle_, getName(), &x, &y, &z);
}

void Double3DParam::getValueAtTime(OfxTime time, double& x, double& y, double& z) const {
    ParamSuiteCalls::getValueAtTime(handle_, getName(), time, &x, &y, &z);
}

void Double3DParam::setValue(double x, double y, double z) {
    ParamSuiteCalls::setValue(handle_, getName(), x, y, z);
}

void Double3DParam::setValueAtTime(OfxTime time, double x, double y, double z) {
    ParamSuiteCalls::setValueAtTime(handle_, getName(), time, x, y, z);
}

} // namespace OFX
