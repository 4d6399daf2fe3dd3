#pragma once

#include <string>

// A `visible_when` text: either the name of a boolean parameter, or a parameter name, a
// comparison operator and a number ("falloff_type != 0").
struct VisibilityCondition {
    enum class Operator { None, NotEqual, Equal, GreaterEqual, LessEqual, Greater, Less };

    std::string name;
    Operator op = Operator::None;
    double number = 0.0;

    // The first of "!=", "==", ">=", "<=", ">", "<" (in that order of preference) found in the
    // text splits it. Throws std::invalid_argument("invalid stod argument") when the right side
    // is not a number: that is an error of the definition, not of the user.
    static VisibilityCondition parse(const std::string& text);

    bool holdsFor(double value) const;
};
