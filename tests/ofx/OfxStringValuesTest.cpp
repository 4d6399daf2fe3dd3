// Values that differ from their macro names: the place where a hand-written declaration most
// easily breaks compatibility with real hosts without any compiler noticing.

#include "ofx/ofxCore.h"
#include "ofx/ofxGPURender.h"
#include "ofx/ofxImageEffect.h"
#include "ofx/ofxInteract.h"
#include "ofx/ofxKeySyms.h"
#include "ofx/ofxOld.h"
#include "ofx/ofxParam.h"

#include <gtest/gtest.h>

TEST(OfxStringValues, PluginApiIdentifierEndsInUpperCaseApi) {
    EXPECT_STREQ(kOfxImageEffectPluginApi, "OfxImageEffectPluginAPI");
}

TEST(OfxStringValues, PropertiesWhoseValueDropsOrRenamesAWord) {
    EXPECT_STREQ(kOfxImageEffectPropSupportsMultipleClipDepths,
                 "OfxImageEffectPropMultipleClipDepths");
    EXPECT_STREQ(kOfxImageEffectPropProjectPixelAspectRatio, "OfxImageEffectPropPixelAspectRatio");
    EXPECT_STREQ(kOfxParamPropCustomInterpCallbackV1, "OfxParamPropCustomCallbackV1");
    EXPECT_STREQ(kOfxInteractPropViewportSize, "OfxInteractPropViewport");
}

TEST(OfxStringValues, ValuesThatStartWithK) {
    EXPECT_STREQ(kOfxParamPropUseHostOverlayHandle, "kOfxParamPropUseHostOverlayHandle");
    EXPECT_STREQ(kOfxPropKeySym, "kOfxPropKeySym");
    EXPECT_STREQ(kOfxPropKeyString, "kOfxPropKeyString");
    EXPECT_STREQ(kOfxHostNativeOriginBottomLeft, "kOfxImageEffectHostPropNativeOriginBottomLeft");
    EXPECT_STREQ(kOfxHostNativeOriginTopLeft, "kOfxImageEffectHostPropNativeOriginTopLeft");
    EXPECT_STREQ(kOfxHostNativeOriginCenter, "kOfxImageEffectHostPropNativeOriginCenter");
}

TEST(OfxStringValues, OpenGLContextActionsDifferInTheirLeadingK) {
    EXPECT_STREQ(kOfxActionOpenGLContextAttached, "OfxActionOpenGLContextAttached");
    EXPECT_STREQ(kOfxActionOpenGLContextDetached, "kOfxActionOpenGLContextDetached");
}

TEST(OfxStringValues, PremultiplicationValuesSayAlphaPremultiplied) {
    EXPECT_STREQ(kOfxImageOpaque, "OfxImageOpaque");
    EXPECT_STREQ(kOfxImagePreMultiplied, "OfxImageAlphaPremultiplied");
    EXPECT_STREQ(kOfxImageUnPreMultiplied, "OfxImageAlphaUnPremultiplied");
}

TEST(OfxStringValues, FieldValuesLackTheWordImage) {
    EXPECT_STREQ(kOfxImageFieldNone, "OfxFieldNone");
    EXPECT_STREQ(kOfxImageFieldLower, "OfxFieldLower");
    EXPECT_STREQ(kOfxImageFieldUpper, "OfxFieldUpper");
    EXPECT_STREQ(kOfxImageFieldBoth, "OfxFieldBoth");
    EXPECT_STREQ(kOfxImageFieldSingle, "OfxFieldSingle");
    EXPECT_STREQ(kOfxImageFieldDoubled, "OfxFieldDoubled");
}

TEST(OfxStringValues, OpenGLRenderSuiteNameIncludesImageEffect) {
    EXPECT_STREQ(kOfxOpenGLRenderSuite, "OfxImageEffectOpenGLRenderSuite");
}

TEST(OfxStringValues, MisspellingsArePartOfTheInterface) {
    EXPECT_STREQ(kOfxParamPropPersistant, "OfxParamPropPersistant");
    EXPECT_STREQ(kOfxParamPropInteractPreferedSize, "OfxParamPropInteractPreferedSize");
}

TEST(OfxStringValues, InteractLifecycleActionsAreTheGenericActionStrings) {
    EXPECT_STREQ(kOfxActionDescribeInteract, "OfxActionDescribe");
    EXPECT_STREQ(kOfxActionCreateInstanceInteract, "OfxActionCreateInstance");
    EXPECT_STREQ(kOfxActionDestroyInstanceInteract, "OfxActionDestroyInstance");
}
