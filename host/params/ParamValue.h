#pragma once

#include <string>
#include <utility>
#include <vector>

namespace ofxhost {

// One value of a parameter: its numbers (one per dimension; integers, booleans and choice
// indices are stored as whole doubles) or its text (string, custom and string-choice types).
struct ParamValue {
    std::vector<double> numbers;
    std::string text;

    static ParamValue of(double number) { return ParamValue{{number}, {}}; }
    static ParamValue of(std::vector<double> numbers) { return ParamValue{std::move(numbers), {}}; }
    static ParamValue ofText(std::string text) { return ParamValue{{}, std::move(text)}; }

    bool operator==(const ParamValue& other) const {
        return numbers == other.numbers && text == other.text;
    }
    bool operator!=(const ParamValue& other) const { return !(*this == other); }
};

} // namespace ofxhost
