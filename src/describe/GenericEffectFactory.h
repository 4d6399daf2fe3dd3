#pragma once

#include "definition/XMLEffectDefinition.h"
#include "describe/HostCapabilities.h"

#include "ofx/support/PluginFactoryHelper.h"

#include <string>

// The one plug-in of this library: owns the parsed definition and tells the host what the
// effect is, which clips and parameters it has, and how they are laid out.
class GenericEffectFactory : public OFX::PluginFactoryHelper<GenericEffectFactory> {
public:
    // Throws std::runtime_error("Failed to parse embedded XML") when the compiled-in
    // definition does not parse (a build defect).
    explicit GenericEffectFactory(const std::string& definitionPath);

    // Buffered log lines reach the file before the host lets the library go.
    void unload() override;
    void describe(OFX::ImageEffectDescriptor& desc) override;
    void describeInContext(OFX::ImageEffectDescriptor& desc, OFX::ContextEnum context) override;
    OFX::ImageEffect* createInstance(OfxImageEffectHandle handle,
                                     OFX::ContextEnum context) override;

    // "com.effectkit." + the definition file's stem.
    static std::string identifierFromPath(const std::string& definitionPath);

    const XMLEffectDefinition& definition() const { return definition_; }
    const HostCapabilities& hostCapabilities() const { return hostCapabilities_; }

private:
    void setupBasicProperties(OFX::ImageEffectDescriptor& desc);
    void setupGPUSupport(OFX::ImageEffectDescriptor& desc);
    void warmUpCuda();
    void describeOverlays(OFX::ImageEffectDescriptor& desc);

    XMLEffectDefinition definition_;
    std::string definitionPath_;
    std::string pluginIdentifier_;
    HostCapabilities hostCapabilities_;
};
