#pragma once

#include <optional>
#include <string>

namespace ofxhost {

// How a parameter type stores its value and crosses the variadic value calls.
struct ParamTypeInfo {
    enum class Storage { None, Int, Double, Text, Parametric };
    Storage storage = Storage::None;
    // Values per get/set call (1 for text).
    int dimension = 0;
    bool animatesByDefault = false;
    // Integer-valued types are stepped between keys; doubles are interpolated.
    bool interpolated = false;

    bool hasValue() const { return storage != Storage::None && storage != Storage::Parametric; }
    bool isNumeric() const { return storage == Storage::Int || storage == Storage::Double; }

    // nullopt for a type name the host does not know.
    static std::optional<ParamTypeInfo> forType(const std::string& type);
};

} // namespace ofxhost
