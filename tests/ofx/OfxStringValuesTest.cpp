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

TEST(OfxStringValues, MatchWhatHostsSend) {
#define OFX_VALUE(macro, text)                                                                     \
    { #macro, macro, text }
    const struct {
        const char* macro;
        const char* value;
        const char* expected;
    } values[] = {
        OFX_VALUE(kOfxImageEffectPluginApi, "OfxImageEffectPluginAPI"),
        // A word dropped or renamed.
        OFX_VALUE(kOfxImageEffectPropSupportsMultipleClipDepths,
                  "OfxImageEffectPropMultipleClipDepths"),
        OFX_VALUE(kOfxImageEffectPropProjectPixelAspectRatio, "OfxImageEffectPropPixelAspectRatio"),
        OFX_VALUE(kOfxParamPropCustomInterpCallbackV1, "OfxParamPropCustomCallbackV1"),
        OFX_VALUE(kOfxInteractPropViewportSize, "OfxInteractPropViewport"),
        OFX_VALUE(kOfxOpenGLRenderSuite, "OfxImageEffectOpenGLRenderSuite"),
        // A leading k; of the two OpenGL context actions, only on the second.
        OFX_VALUE(kOfxHostNativeOriginBottomLeft, "kOfxImageEffectHostPropNativeOriginBottomLeft"),
        OFX_VALUE(kOfxHostNativeOriginTopLeft, "kOfxImageEffectHostPropNativeOriginTopLeft"),
        OFX_VALUE(kOfxHostNativeOriginCenter, "kOfxImageEffectHostPropNativeOriginCenter"),
        OFX_VALUE(kOfxParamPropUseHostOverlayHandle, "kOfxParamPropUseHostOverlayHandle"),
        OFX_VALUE(kOfxPropKeySym, "kOfxPropKeySym"),
        OFX_VALUE(kOfxPropKeyString, "kOfxPropKeyString"),
        OFX_VALUE(kOfxActionOpenGLContextAttached, "OfxActionOpenGLContextAttached"),
        OFX_VALUE(kOfxActionOpenGLContextDetached, "kOfxActionOpenGLContextDetached"),
        // Premultiplication says Alpha; fields lack the word Image.
        OFX_VALUE(kOfxImageOpaque, "OfxImageOpaque"),
        OFX_VALUE(kOfxImagePreMultiplied, "OfxImageAlphaPremultiplied"),
        OFX_VALUE(kOfxImageUnPreMultiplied, "OfxImageAlphaUnPremultiplied"),
        OFX_VALUE(kOfxImageFieldNone, "OfxFieldNone"),
        OFX_VALUE(kOfxImageFieldLower, "OfxFieldLower"),
        OFX_VALUE(kOfxImageFieldUpper, "OfxFieldUpper"),
        OFX_VALUE(kOfxImageFieldBoth, "OfxFieldBoth"),
        OFX_VALUE(kOfxImageFieldSingle, "OfxFieldSingle"),
        OFX_VALUE(kOfxImageFieldDoubled, "OfxFieldDoubled"),
        // Misspellings are part of the interface.
        OFX_VALUE(kOfxParamPropPersistant, "OfxParamPropPersistant"),
        OFX_VALUE(kOfxParamPropInteractPreferedSize, "OfxParamPropInteractPreferedSize"),
        // Interact lifecycle actions are the generic action strings.
        OFX_VALUE(kOfxActionDescribeInteract, "OfxActionDescribe"),
        OFX_VALUE(kOfxActionCreateInstanceInteract, "OfxActionCreateInstance"),
        OFX_VALUE(kOfxActionDestroyInstanceInteract, "OfxActionDestroyInstance"),
    };
#undef OFX_VALUE
    for (const auto& each : values) {
        EXPECT_STREQ(each.value, each.expected) << each.macro;
    }
}
