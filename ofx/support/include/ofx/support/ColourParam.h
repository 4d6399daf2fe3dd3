#pragma once

#include "ofx/ofxPixels.h"
#include "ofx/support/Param.h"
#include "ofx/support/ParamDescriptor.h"

namespace OFX {

// Colour components are doubles, nominally 0..1.
class RGBParamDescriptor : public ValueParamDescriptor {
public:
    using ValueParamDescriptor::ValueParamDescriptor;

    void setDefault(double r, double g, double b);
};

class RGBAParamDescriptor : public ValueParamDescriptor {
public:
    using ValueParamDescriptor::ValueParamDescriptor;

    void setDefault(double r, double g, double b, double a);
};

class RGBParam : public ValueParam {
public:
    using ValueParam::ValueParam;

    OfxRGBColourD getValue() const;
    OfxRGBColourD getValueAtTime(OfxTime time) const;
    void setValue(double r, double g, double b);
    void setValueAtTime(OfxTime time, double r, double g, double b);
};

class RGBAParam : public ValueParam {
public:
    using ValueParam::ValueParam;

    OfxRGBAColourD getValue() const;
    OfxRGBAColourD getValueAtTime(OfxTime time) const;
    void setValue(double r, double g, double b, double a);
    void setValueAtTime(OfxTime time, double r, double g, double b, double a);
};

} // namespace OFX
