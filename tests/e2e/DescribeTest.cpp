// Describe and describe-in-context of the test plug-in, loaded from its bundle: the host holds
// every descriptor the plug-in declared, with the properties of the contract.

#include "TestPluginSession.h"

#include "ofx/ofxGPURender.h"
#include "ofx/ofxParametricParam.h"

#include <gtest/gtest.h>

namespace {

using ofxhost::ImageEffect;
using ofxhost::PropertySet;
using teste2e::TestPluginSession;

class Described : public ::testing::Test {
protected:
    Described() {
        EXPECT_EQ(session.plugin.describe(), kOfxStatOK);
        EXPECT_EQ(session.plugin.describeInContext(kOfxImageEffectContextFilter), kOfxStatOK);
        EXPECT_EQ(session.plugin.describeInContext(kOfxImageEffectContextGeneral), kOfxStatOK);
    }

    const PropertySet& effect() { return session.plugin.descriptor().properties(); }
    ImageEffect& filter() { return session.plugin.contextDescriptor(kOfxImageEffectContextFilter); }
    const PropertySet& param(const std::string& name) {
        return filter().params().get(name).properties();
    }

    TestPluginSession session;
};

// The values themselves, identifier and version among them, are checked through halden-render
// --describe (DescribeCommandTest.cpp); here, what only the host's records show.
TEST_F(Described, TheBundleHoldsOneEffectCarryingTheDeclaredCapabilities) {
    EXPECT_EQ(session.bundle.pluginCount(), 1u);
    EXPECT_TRUE(session.bundle.skipped().empty());
    EXPECT_EQ(ofxhost::PluginBundle::binaryPath(HALDEN_TEST_PLUGIN_BUNDLE).filename(),
              "halden_test_plugin.ofx");
    EXPECT_EQ(effect().getInt(kOfxImageEffectPluginPropHostFrameThreading), 0);
    void* overlay = effect().getPointer(kOfxImageEffectPluginPropOverlayInteractV1);
    EXPECT_NE(overlay, nullptr);
    EXPECT_EQ(effect().getPointer(kOfxImageEffectPluginPropOverlayInteractV2), overlay);
    EXPECT_EQ(effect().getString(kOfxPluginPropFilePath), HALDEN_TEST_PLUGIN_BUNDLE);
}

TEST_F(Described, ParametersKeepWhatThePluginSetAndWhatDescribeDoesNotPrint) {
    const PropertySet& gain = param("gain");
    EXPECT_EQ(gain.getInt(kOfxParamPropAnimates), 1);
    for (const char* declared : {kOfxParamPropHint, kOfxParamPropDefault, kOfxParamPropMax,
                                 kOfxParamPropDisplayMax, kOfxParamPropDigits}) {
        EXPECT_TRUE(gain.property(declared).setByPlugin()) << declared;
    }
    EXPECT_EQ(param("center").getString(kOfxParamPropDoubleType), kOfxParamDoubleTypeXYAbsolute);
    EXPECT_EQ(param("center").getString(kOfxParamPropDefaultCoordinateSystem),
              kOfxParamCoordinatesCanonical);
    EXPECT_EQ(param("curve").getInt(kOfxParamPropParametricDimension), 1);
    EXPECT_EQ(param("curve").getDoubles(kOfxParamPropParametricRange),
              (std::vector<double>{0.0, 1.0}));
}

} // namespace
