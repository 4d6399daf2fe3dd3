// Binary layout of the OFX API: the sizes, offsets, numbers and function types that hosts and
// plug-ins built elsewhere depend on. Pinned for 64-bit targets (LP64 and LLP64 agree here).

#include "ofx/ofxColour.h"
#include "ofx/ofxCore.h"
#include "ofx/ofxDialog.h"
#include "ofx/ofxDrawSuite.h"
#include "ofx/ofxGPURender.h"
#include "ofx/ofxImageEffect.h"
#include "ofx/ofxInteract.h"
#include "ofx/ofxKeySyms.h"
#include "ofx/ofxMemory.h"
#include "ofx/ofxMessage.h"
#include "ofx/ofxMultiThread.h"
#include "ofx/ofxOld.h"
#include "ofx/ofxParam.h"
#include "ofx/ofxParametricParam.h"
#include "ofx/ofxPixels.h"
#include "ofx/ofxProgress.h"
#include "ofx/ofxProperty.h"
#include "ofx/ofxTimeLine.h"

#include "OfxLayoutProbe.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>

namespace {

#if INTPTR_MAX == INT64_MAX

#define OFX_PIN_SIZE(T, bytes) static_assert(sizeof(T) == (bytes), "sizeof " #T)
#define OFX_PIN_AT(T, member, offset)                                                              \
    static_assert(offsetof(T, member) == (offset), #T "::" #member)
// Suite tables are arrays of function pointers: the n-th member sits at slot n.
#define OFX_PIN_SLOT(T, member, slot) OFX_PIN_AT(T, member, (slot)*8)

OFX_PIN_SIZE(OfxHost, 16);
OFX_PIN_AT(OfxHost, host, 0);
OFX_PIN_AT(OfxHost, fetchSuite, 8);

OFX_PIN_SIZE(OfxPlugin, 48);
OFX_PIN_AT(OfxPlugin, pluginApi, 0);
OFX_PIN_AT(OfxPlugin, apiVersion, 8);
OFX_PIN_AT(OfxPlugin, pluginIdentifier, 16);
OFX_PIN_AT(OfxPlugin, pluginVersionMajor, 24);
OFX_PIN_AT(OfxPlugin, pluginVersionMinor, 28);
OFX_PIN_AT(OfxPlugin, setHost, 32);
OFX_PIN_AT(OfxPlugin, mainEntry, 40);

OFX_PIN_SIZE(OfxTime, 8);
OFX_PIN_SIZE(OfxRangeI, 8);
OFX_PIN_AT(OfxRangeI, max, 4);
OFX_PIN_SIZE(OfxRangeD, 16);
OFX_PIN_AT(OfxRangeD, max, 8);
OFX_PIN_SIZE(OfxPointI, 8);
OFX_PIN_AT(OfxPointI, y, 4);
OFX_PIN_SIZE(OfxPointD, 16);
OFX_PIN_AT(OfxPointD, y, 8);
OFX_PIN_SIZE(OfxRectI, 16);
OFX_PIN_AT(OfxRectI, y1, 4);
OFX_PIN_AT(OfxRectI, x2, 8);
OFX_PIN_AT(OfxRectI, y2, 12);
OFX_PIN_SIZE(OfxRectD, 32);
OFX_PIN_AT(OfxRectD, y1, 8);
OFX_PIN_AT(OfxRectD, x2, 16);
OFX_PIN_AT(OfxRectD, y2, 24);

OFX_PIN_SIZE(OfxRGBAColourB, 4);
OFX_PIN_AT(OfxRGBAColourB, a, 3);
OFX_PIN_SIZE(OfxRGBAColourS, 8);
OFX_PIN_AT(OfxRGBAColourS, a, 6);
OFX_PIN_SIZE(OfxRGBAColourF, 16);
OFX_PIN_AT(OfxRGBAColourF, a, 12);
OFX_PIN_SIZE(OfxRGBAColourD, 32);
OFX_PIN_AT(OfxRGBAColourD, a, 24);
OFX_PIN_SIZE(OfxRGBColourB, 3);
OFX_PIN_AT(OfxRGBColourB, b, 2);
OFX_PIN_SIZE(OfxRGBColourS, 6);
OFX_PIN_AT(OfxRGBColourS, b, 4);
OFX_PIN_SIZE(OfxRGBColourF, 12);
OFX_PIN_AT(OfxRGBColourF, b, 8);
OFX_PIN_SIZE(OfxRGBColourD, 24);
OFX_PIN_AT(OfxRGBColourD, b, 16);
OFX_PIN_SIZE(OfxYUVAColourB, 4);
OFX_PIN_SIZE(OfxYUVAColourS, 8);
OFX_PIN_SIZE(OfxYUVAColourF, 16);
OFX_PIN_SIZE(OfxBytes, 16);
OFX_PIN_AT(OfxBytes, length, 8);

OFX_PIN_SIZE(OfxPropertySuiteV1, 144);
OFX_PIN_SLOT(OfxPropertySuiteV1, propSetPointer, 0);
OFX_PIN_SLOT(OfxPropertySuiteV1, propSetString, 1);
OFX_PIN_SLOT(OfxPropertySuiteV1, propSetDouble, 2);
OFX_PIN_SLOT(OfxPropertySuiteV1, propSetInt, 3);
OFX_PIN_SLOT(OfxPropertySuiteV1, propSetPointerN, 4);
OFX_PIN_SLOT(OfxPropertySuiteV1, propSetStringN, 5);
OFX_PIN_SLOT(OfxPropertySuiteV1, propSetDoubleN, 6);
OFX_PIN_SLOT(OfxPropertySuiteV1, propSetIntN, 7);
OFX_PIN_SLOT(OfxPropertySuiteV1, propGetPointer, 8);
OFX_PIN_SLOT(OfxPropertySuiteV1, propGetString, 9);
OFX_PIN_SLOT(OfxPropertySuiteV1, propGetDouble, 10);
OFX_PIN_SLOT(OfxPropertySuiteV1, propGetInt, 11);
OFX_PIN_SLOT(OfxPropertySuiteV1, propGetPointerN, 12);
OFX_PIN_SLOT(OfxPropertySuiteV1, propGetStringN, 13);
OFX_PIN_SLOT(OfxPropertySuiteV1, propGetDoubleN, 14);
OFX_PIN_SLOT(OfxPropertySuiteV1, propGetIntN, 15);
OFX_PIN_SLOT(OfxPropertySuiteV1, propReset, 16);
OFX_PIN_SLOT(OfxPropertySuiteV1, propGetDimension, 17);

OFX_PIN_SIZE(OfxImageEffectSuiteV1, 104);
OFX_PIN_SLOT(OfxImageEffectSuiteV1, getPropertySet, 0);
OFX_PIN_SLOT(OfxImageEffectSuiteV1, getParamSet, 1);
OFX_PIN_SLOT(OfxImageEffectSuiteV1, clipDefine, 2);
OFX_PIN_SLOT(OfxImageEffectSuiteV1, clipGetHandle, 3);
OFX_PIN_SLOT(OfxImageEffectSuiteV1, clipGetPropertySet, 4);
OFX_PIN_SLOT(OfxImageEffectSuiteV1, clipGetImage, 5);
OFX_PIN_SLOT(OfxImageEffectSuiteV1, clipReleaseImage, 6);
OFX_PIN_SLOT(OfxImageEffectSuiteV1, clipGetRegionOfDefinition, 7);
OFX_PIN_SLOT(OfxImageEffectSuiteV1, abort, 8);
OFX_PIN_SLOT(OfxImageEffectSuiteV1, imageMemoryAlloc, 9);
OFX_PIN_SLOT(OfxImageEffectSuiteV1, imageMemoryFree, 10);
OFX_PIN_SLOT(OfxImageEffectSuiteV1, imageMemoryLock, 11);
OFX_PIN_SLOT(OfxImageEffectSuiteV1, imageMemoryUnlock, 12);

OFX_PIN_SIZE(OfxParameterSuiteV1, 144);
OFX_PIN_SLOT(OfxParameterSuiteV1, paramDefine, 0);
OFX_PIN_SLOT(OfxParameterSuiteV1, paramGetHandle, 1);
OFX_PIN_SLOT(OfxParameterSuiteV1, paramSetGetPropertySet, 2);
OFX_PIN_SLOT(OfxParameterSuiteV1, paramGetPropertySet, 3);
OFX_PIN_SLOT(OfxParameterSuiteV1, paramGetValue, 4);
OFX_PIN_SLOT(OfxParameterSuiteV1, paramGetValueAtTime, 5);
OFX_PIN_SLOT(OfxParameterSuiteV1, paramGetDerivative, 6);
OFX_PIN_SLOT(OfxParameterSuiteV1, paramGetIntegral, 7);
OFX_PIN_SLOT(OfxParameterSuiteV1, paramSetValue, 8);
OFX_PIN_SLOT(OfxParameterSuiteV1, paramSetValueAtTime, 9);
OFX_PIN_SLOT(OfxParameterSuiteV1, paramGetNumKeys, 10);
OFX_PIN_SLOT(OfxParameterSuiteV1, paramGetKeyTime, 11);
OFX_PIN_SLOT(OfxParameterSuiteV1, paramGetKeyIndex, 12);
OFX_PIN_SLOT(OfxParameterSuiteV1, paramDeleteKey, 13);
OFX_PIN_SLOT(OfxParameterSuiteV1, paramDeleteAllKeys, 14);
OFX_PIN_SLOT(OfxParameterSuiteV1, paramCopy, 15);
OFX_PIN_SLOT(OfxParameterSuiteV1, paramEditBegin, 16);
OFX_PIN_SLOT(OfxParameterSuiteV1, paramEditEnd, 17);

OFX_PIN_SIZE(OfxParametricParameterSuiteV1, 56);
OFX_PIN_SLOT(OfxParametricParameterSuiteV1, parametricParamGetValue, 0);
OFX_PIN_SLOT(OfxParametricParameterSuiteV1, parametricParamGetNControlPoints, 1);
OFX_PIN_SLOT(OfxParametricParameterSuiteV1, parametricParamGetNthControlPoint, 2);
OFX_PIN_SLOT(OfxParametricParameterSuiteV1, parametricParamSetNthControlPoint, 3);
OFX_PIN_SLOT(OfxParametricParameterSuiteV1, parametricParamAddControlPoint, 4);
OFX_PIN_SLOT(OfxParametricParameterSuiteV1, parametricParamDeleteControlPoint, 5);
OFX_PIN_SLOT(OfxParametricParameterSuiteV1, parametricParamDeleteAllControlPoints, 6);

OFX_PIN_SIZE(OfxMemorySuiteV1, 16);
OFX_PIN_SLOT(OfxMemorySuiteV1, memoryAlloc, 0);
OFX_PIN_SLOT(OfxMemorySuiteV1, memoryFree, 1);

OFX_PIN_SIZE(OfxMultiThreadSuiteV1, 72);
OFX_PIN_SLOT(OfxMultiThreadSuiteV1, multiThread, 0);
OFX_PIN_SLOT(OfxMultiThreadSuiteV1, multiThreadNumCPUs, 1);
OFX_PIN_SLOT(OfxMultiThreadSuiteV1, multiThreadIndex, 2);
OFX_PIN_SLOT(OfxMultiThreadSuiteV1, multiThreadIsSpawnedThread, 3);
OFX_PIN_SLOT(OfxMultiThreadSuiteV1, mutexCreate, 4);
OFX_PIN_SLOT(OfxMultiThreadSuiteV1, mutexDestroy, 5);
OFX_PIN_SLOT(OfxMultiThreadSuiteV1, mutexLock, 6);
OFX_PIN_SLOT(OfxMultiThreadSuiteV1, mutexUnLock, 7);
OFX_PIN_SLOT(OfxMultiThreadSuiteV1, mutexTryLock, 8);

OFX_PIN_SIZE(OfxMessageSuiteV1, 8);
OFX_PIN_SLOT(OfxMessageSuiteV1, message, 0);
OFX_PIN_SIZE(OfxMessageSuiteV2, 24);
OFX_PIN_SLOT(OfxMessageSuiteV2, message, 0);
OFX_PIN_SLOT(OfxMessageSuiteV2, setPersistentMessage, 1);
OFX_PIN_SLOT(OfxMessageSuiteV2, clearPersistentMessage, 2);

OFX_PIN_SIZE(OfxInteractSuiteV1, 24);
OFX_PIN_SLOT(OfxInteractSuiteV1, interactSwapBuffers, 0);
OFX_PIN_SLOT(OfxInteractSuiteV1, interactRedraw, 1);
OFX_PIN_SLOT(OfxInteractSuiteV1, interactGetPropertySet, 2);

OFX_PIN_SIZE(OfxDrawSuiteV1, 48);
OFX_PIN_SLOT(OfxDrawSuiteV1, getColour, 0);
OFX_PIN_SLOT(OfxDrawSuiteV1, setColour, 1);
OFX_PIN_SLOT(OfxDrawSuiteV1, setLineWidth, 2);
OFX_PIN_SLOT(OfxDrawSuiteV1, setLineStipple, 3);
OFX_PIN_SLOT(OfxDrawSuiteV1, draw, 4);
OFX_PIN_SLOT(OfxDrawSuiteV1, drawText, 5);

OFX_PIN_SIZE(OfxProgressSuiteV1, 24);
OFX_PIN_SLOT(OfxProgressSuiteV1, progressStart, 0);
OFX_PIN_SLOT(OfxProgressSuiteV1, progressUpdate, 1);
OFX_PIN_SLOT(OfxProgressSuiteV1, progressEnd, 2);
OFX_PIN_SIZE(OfxProgressSuiteV2, 24);
OFX_PIN_SLOT(OfxProgressSuiteV2, progressStart, 0);
OFX_PIN_SLOT(OfxProgressSuiteV2, progressUpdate, 1);
OFX_PIN_SLOT(OfxProgressSuiteV2, progressEnd, 2);

OFX_PIN_SIZE(OfxTimeLineSuiteV1, 24);
OFX_PIN_SLOT(OfxTimeLineSuiteV1, getTime, 0);
OFX_PIN_SLOT(OfxTimeLineSuiteV1, gotoTime, 1);
OFX_PIN_SLOT(OfxTimeLineSuiteV1, getTimeBounds, 2);

OFX_PIN_SIZE(OfxImageEffectOpenGLRenderSuiteV1, 24);
OFX_PIN_SLOT(OfxImageEffectOpenGLRenderSuiteV1, clipLoadTexture, 0);
OFX_PIN_SLOT(OfxImageEffectOpenGLRenderSuiteV1, clipFreeTexture, 1);
OFX_PIN_SLOT(OfxImageEffectOpenGLRenderSuiteV1, flushResources, 2);
OFX_PIN_SIZE(OfxOpenCLProgramSuiteV1, 8);
OFX_PIN_SLOT(OfxOpenCLProgramSuiteV1, compileProgram, 0);

OFX_PIN_SIZE(OfxDialogSuiteV1, 16);
OFX_PIN_SLOT(OfxDialogSuiteV1, RequestDialog, 0);
OFX_PIN_SLOT(OfxDialogSuiteV1, NotifyRedrawPending, 1);

OFX_PIN_SIZE(OfxStandardColour, 4);
OFX_PIN_SIZE(OfxDrawLineStipplePattern, 4);
OFX_PIN_SIZE(OfxDrawPrimitive, 4);

#undef OFX_PIN_SLOT
#undef OFX_PIN_AT
#undef OFX_PIN_SIZE

#endif // 64-bit

// Numbers that cross the interface.
static_assert(kOfxImageEffectPluginApiVersion == 1);
static_assert(kOfxStatOK == 0 && kOfxStatFailed == 1 && kOfxStatErrFatal == 2);
static_assert(kOfxStatErrUnknown == 3 && kOfxStatErrMissingHostFeature == 4);
static_assert(kOfxStatErrUnsupported == 5 && kOfxStatErrExists == 6 && kOfxStatErrFormat == 7);
static_assert(kOfxStatErrMemory == 8 && kOfxStatErrBadHandle == 9 && kOfxStatErrBadIndex == 10);
static_assert(kOfxStatErrValue == 11 && kOfxStatReplyYes == 12 && kOfxStatReplyNo == 13);
static_assert(kOfxStatReplyDefault == 14 && kOfxStatUnlicensed == 15);
static_assert(kOfxStatErrImageFormat == 1000);
static_assert(kOfxStatGPUOutOfMemory == 1001 && kOfxStatGLOutOfMemory == 1001);
static_assert(kOfxStatGPURenderFailed == 1002 && kOfxStatGLRenderFailed == 1002);
static_assert(kOfxFlagInfiniteMin == INT_MIN && kOfxFlagInfiniteMax == INT_MAX);
static_assert(kOfxKey_Unknown == 0);

static_assert(kOfxStandardColourOverlayBackground == 0 && kOfxStandardColourOverlayText == 6);
static_assert(kOfxStandardColourOverlayMarqueeFG == 4 && kOfxStandardColourOverlayMarqueeBG == 5);
static_assert(kOfxDrawLineStipplePatternSolid == 0 && kOfxDrawLineStipplePatternDotDash == 4);
static_assert(kOfxDrawLineStipplePatternAltDash == 3);
static_assert(kOfxDrawPrimitiveLines == 0 && kOfxDrawPrimitiveLineLoop == 2);
static_assert(kOfxDrawPrimitiveRectangle == 3 && kOfxDrawPrimitiveEllipse == 5);
static_assert(kOfxDrawTextAlignmentLeft == 1 && kOfxDrawTextAlignmentRight == 2);
static_assert(kOfxDrawTextAlignmentTop == 4 && kOfxDrawTextAlignmentBottom == 8);
static_assert(kOfxDrawTextAlignmentBaseline == 16);
static_assert(kOfxDrawTextAlignmentCenterH == 3);
// CenterV is Top | Baseline, not Top | Bottom.
static_assert(kOfxDrawTextAlignmentCenterV == 20);
static_assert((kOfxDrawTextAlignmentCenterH | kOfxDrawTextAlignmentTop) == 7);

// Function types and signatures that are easy to get subtly wrong.
static_assert(std::is_function_v<OfxPluginEntryPoint>);
static_assert(std::is_function_v<OfxThreadFunctionV1>);
static_assert(std::is_function_v<OfxCustomParamInterpFuncV1>);
static_assert(std::is_same_v<decltype(OfxPlugin::mainEntry), OfxPluginEntryPoint*>);
static_assert(std::is_same_v<decltype(OfxPlugin::setHost), void (*)(OfxHost*)>);
static_assert(std::is_same_v<decltype(OfxHost::fetchSuite),
                             const void* (*)(OfxPropertySetHandle, const char*, int)>);
static_assert(
    std::is_same_v<decltype(OfxImageEffectSuiteV1::abort), int (*)(OfxImageEffectHandle)>);
static_assert(std::is_same_v<decltype(OfxMultiThreadSuiteV1::multiThread),
                             OfxStatus (*)(OfxThreadFunctionV1*, unsigned int, void*)>);
static_assert(
    std::is_same_v<decltype(OfxMultiThreadSuiteV1::mutexUnLock), OfxStatus (*)(OfxMutexHandle)>);
static_assert(
    std::is_same_v<decltype(OfxParametricParameterSuiteV1::parametricParamAddControlPoint),
                   OfxStatus (*)(OfxParamHandle, int, double, double, double, bool)>);
static_assert(std::is_same_v<decltype(OfxProgressSuiteV2::progressStart),
                             OfxStatus (*)(void*, const char*, const char*)>);

// Handle tags appear in C++ mangled names, so they must match other OFX code.
static_assert(std::is_same_v<OfxPropertySetHandle, OfxPropertySetStruct*>);
static_assert(std::is_same_v<OfxImageEffectHandle, OfxImageEffectStruct*>);
static_assert(std::is_same_v<OfxImageClipHandle, OfxImageClipStruct*>);
static_assert(std::is_same_v<OfxImageMemoryHandle, OfxImageMemoryStruct*>);
static_assert(std::is_same_v<OfxParamHandle, OfxParamStruct*>);
static_assert(std::is_same_v<OfxParamSetHandle, OfxParamSetStruct*>);
static_assert(std::is_same_v<OfxInteractHandle, OfxInteract*>);
static_assert(std::is_same_v<OfxMutexHandle, OfxMutex*>);
static_assert(std::is_same_v<OfxDrawContextHandle, OfxDrawContext*>);

struct CppProbe {
    const char* name;
    std::size_t size;
    std::size_t lastMemberOffset;
};

#define OFX_CPP_PROBE_STRUCT(T, last) CppProbe{#T, sizeof(T), offsetof(T, last)},
#define OFX_CPP_PROBE_ENUM(T) CppProbe{#T, sizeof(T), 0},
const CppProbe kCppProbes[] = {OFX_LAYOUT_STRUCTS(OFX_CPP_PROBE_STRUCT)
                                   OFX_LAYOUT_ENUMS(OFX_CPP_PROBE_ENUM)};
#undef OFX_CPP_PROBE_STRUCT
#undef OFX_CPP_PROBE_ENUM

} // namespace

TEST(OfxAbi, CAndCppCompilersLayOutEveryStructAndEnumAlike) {
    std::size_t count = 0;
    const OfxLayoutProbe* fromC = ofxLayoutSeenByC(&count);
    ASSERT_EQ(count, std::size(kCppProbes));
    for (std::size_t i = 0; i < count; ++i) {
        SCOPED_TRACE(kCppProbes[i].name);
        EXPECT_STREQ(fromC[i].name, kCppProbes[i].name);
        EXPECT_EQ(fromC[i].size, kCppProbes[i].size);
        EXPECT_EQ(fromC[i].lastMemberOffset, kCppProbes[i].lastMemberOffset);
    }
}

TEST(OfxAbi, PluginDescribedInCIsCallableFromCpp) {
    const OfxPlugin* plugin = ofxPluginDefinedInC();
    ASSERT_NE(plugin, nullptr);
    EXPECT_STREQ(plugin->pluginApi, "OfxImageEffectPluginAPI");
    EXPECT_EQ(plugin->apiVersion, 1);
    ASSERT_NE(plugin->mainEntry, nullptr);
    // Unhandled actions must fall back to the host's default.
    EXPECT_EQ(plugin->mainEntry(kOfxActionPurgeCaches, nullptr, nullptr, nullptr),
              kOfxStatReplyDefault);
}
