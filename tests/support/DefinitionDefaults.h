#pragma once

#include "definition/XMLEffectDefinition.h"
#include "presets/PresetValue.h"

namespace testenv {

// The scalar and 2-D parameters of a definition at their defaults, as the instance reads them.
inline PresetValues definitionDefaults(const XMLEffectDefinition& definition) {
    PresetValues values;
    for (const ParameterDef& p : definition.parameters()) {
        if (p.type == "float" || p.type == "double") {
            values[p.name] = PresetValue::number(p.defaultValue);
        } else if (p.type == "int" || p.type == "choice") {
            values[p.name] = PresetValue::integer(int(p.defaultValue));
        } else if (p.type == "bool") {
            values[p.name] = PresetValue::boolean(p.boolDefault);
        } else if (p.type == "vec2" && p.components.size() >= 2) {
            values[p.name] =
                PresetValue::vec2(p.components[0].defaultValue, p.components[1].defaultValue);
        }
    }
    return values;
}

} // namespace testenv
