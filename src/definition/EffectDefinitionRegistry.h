#pragma once

#include "definition/XMLEffectDefinition.h"

#include <map>
#include <mutex>
#include <string>

// Process-wide map from effect name to the definition its factory parsed. Does not own the
// definitions; a factory's definition lives as long as the factory.
class EffectDefinitionRegistry {
public:
    static EffectDefinitionRegistry& instance();

    // A null definition is refused with an ERROR line; a known name is replaced.
    void registerDefinition(const std::string& name, const XMLEffectDefinition* definition);
    const XMLEffectDefinition* find(const std::string& name) const;

private:
    mutable std::mutex mutex_;
    std::map<std::string, const XMLEffectDefinition*> definitions_;
};
