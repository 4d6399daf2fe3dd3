#pragma once

#include "host/params/Param.h"
#include "host/params/ParamValue.h"

#include <string>

namespace ofxhost {

// Turns the VALUE of --set NAME=VALUE into a parameter value, checked against the parameter's
// descriptor: numbers (x,y and r,g,b[,a] lists for the multi-dimensional types) inside the
// declared range, booleans as true/false, 1/0, on/off or yes/no, choices as an option's exact
// text or its index, strings as they are. Throws UsageError naming the parameter and value.
class ParamValueParser {
public:
    static ParamValue parse(const Param& param, const std::string& text);

private:
    static ParamValue parseNumbers(const Param& param, const std::string& text);
    static ParamValue parseChoice(const Param& param, const std::string& text);
    static ParamValue parseStringChoice(const Param& param, const std::string& text);
    static void checkRange(const Param& param, const std::string& text, const ParamValue& value);
};

} // namespace ofxhost
