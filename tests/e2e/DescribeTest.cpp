// Describe and describe-in-context of the test plug-in, loaded from its bundle: the host holds
// every descriptor the plug-in declared, with the properties of the contract.

#include "TestPluginSession.h"

#include "ofx/ofxGPURender.h"
#include "ofx/ofxParametricParam.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using ofxhost::ImageEffect;
using ofxhost::Param;
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

TEST(TestPluginBundle, HoldsOneImageEffectWithTheContractIdentity) {
    TestPluginSession session;
    EXPECT_EQ(session.bundle.pluginCount(), 1u);
    EXPECT_TRUE(session.bundle.skipped().empty());
    EXPECT_EQ(session.plugin.identifier(), "org.halden.testplugin");
    EXPECT_EQ(session.plugin.versionMajor(), 1u);
    EXPECT_EQ(session.plugin.versionMinor(), 2u);
    EXPECT_EQ(ofxhost::PluginBundle::binaryPath(HALDEN_TEST_PLUGIN_BUNDLE).filename(),
              "halden_test_plugin.ofx");
}

TEST_F(Described, EffectDescriptorCarriesTheDeclaredCapabilities) {
    EXPECT_EQ(effect().getString(kOfxPropLabel), "Halden Test Effect");
    EXPECT_EQ(effect().getString(kOfxImageEffectPluginPropGrouping), "Halden Tests");
    EXPECT_EQ(effect().getString(kOfxPropPluginDescription), "Scales the source by a gain");
    EXPECT_EQ(
        effect().getStrings(kOfxImageEffectPropSupportedContexts),
        (std::vector<std::string>{kOfxImageEffectContextFilter, kOfxImageEffectContextGeneral}));
    EXPECT_EQ(effect().getStrings(kOfxImageEffectPropSupportedPixelDepths),
              (std::vector<std::string>{kOfxBitDepthFloat}));
    EXPECT_EQ(effect().getInt(kOfxImageEffectPropSupportsTiles), 0);
    EXPECT_EQ(effect().getString(kOfxImageEffectPluginRenderThreadSafety),
              kOfxImageEffectRenderFullySafe);
    EXPECT_EQ(effect().getInt(kOfxImageEffectPluginPropHostFrameThreading), 0);
    void* overlay = effect().getPointer(kOfxImageEffectPluginPropOverlayInteractV1);
    EXPECT_NE(overlay, nullptr);
    EXPECT_EQ(effect().getPointer(kOfxImageEffectPluginPropOverlayInteractV2), overlay);
    EXPECT_EQ(effect().getString(kOfxPluginPropFilePath), HALDEN_TEST_PLUGIN_BUNDLE);
}

TEST_F(Described, PluginFetchedTheCoreSuitesFromTheHost) {
    std::vector<std::string> fetched;
    for (const auto& request : session.host.recorder().suiteRequests()) {
        if (request.provided) {
            fetched.push_back(request.name);
        }
    }
    for (const char* suite : {kOfxPropertySuite, kOfxImageEffectSuite, kOfxParameterSuite}) {
        EXPECT_NE(std::find(fetched.begin(), fetched.end(), suite), fetched.end()) << suite;
    }
}

TEST_F(Described, ClipsAreDeclaredInOrderInEveryContext) {
    for (const char* context : {kOfxImageEffectContextFilter, kOfxImageEffectContextGeneral}) {
        const auto& clips = session.plugin.contextDescriptor(context).clips();
        ASSERT_EQ(clips.size(), 3u) << context;
        EXPECT_EQ(clips[0]->name(), "Source");
        EXPECT_EQ(clips[1]->name(), "Mask");
        EXPECT_EQ(clips[2]->name(), "Output");
        const PropertySet& source = clips[0]->properties();
        const PropertySet& mask = clips[1]->properties();
        const PropertySet& output = clips[2]->properties();
        EXPECT_EQ(source.getStrings(kOfxImageEffectPropSupportedComponents),
                  (std::vector<std::string>{kOfxImageComponentRGBA}));
        EXPECT_EQ(source.getInt(kOfxImageClipPropOptional), 0);
        EXPECT_EQ(mask.getStrings(kOfxImageEffectPropSupportedComponents),
                  (std::vector<std::string>{kOfxImageComponentAlpha}));
        EXPECT_EQ(mask.getInt(kOfxImageClipPropOptional), 1);
        EXPECT_EQ(mask.getInt(kOfxImageClipPropIsMask), 1);
        EXPECT_EQ(output.getStrings(kOfxImageEffectPropSupportedComponents),
                  (std::vector<std::string>{kOfxImageComponentRGBA}));
    }
}

TEST_F(Described, ParametersAreDeclaredInTheContractOrder) {
    std::vector<std::string> names;
    for (const auto& each : filter().params().params()) {
        names.push_back(each->name() + ":" + each->type());
    }
    EXPECT_EQ(names, (std::vector<std::string>{
                         "gain:" kOfxParamTypeDouble, "offset:" kOfxParamTypeInteger,
                         "invert:" kOfxParamTypeBoolean, "mode:" kOfxParamTypeChoice,
                         "tint:" kOfxParamTypeRGB, "tintAlpha:" kOfxParamTypeRGBA,
                         "center:" kOfxParamTypeDouble2D, "point3:" kOfxParamTypeDouble3D,
                         "note:" kOfxParamTypeString, "reset:" kOfxParamTypePushButton,
                         "curve:" kOfxParamTypeParametric, "fail_render:" kOfxParamTypeBoolean,
                         "Advanced:" kOfxParamTypeGroup, "Controls:" kOfxParamTypePage}));
}

TEST_F(Described, GainCarriesEveryDeclaredProperty) {
    const PropertySet& gain = param("gain");
    EXPECT_EQ(gain.getString(kOfxPropLabel), "Gain");
    EXPECT_EQ(gain.getString(kOfxParamPropHint), "Multiplies the source");
    EXPECT_EQ(gain.getDouble(kOfxParamPropDefault), 1.0);
    EXPECT_EQ(gain.getDouble(kOfxParamPropMin), 0.0);
    EXPECT_EQ(gain.getDouble(kOfxParamPropMax), 10.0);
    EXPECT_EQ(gain.getDouble(kOfxParamPropDisplayMin), 0.0);
    EXPECT_EQ(gain.getDouble(kOfxParamPropDisplayMax), 4.0);
    EXPECT_DOUBLE_EQ(gain.getDouble(kOfxParamPropIncrement), 0.1);
    EXPECT_EQ(gain.getInt(kOfxParamPropDigits), 2);
    EXPECT_EQ(gain.getInt(kOfxParamPropAnimates), 1);
    for (const char* declared : {kOfxParamPropHint, kOfxParamPropDefault, kOfxParamPropMax,
                                 kOfxParamPropDisplayMax, kOfxParamPropDigits}) {
        EXPECT_TRUE(gain.property(declared).setByPlugin()) << declared;
    }
}

TEST_F(Described, OtherParametersCarryTheirDefaultsRangesAndOptions) {
    EXPECT_EQ(param("offset").getInt(kOfxParamPropDefault), 0);
    EXPECT_EQ(param("offset").getInt(kOfxParamPropMin), -100);
    EXPECT_EQ(param("offset").getInt(kOfxParamPropMax), 100);
    EXPECT_EQ(param("invert").getInt(kOfxParamPropDefault), 0);
    EXPECT_EQ(param("mode").getStrings(kOfxParamPropChoiceOption),
              (std::vector<std::string>{"Multiply", "Add", "Screen"}));
    EXPECT_EQ(param("mode").getInt(kOfxParamPropDefault), 0);
    EXPECT_EQ(param("tint").getDoubles(kOfxParamPropDefault), (std::vector<double>{1, 1, 1}));
    EXPECT_EQ(param("tintAlpha").getDoubles(kOfxParamPropDefault),
              (std::vector<double>{1, 1, 1, 1}));
    EXPECT_EQ(param("center").getDoubles(kOfxParamPropDefault), (std::vector<double>{100, 100}));
    EXPECT_EQ(param("center").getString(kOfxParamPropDoubleType), kOfxParamDoubleTypeXYAbsolute);
    EXPECT_EQ(param("center").getString(kOfxParamPropDefaultCoordinateSystem),
              kOfxParamCoordinatesCanonical);
    EXPECT_EQ(param("point3").getDoubles(kOfxParamPropDefault), (std::vector<double>{0, 0, 0}));
    EXPECT_EQ(param("note").getString(kOfxParamPropDefault), "hello");
    EXPECT_EQ(param("curve").getInt(kOfxParamPropParametricDimension), 1);
    EXPECT_EQ(param("curve").getDoubles(kOfxParamPropParametricRange),
              (std::vector<double>{0.0, 1.0}));
    EXPECT_EQ(param("fail_render").getInt(kOfxParamPropDefault), 0);
}

TEST_F(Described, GroupAndPageOrganiseTheParameters) {
    for (const char* member : {"note", "curve", "fail_render"}) {
        EXPECT_EQ(param(member).getString(kOfxParamPropParent), "Advanced") << member;
    }
    EXPECT_EQ(param("gain").getString(kOfxParamPropParent), "");
    EXPECT_EQ(param("Controls").getStrings(kOfxParamPropPageChild),
              (std::vector<std::string>{"gain", "offset", "invert", "mode", "tint", "center",
                                        "Advanced"}));
}

} // namespace
