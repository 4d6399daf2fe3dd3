#pragma once

#include "ofx/support/PluginFactoryHelper.h"

namespace testplugin {

class TestPluginFactory : public OFX::PluginFactoryHelper<TestPluginFactory> {
public:
    TestPluginFactory();

    void describe(OFX::ImageEffectDescriptor& desc) override;
    void describeInContext(OFX::ImageEffectDescriptor& desc, OFX::ContextEnum context) override;
    OFX::ImageEffect* createInstance(OfxImageEffectHandle handle,
                                     OFX::ContextEnum context) override;
};

} // namespace testplugin
