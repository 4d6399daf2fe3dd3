#include "ofx/support/ParametricParam.h"

#include "ofx/ofxParametricParam.h"
#include "ofx/support/Exception.h"
#include "ofx/support/HostSuites.h"

namespace OFX {

namespace {

const OfxParametricParameterSuiteV1& parametricSuite() {
    return requireSuite(suites().parametric, kOfxParametricParameterSuite);
}

} // namespace

void ParametricParamDescriptor::setDimension(int curves) {
    props_.setInt(kOfxParamPropParametricDimension, curves);
}

void ParametricParamDescriptor::setRange(double min, double max) {
    props_.setDoubleN(kOfxParamPropParametricRange, {min, max});
}

void ParametricParamDescriptor::setUIColour(int curve, const OfxRGBColourD& colour) {
    props_.setDouble(kOfxParamPropParametricUIColour, colour.r, curve * 3);
    props_.setDouble(kOfxParamPropParametricUIColour, colour.g, curve * 3 + 1);
    props_.setDouble(kOfxParamPropParametricUIColour, colour.b, curve * 3 + 2);
}

void ParametricParamDescriptor::setDimensionLabel(int curve, const std::string& label) {
    props_.setString(kOfxParamPropDimensionLabel, label, curve);
}

OfxParamHandle ParametricParamDescriptor::describeHandle() const {
    // Descriptors have no parameter handle of their own: hosts take the descriptor's property
    // set as the handle for the curve calls made while describing.
    return reinterpret_cast<OfxParamHandle>(props_.handle());
}

void ParametricParamDescriptor::addControlPoint(int curve, OfxTime time, double key, double value,
                                                bool addKey) {
    throwIfFailed(parametricSuite().parametricParamAddControlPoint(describeHandle(), curve, time,
                                                                   key, value, addKey),
                  "parametricParamAddControlPoint(" + getName() + ")");
}

double ParametricParam::getValue(int curve, OfxTime time, double position) const {
    double value = 0.0;
    throwIfFailed(parametricSuite().parametricParamGetValue(handle_, curve, time, position, &value),
                  "parametricParamGetValue(" + getName() + ")");
    return value;
}

int ParametricParam::getNControlPoints(int curve, OfxTime time) const {
    int count = 0;
    throwIfFailed(parametricSuite().parametricParamGetNControlPoints(handle_, curve, time, &count),
                  "parametricParamGetNControlPoints(" + getName() + ")");
    return count;
}

std::pair<double, double> ParametricParam::getNthControlPoint(int curve, OfxTime time,
                                                              int nth) const {
    std::pair<double, double> point{0.0, 0.0};
    throwIfFailed(parametricSuite().parametricParamGetNthControlPoint(handle_, curve, time, nth,
                                                                      &point.first, &point.second),
                  "parametricParamGetNthControlPoint(" + getName() + ")");
    return point;
}

void ParametricParam::setNthControlPoint(int curve, OfxTime time, int nth, double key, double value,
                                         bool addKey) {
    throwIfFailed(parametricSuite().parametricParamSetNthControlPoint(handle_, curve, time, nth,
                                                                      key, value, addKey),
                  "parametricParamSetNthControlPoint(" + getName() + ")");
}

void ParametricParam::addControlPoint(int curve, OfxTime time, double key, double value,
                                      bool addKey) {
    throwIfFailed(
        parametricSuite().parametricParamAddControlPoint(handle_, curve, time, key, value, addKey),
        "parametricParamAddControlPoint(" + getName() + ")");
}

void ParametricParam::deleteControlPoint(int curve, int nth) {
    throwIfFailed(parametricSuite().parametricParamDeleteControlPoint(handle_, curve, nth),
                  "parametricParamDeleteControlPoint(" + getName() + ")");
}

void ParametricParam::deleteControlPoints(int curve) {
    throwIfFailed(parametricSuite().parametricParamDeleteAllControlPoints(handle_, curve),
                  "parametricParamDeleteAllControlPoints(" + getName() + ")");
}

} // namespace OFX
