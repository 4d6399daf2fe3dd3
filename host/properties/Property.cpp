#include "host/properties/Property.h"

#include <utility>

namespace ofxhost {

const char* propertyTypeName(PropertyType type) {
    switch (type) {
    case PropertyType::Int:
        return "int";
    case PropertyType::Double:
        return "double";
    case PropertyType::String:
        return "string";
    case PropertyType::Pointer:
        return "pointer";
    }
    return "unknown";
}

Property::Property(std::string name, PropertyType type, int dimension,
                   std::vector<PropertyValue> defaults, bool hostOnly)
    : name_(std::move(name)), type_(type), dimension_(dimension), defaults_(std::move(defaults)),
      hostOnly_(hostOnly) {
    // A fixed-size property always holds exactly its dimension: pad missing defaults with zero.
    const PropertyValue zero = type == PropertyType::Int      ? PropertyValue(0)
                               : type == PropertyType::Double ? PropertyValue(0.0)
                               : type == PropertyType::String ? PropertyValue(std::string())
                                                              : PropertyValue(nullptr);
    if (dimension_ > 0) {
        defaults_.resize(static_cast<size_t>(dimension_), zero);
    }
    values_ = defaults_;
}

bool Property::holds(const PropertyValue& value) const {
    switch (type_) {
    case PropertyType::Int:
        return std::holds_alternative<int>(value);
    case PropertyType::Double:
        return std::holds_alternative<double>(value);
    case PropertyType::String:
        return std::holds_alternative<std::string>(value);
    case PropertyType::Pointer:
        return std::holds_alternative<void*>(value);
    }
    return false;
}

} // namespace ofxhost
