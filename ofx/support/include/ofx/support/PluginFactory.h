#pragma once

#include "ofx/ofxImageEffect.h"
#include "ofx/support/Enums.h"

#include <string>
#include <vector>

namespace OFX {

class ImageEffect;
class ImageEffectDescriptor;

// One effect a binary offers. Derive through PluginFactoryHelper<T>, which supplies the entry
// point; the support layer calls the virtual functions from the host's actions.
class PluginFactory {
public:
    PluginFactory(const std::string& identifier, unsigned int versionMajor,
                  unsigned int versionMinor);
    virtual ~PluginFactory() = default;
    PluginFactory(const PluginFactory&) = delete;
    PluginFactory& operator=(const PluginFactory&) = delete;

    virtual void load() {}
    virtual void unload() {}
    virtual void describe(ImageEffectDescriptor& desc) = 0;
    virtual void describeInContext(ImageEffectDescriptor& desc, ContextEnum context) = 0;
    // The returned instance is owned by the support layer (deleted on DestroyInstance).
    virtual ImageEffect* createInstance(OfxImageEffectHandle handle, ContextEnum context) = 0;

    const std::string& getPluginIdentifier() const { return identifier_; }
    // Identifier and version together: what the entry point is keyed by.
    const std::string& getUID() const { return uid_; }
    unsigned int getVersionMajor() const { return versionMajor_; }
    unsigned int getVersionMinor() const { return versionMinor_; }
    virtual OfxPluginEntryPoint* getMainEntry() const = 0;

    static std::string makeUID(const std::string& identifier, unsigned int versionMajor,
                               unsigned int versionMinor);

private:
    std::string identifier_;
    std::string uid_;
    unsigned int versionMajor_;
    unsigned int versionMinor_;
};

// The factories, in the order the host sees them. Factories are not owned: keep them alive
// for the life of the binary (a function-level static is the usual way).
using PluginFactoryArray = std::vector<PluginFactory*>;

namespace Plugin {
// Defined by the plug-in: appends its factories. Called once, on the host's first call of
// OfxGetNumberOfPlugins or OfxGetPlugin.
void getPluginIDs(PluginFactoryArray& ids);
} // namespace Plugin

} // namespace OFX
