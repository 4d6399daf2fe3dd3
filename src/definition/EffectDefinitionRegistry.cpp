#include "definition/EffectDefinitionRegistry.h"

#include "log/Logger.h"

EffectDefinitionRegistry& EffectDefinitionRegistry::instance() {
    static EffectDefinitionRegistry registry;
    return registry;
}

void EffectDefinitionRegistry::registerDefinition(const std::string& name,
                                                  const XMLEffectDefinition* definition) {
    if (definition == nullptr) {
        HALDEN_LOG_ERROR("EffectDefinitionRegistry::registerDefinition called with null "
                         "definition for %s",
                         name.c_str());
        return;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    definitions_[name] = definition;
    HALDEN_LOG_DEBUG("EffectDefinitionRegistry registered definition for '%s'", name.c_str());
}

const XMLEffectDefinition* EffectDefinitionRegistry::find(const std::string& name) const {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = definitions_.find(name);
    return found == definitions_.end() ? nullptr : found->second;
}
