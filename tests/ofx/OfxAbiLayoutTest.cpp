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
// The listed members in order, each `step` bytes after the one before, and nothing after the
// last. Suite tables are arrays of function pointers: their n-th member sits at slot n.
template <std::size_t N>
constexpr bool packed(std::size_t size, std::size_t step, const std::size_t (&offsets)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
        if (offsets[i] != i * step) {
            return false;
        }
    }
    return size == N * step;
}
#define AT(member) offsetof(S, member)
#define OFX_PIN_PACKED(T, step, ...)                                                               \
    struct T##Layout {                                                                             \
        using S = T;                                                                               \
        static_assert(packed(sizeof(S), step, {__VA_ARGS__}), #T " layout");                       \
    }
#define OFX_PIN_SUITE(T, ...) OFX_PIN_PACKED(T, 8, __VA_ARGS__)

OFX_PIN_PACKED(OfxHost, 8, AT(host), AT(fetchSuite));

OFX_PIN_SIZE(OfxPlugin, 48);
OFX_PIN_AT(OfxPlugin, pluginApi, 0);
OFX_PIN_AT(OfxPlugin, apiVersion, 8);
OFX_PIN_AT(OfxPlugin, pluginIdentifier, 16);
OFX_PIN_AT(OfxPlugin, pluginVersionMajor, 24);
OFX_PIN_AT(OfxPlugin, pluginVersionMinor, 28);
OFX_PIN_AT(OfxPlugin, setHost, 32);
OFX_PIN_AT(OfxPlugin, mainEntry, 40);

OFX_PIN_SIZE(OfxTime, 8);
OFX_PIN_PACKED(OfxRangeI, 4, AT(min), AT(max));
OFX_PIN_PACKED(OfxRangeD, 8, AT(min), AT(max));
OFX_PIN_PACKED(OfxPointI, 4, AT(x), AT(y));
OFX_PIN_PACKED(OfxPointD, 8, AT(x), AT(y));
OFX_PIN_PACKED(OfxRectI, 4, AT(x1), AT(y1), AT(x2), AT(y2));
OFX_PIN_PACKED(OfxRectD, 8, AT(x1), AT(y1), AT(x2), AT(y2));

OFX_PIN_PACKED(OfxRGBAColourB, 1, AT(r), AT(g), AT(b), AT(a));
OFX_PIN_PACKED(OfxRGBAColourS, 2, AT(r), AT(g), AT(b), AT(a));
OFX_PIN_PACKED(OfxRGBAColourF, 4, AT(r), AT(g), AT(b), AT(a));
OFX_PIN_PACKED(OfxRGBAColourD, 8, AT(r), AT(g), AT(b), AT(a));
OFX_PIN_PACKED(OfxRGBColourB, 1, AT(r), AT(g), AT(b));
OFX_PIN_PACKED(OfxRGBColourS, 2, AT(r), AT(g), AT(b));
OFX_PIN_PACKED(OfxRGBColourF, 4, AT(r), AT(g), AT(b));
OFX_PIN_PACKED(OfxRGBColourD, 8, AT(r), AT(g), AT(b));
OFX_PIN_PACKED(OfxYUVAColourB, 1, AT(y), AT(u), AT(v), AT(a));
OFX_PIN_PACKED(OfxYUVAColourS, 2, AT(y), AT(u), AT(v), AT(a));
OFX_PIN_PACKED(OfxYUVAColourF, 4, AT(y), AT(u), AT(v), AT(a));
OFX_PIN_PACKED(OfxBytes, 8, AT(data), AT(length));

OFX_PIN_SUITE(OfxPropertySuiteV1, AT(propSetPointer), AT(propSetString), AT(propSetDouble),
              AT(propSetInt), AT(propSetPointerN), AT(propSetStringN), AT(propSetDoubleN),
              AT(propSetIntN), AT(propGetPointer), AT(propGetString), AT(propGetDouble),
              AT(propGetInt), AT(propGetPointerN), AT(propGetStringN), AT(propGetDoubleN),
              AT(propGetIntN), AT(propReset), AT(propGetDimension));

OFX_PIN_SUITE(OfxImageEffectSuiteV1, AT(getPropertySet), AT(getParamSet), AT(clipDefine),
              AT(clipGetHandle), AT(clipGetPropertySet), AT(clipGetImage), AT(clipReleaseImage),
              AT(clipGetRegionOfDefinition), AT(abort), AT(imageMemoryAlloc), AT(imageMemoryFree),
              AT(imageMemoryLock), AT(imageMemoryUnlock));

OFX_PIN_SUITE(OfxParameterSuiteV1, AT(paramDefine), AT(paramGetHandle), AT(paramSetGetPropertySet),
              AT(paramGetPropertySet), AT(paramGetValue), AT(paramGetValueAtTime),
              AT(paramGetDerivative), AT(paramGetIntegral), AT(paramSetValue),
              AT(paramSetValueAtTime), AT(paramGetNumKeys), AT(paramGetKeyTime),
              AT(paramGetKeyIndex), AT(paramDeleteKey), AT(paramDeleteAllKeys), AT(paramCopy),
              AT(paramEditBegin), AT(paramEditEnd));

OFX_PIN_SUITE(OfxParametricParameterSuiteV1, AT(parametricParamGetValue),
              AT(parametricParamGetNControlPoints), AT(parametricParamGetNthControlPoint),
              AT(parametricParamSetNthControlPoint), AT(parametricParamAddControlPoint),
              AT(parametricParamDeleteControlPoint), AT(parametricParamDeleteAllControlPoints));

OFX_PIN_SUITE(OfxMemorySuiteV1, AT(memoryAlloc), AT(memoryFree));

OFX_PIN_SUITE(OfxMultiThreadSuiteV1, AT(multiThread), AT(multiThreadNumCPUs), AT(multiThreadIndex),
              AT(multiThreadIsSpawnedThread), AT(mutexCreate), AT(mutexDestroy), AT(mutexLock),
              AT(mutexUnLock), AT(mutexTryLock));

OFX_PIN_SUITE(OfxMessageSuiteV1, AT(message));
OFX_PIN_SUITE(OfxMessageSuiteV2, AT(message), AT(setPersistentMessage), AT(clearPersistentMessage));

OFX_PIN_SUITE(OfxInteractSuiteV1, AT(interactSwapBuffers), AT(interactRedraw),
              AT(interactGetPropertySet));

OFX_PIN_SUITE(OfxDrawSuiteV1, AT(getColour), AT(setColour), AT(setLineWidth), AT(setLineStipple),
              AT(draw), AT(drawText));

OFX_PIN_SUITE(OfxProgressSuiteV1, AT(progressStart), AT(progressUpdate), AT(progressEnd));
OFX_PIN_SUITE(OfxProgressSuiteV2, AT(progressStart), AT(progressUpdate), AT(progressEnd));

OFX_PIN_SUITE(OfxTimeLineSuiteV1, AT(getTime), AT(gotoTime), AT(getTimeBounds));

OFX_PIN_SUITE(OfxImageEffectOpenGLRenderSuiteV1, AT(clipLoadTexture), AT(clipFreeTexture),
              AT(flushResources));
OFX_PIN_SUITE(OfxOpenCLProgramSuiteV1, AT(compileProgram));

OFX_PIN_SUITE(OfxDialogSuiteV1, AT(RequestDialog), AT(NotifyRedrawPending));

#undef OFX_PIN_SUITE
#undef OFX_PIN_PACKED
#undef AT
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

// Function types and signatures that are easy to get subtly wrong.
static_assert(
    std::is_same_v<OfxPluginEntryPoint, OfxStatus(const char*, const void*, OfxPropertySetHandle,
                                                  OfxPropertySetHandle)>);
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
