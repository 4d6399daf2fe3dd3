#pragma once

// The parameter suite's value calls are variadic: the C default promotions decide what a host
// reads, so every call below passes exactly int, double or const char* values and pointers to
// int, double or char*, as the value table of each parameter type says.

#include "ofx/ofxParam.h"
#include "ofx/support/Exception.h"
#include "ofx/support/HostSuites.h"

#include <string>

namespace OFX {
namespace ParamSuiteCalls {

inline const OfxParameterSuiteV1& suite() {
    return requireSuite(suites().parameter, kOfxParameterSuite);
}

template <class... Values>
void getValue(OfxParamHandle handle, const std::string& name, Values*... values) {
    throwIfFailed(suite().paramGetValue(handle, values...), "paramGetValue(" + name + ")");
}

template <class... Values>
void getValueAtTime(OfxParamHandle handle, const std::string& name, OfxTime time,
                    Values*... values) {
    throwIfFailed(suite().paramGetValueAtTime(handle, time, values...),
                  "paramGetValueAtTime(" + name + ")");
}

template <class... Values>
void setValue(OfxParamHandle handle, const std::string& name, Values... values) {
    throwIfFailed(suite().paramSetValue(handle, values...), "paramSetValue(" + name + ")");
}

template <class... Values>
void setValueAtTime(OfxParamHandle handle, const std::string& name, OfxTime time,
                    Values... values) {
    throwIfFailed(suite().paramSetValueAtTime(handle, time, values...),
                  "paramSetValueAtTime(" + name + ")");
}

template <class... Values>
void getDerivative(OfxParamHandle handle, const std::string& name, OfxTime time,
                   Values*... values) {
    throwIfFailed(suite().paramGetDerivative(handle, time, values...),
                  "paramGetDerivative(" + name + ")");
}

template <class... Values>
void getIntegral(OfxParamHandle handle, const std::string& name, OfxTime time1, OfxTime time2,
                 Values*... values) {
    throwIfFailed(suite().paramGetIntegral(handle, time1, time2, values...),
                  "paramGetIntegral(" + name + ")");
}

} // namespace ParamSuiteCalls
} // namespace OFX
