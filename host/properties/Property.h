#pragma once

#include <string>
#include <variant>
#include <vector>

namespace ofxhost {

enum class PropertyType { Int, Double, String, Pointer };

using PropertyValue = std::variant<int, double, std::string, void*>;

const char* propertyTypeName(PropertyType type);

// One named, typed array of values with its default. A dimension of 0 means "any number of
// values" (the plug-in may grow or shrink it); otherwise the array always has that many.
class Property {
public:
    Property(std::string name, PropertyType type, int dimension,
             std::vector<PropertyValue> defaults, bool hostOnly);

    const std::string& name() const { return name_; }
    PropertyType type() const { return type_; }
    int dimension() const { return dimension_; }
    bool isVariable() const { return dimension_ == 0; }
    // Host-owned: the plug-in may read it but not write it.
    bool hostOnly() const { return hostOnly_; }
    // True once the plug-in has written it, so records can tell declarations from defaults.
    bool setByPlugin() const { return setByPlugin_; }
    void markSetByPlugin() { setByPlugin_ = true; }

    int size() const { return static_cast<int>(values_.size()); }
    const std::vector<PropertyValue>& values() const { return values_; }
    std::vector<PropertyValue>& values() { return values_; }
    const std::vector<PropertyValue>& defaults() const { return defaults_; }
    void reset() { values_ = defaults_; }

    bool holds(const PropertyValue& value) const;

private:
    std::string name_;
    PropertyType type_;
    int dimension_;
    std::vector<PropertyValue> defaults_;
    std::vector<PropertyValue> values_;
    bool hostOnly_;
    bool setByPlugin_ = false;
};

} // namespace ofxhost
