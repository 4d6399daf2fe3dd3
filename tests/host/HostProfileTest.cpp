// What each host profile tells a plug-in: its OFX name, the features in its property set and
// the suites fetchSuite hands out.

#include "host/effect/ImageEffect.h"
#include "host/plugin/Host.h"
#include "host/suites/MultiThreadSuite.h"

#include "ofx/ofxDrawSuite.h"
#include "ofx/ofxGPURender.h"
#include "ofx/ofxImageEffect.h"
#include "ofx/ofxParametricParam.h"
#include "ofx/ofxProperty.h"

#include <gtest/gtest.h>

namespace {

using ofxhost::Host;
using ofxhost::HostProfile;

const char* const kCudaHost = "DaVinciResolve";
const char* const kHostWithoutDrawSuite = "uk.co.thefoundry.nuke";

TEST(HostProfile, PresetsAreFoundByShortOrOfxNameAndOnlyOneRendersCudaOnStreams) {
    const std::pair<const char*, const char*> presets[] = {{"resolve", kCudaHost},
                                                           {"nuke", kHostWithoutDrawSuite},
                                                           {"flame", "com.autodesk.flame"},
                                                           {"strict", "org.halden.strict"}};
    std::vector<std::string> shortNames;
    for (const auto& [shortName, ofxName] : presets) {
        shortNames.push_back(shortName);
        for (const std::string name : {shortName, ofxName}) {
            const HostProfile profile = HostProfile::forName(name);
            EXPECT_EQ(profile.name, ofxName) << name;
            EXPECT_EQ(profile.strict, std::string(shortName) == "strict") << name;
            EXPECT_TRUE(profile.supportsOverlays) << name;
            EXPECT_NE(profile.maxPages, 0) << name;
            EXPECT_EQ(profile.cudaRender, profile.name == kCudaHost) << name;
            EXPECT_EQ(profile.cudaStream, profile.name == kCudaHost) << name;
        }
    }
    EXPECT_EQ(HostProfile::presetNames(), shortNames);
    EXPECT_EQ(HostProfile::forName("com.example.viewer").name, "com.example.viewer");
    EXPECT_FALSE(HostProfile::forName("com.example.viewer").cudaRender);
}

TEST(Host, DescribesItselfThroughItsPropertySet) {
    HostProfile profile = HostProfile::forName(kCudaHost);
    profile.maxPages = 5;
    profile.pageColumns = 2;
    profile.pageRows = 9;
    Host host(profile);
    const auto& props = host.properties();
    EXPECT_EQ(props.getString(kOfxPropName), "DaVinciResolve");
    EXPECT_EQ(props.getString(kOfxPropType), kOfxTypeImageEffectHost);
    EXPECT_EQ(props.getInt(kOfxImageEffectPropSupportsOverlays), 1);
    EXPECT_EQ(props.getInt(kOfxParamHostPropMaxPages), 5);
    EXPECT_EQ(props.getInts(kOfxParamHostPropPageRowColumnCount), (std::vector<int>{2, 9}));
    EXPECT_EQ(props.getString(kOfxImageEffectPropCudaRenderSupported), "true");
    EXPECT_EQ(props.getString(kOfxImageEffectPropCudaStreamSupported), "true");
    EXPECT_EQ(Host::fromHandle(host.ofxHost()->host), &host);
}

TEST(Host, StreamsAreNeverOfferedWithoutCudaRendering) {
    HostProfile profile = HostProfile::generic("org.halden.tests");
    profile.cudaRender = false;
    profile.cudaStream = true;
    Host host(profile);
    EXPECT_EQ(host.properties().getString(kOfxImageEffectPropCudaStreamSupported), "false");
}

const void* fetch(Host& host, const char* suite, int version) {
    return host.ofxHost()->fetchSuite(host.ofxHost()->host, suite, version);
}

TEST(Host, HandsOutOnlyTheSuitesItsProfileOffers) {
    Host full(HostProfile::generic("org.halden.tests"));
    for (const char* suite :
         {kOfxPropertySuite, kOfxImageEffectSuite, kOfxParameterSuite, kOfxMemorySuite,
          kOfxMultiThreadSuite, kOfxMessageSuite, kOfxInteractSuite, kOfxDrawSuite,
          kOfxParametricParameterSuite, "OfxProgressSuite", "OfxTimeLineSuite"}) {
        EXPECT_NE(fetch(full, suite, 1), nullptr) << suite;
    }
    EXPECT_EQ(fetch(full, kOfxMessageSuite, 2), fetch(full, kOfxMessageSuite, 1));
    EXPECT_NE(fetch(full, "OfxProgressSuite", 2), fetch(full, "OfxProgressSuite", 1));
    EXPECT_EQ(fetch(full, kOfxPropertySuite, 2), nullptr);
    EXPECT_EQ(fetch(full, kOfxOpenGLRenderSuite, 1), nullptr);
    EXPECT_EQ(fetch(full, "NoSuchSuite", 1), nullptr);

    Host withoutDrawSuite(HostProfile::forName(kHostWithoutDrawSuite));
    EXPECT_EQ(fetch(withoutDrawSuite, kOfxDrawSuite, 1), nullptr);
    EXPECT_NE(fetch(withoutDrawSuite, kOfxInteractSuite, 1), nullptr);

    HostProfile noOverlays = HostProfile::forName(kCudaHost);
    noOverlays.supportsOverlays = false;
    Host plain(noOverlays);
    EXPECT_EQ(fetch(plain, kOfxDrawSuite, 1), nullptr);
    EXPECT_EQ(fetch(plain, kOfxInteractSuite, 1), nullptr);
    EXPECT_EQ(plain.properties().getInt(kOfxImageEffectPropSupportsOverlays), 0);

    HostProfile sequential = HostProfile::generic("org.halden.tests");
    sequential.multiThreading = false;
    Host serial(sequential);
    EXPECT_EQ(fetch(serial, kOfxMultiThreadSuite, 1), ofxhost::MultiThreadSuite::table(false));
    EXPECT_EQ(fetch(full, kOfxMultiThreadSuite, 1), ofxhost::MultiThreadSuite::table(true));

    const auto requests = withoutDrawSuite.recorder().suiteRequests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_FALSE(requests[0].provided);
}

TEST(Host, StrictHostKnowsNoGpuRenderPropertiesAndOffersNoParametricOrDrawSuite) {
    Host host(HostProfile::forName("strict"));
    auto props = static_cast<const OfxPropertySuiteV1*>(fetch(host, kOfxPropertySuite, 1));
    ofxhost::PropertySet descriptor =
        ofxhost::ImageEffect::descriptorProperties("/nowhere", host.profile().gpuRenderProperties);
    char* text = nullptr;
    int count = -1;
    for (OfxPropertySetHandle set : {host.ofxHost()->host, descriptor.handle()}) {
        for (const char* gpu :
             {kOfxImageEffectPropCudaRenderSupported, kOfxImageEffectPropCudaStreamSupported,
              kOfxImageEffectPropOpenCLRenderSupported, kOfxImageEffectPropMetalRenderSupported,
              kOfxImageEffectPropOpenGLRenderSupported}) {
            EXPECT_EQ(props->propGetString(set, gpu, 0, &text), kOfxStatErrUnknown) << gpu;
            EXPECT_EQ(props->propGetDimension(set, gpu, &count), kOfxStatErrUnknown) << gpu;
        }
    }
    EXPECT_EQ(props->propSetString(descriptor.handle(), kOfxImageEffectPropCudaRenderSupported, 0,
                                   "true"),
              kOfxStatErrUnknown);
    EXPECT_EQ(props->propGetInt(host.ofxHost()->host, kOfxParamHostPropSupportsParametricAnimation,
                                0, &count),
              kOfxStatErrUnknown);
    ASSERT_EQ(
        props->propGetDimension(host.ofxHost()->host, kOfxImageEffectHostPropNativeOrigin, &count),
        kOfxStatOK);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(host.properties().getInt(kOfxImageEffectPropSupportsOverlays), 1);
    EXPECT_NE(fetch(host, kOfxInteractSuite, 1), nullptr);
    EXPECT_EQ(fetch(host, kOfxDrawSuite, 1), nullptr);
    EXPECT_EQ(fetch(host, kOfxParametricParameterSuite, 1), nullptr);
    EXPECT_EQ(fetch(host, kOfxMultiThreadSuite, 1), ofxhost::MultiThreadSuite::stubTable());
}

} // namespace
