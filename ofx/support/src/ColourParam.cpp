#include "ofx/support/ColourParam.h"

#include "ParamSuiteCalls.h"

namespace OFX {

void RGBParamDescriptor::setDefault(double r, double g, double b) {
    props_.setDoubleN(kOfxParamPropDefault, {r, g, b});
}

void RGBAParamDescriptor::setDefault(double r, double g, double b, double a) {
    props_.setDoubleN(kOfxParamPropDefault, {r, g, b, a});
}

OfxRGBColourD RGBParam::getValue() const {
    OfxRGBColourD value{0.0, 0.0, 0.0};
    ParamSuiteCalls::getValue(handle_, getName(), &value.r, &value.g, &value.b);
    return value;
}

OfxRGBColourD RGBParam::getValueAtTime(OfxTime time) const {
    OfxRGBColourD value{0.0, 0.0, 0.0};
    ParamSuiteCalls::getValueAtTime(handle_, getName(), time, &value.r, &value.g, &value.b);
    return value;
}

void RGBParam::setValue(double r, double g, double b) {
    ParamSuiteCalls::setValue(handle_, getName(), r, g, b);
}

void RGBParam::setValueAtTime(OfxTime time, double r, double g, double b) {
    ParamSuiteCalls::setValueAtTime(handle_, getName(), time, r, g, b);
}

OfxRGBAColourD RGBAParam::getValue() const {
    OfxRGBAColourD value{0.0, 0.0, 0.0, 0.0};
    ParamSuiteCalls::getValue(handle_, getName(), &value.r, &value.g, &value.b, &value.a);
    return value;
}

OfxRGBAColourD RGBAParam::getValueAtTime(OfxTime time) const {
    OfxRGBAColourD value{0.0, 0.0, 0.0, 0.0};
    ParamSuiteCalls::getValueAtTime(handle_, getName(), time, &value.r, &value.g, &value.b,
                                    &value.a);
    return value;
}

void RGBAParam::setValue(double r, double g, double b, double a) {
    ParamSuiteCalls::setValue(handle_, getName(), r, g, b, a);
}

void RGBAParam::setValueAtTime(OfxTime time, double r, double g, double b, double a) {
    ParamSuiteCalls::setValueAtTime(handle_, getName(), time, r, g, b, a);
}

} // namespace OFX
