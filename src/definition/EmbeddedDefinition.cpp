#include "definition/EmbeddedDefinition.h"

#include <cstddef>

// Generated at build time from halden_v01.xml.
extern const char kHaldenEmbeddedDefinitionText[];

const char* embeddedEffectDefinition() {
    return kHaldenEmbeddedDefinitionText;
}
