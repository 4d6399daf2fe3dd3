#include "host/cli/ParamValueParser.h"

#include "host/cli/CommandLine.h"

#include "ofx/ofxParam.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <sstream>
#include <vector>

namespace ofxhost {

namespace {

std::string trimmed(const std::string& text) {
    const auto notSpace = [](unsigned char c) { return !std::isspace(c); };
    const auto begin = std::find_if(text.begin(), text.end(), notSpace);
    const auto end = std::find_if(text.rbegin(), text.rend(), notSpace).base();
    return begin < end ? std::string(begin, end) : std::string();
}

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::vector<std::string> splitCommas(const std::string& text) {
    std::vector<std::string> parts;
    std::stringstream in(text);
    std::string part;
    while (std::getline(in, part, ',')) {
        parts.push_back(trimmed(part));
    }
    if (!text.empty() && text.back() == ',') {
        parts.emplace_back();
    }
    return parts;
}

bool parseDouble(const std::string& text, double& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size() && std::isfinite(value);
}

bool parseWhole(const std::string& text, double& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    const long long number = std::strtoll(text.c_str(), &end, 10);
    if (end != text.c_str() + text.size() || number < std::numeric_limits<int>::min() ||
        number > std::numeric_limits<int>::max()) {
        return false;
    }
    value = static_cast<double>(number);
    return true;
}

std::string formatNumber(double value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

[[noreturn]] void badValue(const Param& param, const std::string& text, const std::string& why) {
    throw UsageError("bad value '" + text + "' for parameter " + param.name() + ": " + why);
}

} // namespace

ParamValue ParamValueParser::parse(const Param& param, const std::string& text) {
    const std::string& type = param.type();
    if (type == kOfxParamTypePushButton) {
        throw UsageError("parameter " + param.name() + " is a push button: use --press " +
                         param.name());
    }
    if (type == kOfxParamTypeGroup || type == kOfxParamTypePage) {
        throw UsageError("parameter " + param.name() + " is a group and has no value");
    }
    if (!param.info().hasValue()) {
        throw UsageError("parameter " + param.name() + " (" + type +
                         ") cannot be set from the command line");
    }
    if (type == kOfxParamTypeBoolean) {
        const std::string word = lower(trimmed(text));
        if (word == "true" || word == "1" || word == "on" || word == "yes") {
            return ParamValue::of(1.0);
        }
        if (word == "false" || word == "0" || word == "off" || word == "no") {
            return ParamValue::of(0.0);
        }
        badValue(param, text, "expected true or false");
    }
    if (type == kOfxParamTypeChoice) {
        return parseChoice(param, text);
    }
    if (type == kOfxParamTypeStrChoice) {
        return parseStringChoice(param, text);
    }
    if (param.info().storage == ParamTypeInfo::Storage::Text) {
        return ParamValue::ofText(text);
    }
    ParamValue value = parseNumbers(param, text);
    checkRange(param, text, value);
    return value;
}

ParamValue ParamValueParser::parseNumbers(const Param& param, const std::string& text) {
    const int dimension = param.info().dimension;
    const bool whole = param.info().storage == ParamTypeInfo::Storage::Int;
    const std::vector<std::string> parts = splitCommas(text);
    if (static_cast<int>(parts.size()) != dimension) {
        const std::string expected = dimension == 1
                                         ? std::string(whole ? "a whole number" : "a number")
                                         : std::to_string(dimension) + " comma-separated " +
                                               (whole ? "whole numbers" : "numbers");
        badValue(param, text, "expected " + expected);
    }
    ParamValue value;
    for (const std::string& part : parts) {
        double number = 0.0;
        if (!(whole ? parseWhole(part, number) : parseDouble(part, number))) {
            badValue(param, text,
                     "'" + part + "' is not " + (whole ? "a whole number" : "a number"));
        }
        value.numbers.push_back(number);
    }
    return value;
}

void ParamValueParser::checkRange(const Param& param, const std::string& text,
                                  const ParamValue& value) {
    const PropertySet& props = param.properties();
    if (!props.has(kOfxParamPropMin) || !props.has(kOfxParamPropMax)) {
        return;
    }
    const bool whole = param.info().storage == ParamTypeInfo::Storage::Int;
    for (size_t i = 0; i < value.numbers.size(); ++i) {
        const int index = static_cast<int>(i);
        const double min = whole ? props.getInt(kOfxParamPropMin, index)
                                 : props.getDouble(kOfxParamPropMin, index);
        const double max = whole ? props.getInt(kOfxParamPropMax, index)
                                 : props.getDouble(kOfxParamPropMax, index);
        if (value.numbers[i] < min || value.numbers[i] > max) {
            std::string where = value.numbers.size() > 1
                                    ? " (component " + std::to_string(i + 1) + ")"
                                    : std::string();
            throw UsageError("value '" + text + "' for parameter " + param.name() +
                             " is out of range" + where + ": the allowed range is " +
                             formatNumber(min) + " to " + formatNumber(max));
        }
    }
}

ParamValue ParamValueParser::parseChoice(const Param& param, const std::string& text) {
    const std::vector<std::string> options =
        param.properties().getStrings(kOfxParamPropChoiceOption);
    const auto found = std::find(options.begin(), options.end(), text);
    if (found != options.end()) {
        return ParamValue::of(static_cast<double>(found - options.begin()));
    }
    double index = 0.0;
    if (parseWhole(trimmed(text), index) && index >= 0.0 &&
        index < static_cast<double>(options.size())) {
        return ParamValue::of(index);
    }
    std::string known;
    for (size_t i = 0; i < options.size(); ++i) {
        known += (i == 0 ? "" : ", ") + std::to_string(i) + " '" + options[i] + "'";
    }
    badValue(param, text, "expected one of " + known);
}

ParamValue ParamValueParser::parseStringChoice(const Param& param, const std::string& text) {
    const std::vector<std::string> options =
        param.properties().getStrings(kOfxParamPropChoiceOption);
    if (std::find(options.begin(), options.end(), text) != options.end()) {
        return ParamValue::ofText(text);
    }
    std::string known;
    for (size_t i = 0; i < options.size(); ++i) {
        known += (i == 0 ? "'" : ", '") + options[i] + "'";
    }
    badValue(param, text, "expected one of " + known);
}

} // namespace ofxhost
