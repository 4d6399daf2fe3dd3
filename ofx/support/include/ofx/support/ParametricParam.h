#pragma once

#include "ofx/ofxPixels.h"
#include "ofx/support/Param.h"
#include "ofx/support/ParamDescriptor.h"

#include <string>
#include <utility>

namespace OFX {

// A set of curves over a parametric range, edited through the parametric parameter suite.
class ParametricParamDescriptor : public ValueParamDescriptor {
public:
    using ValueParamDescriptor::ValueParamDescriptor;

    void setDimension(int curves);
    void setRange(double min, double max);
    void setUIColour(int curve, const OfxRGBColourD& colour);
    void setDimensionLabel(int curve, const std::string& label);
    // Default shape of a curve; points added here carry no animation key.
    void addControlPoint(int curve, OfxTime time, double key, double value, bool addKey);

private:
    OfxParamHandle describeHandle() const;
};

class ParametricParam : public ValueParam {
public:
    using ValueParam::ValueParam;

    double getValue(int curve, OfxTime time, double position) const;
    int getNControlPoints(int curve, OfxTime time) const;
    // (key, value) of the nth point.
    std::pair<double, double> getNthControlPoint(int curve, OfxTime time, int nth) const;
    void setNthControlPoint(int curve, OfxTime time, int nth, double key, double value,
                            bool addKey);
    void addControlPoint(int curve, OfxTime time, double key, double value, bool addKey);
    void deleteControlPoint(int curve, int nth);
    void deleteControlPoints(int curve);
};

} // namespace OFX
