#include "overlays/VisibilityCondition.h"

#include <stdexcept>
#include <utility>

namespace {

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return std::string();
    }
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// The first single-character operator not followed by '='.
std::string::size_type findAlone(const std::string& text, char op) {
    for (auto at = text.find(op); at != std::string::npos; at = text.find(op, at + 1)) {
        if (at + 1 >= text.size() || text[at + 1] != '=') {
            return at;
        }
    }
    return std::string::npos;
}

double parseNumber(const std::string& text) {
    try {
        return std::stod(text);
    } catch (const std::invalid_argument&) {
        // The same message on every standard library.
        throw std::invalid_argument("invalid stod argument");
    }
}

} // namespace

VisibilityCondition VisibilityCondition::parse(const std::string& text) {
    using Op = Operator;
    const std::pair<const char*, Op> pairs[] = {
        {"!=", Op::NotEqual}, {"==", Op::Equal}, {">=", Op::GreaterEqual}, {"<=", Op::LessEqual}};
    std::string::size_type at = std::string::npos;
    std::string::size_type length = 0;
    Op op = Op::None;
    for (const auto& [symbol, which] : pairs) {
        at = text.find(symbol);
        if (at != std::string::npos) {
            op = which;
            length = 2;
            break;
        }
    }
    if (op == Op::None) {
        if ((at = findAlone(text, '>')) != std::string::npos) {
            op = Op::Greater;
        } else if ((at = findAlone(text, '<')) != std::string::npos) {
            op = Op::Less;
        }
        length = 1;
    }

    VisibilityCondition condition;
    if (op == Op::None) {
        condition.name = trimmed(text);
        return condition;
    }
    condition.name = trimmed(text.substr(0, at));
    condition.op = op;
    condition.number = parseNumber(trimmed(text.substr(at + length)));
    return condition;
}

bool VisibilityCondition::holdsFor(double value) const {
    switch (op) {
    case Operator::NotEqual:
        return value != number;
    case Operator::Equal:
        return value == number;
    case Operator::GreaterEqual:
        return value >= number;
    case Operator::LessEqual:
        return value <= number;
    case Operator::Greater:
        return value > number;
    case Operator::Less:
        return value < number;
    case Operator::None:
        break;
    }
    return value != 0.0;
}
