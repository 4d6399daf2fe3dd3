#ifndef OFX_LAYOUT_PROBE_H
#define OFX_LAYOUT_PROBE_H

/* Shared by the C and the C++ side of the layout test: both compilers measure the same types, and
   a host in one language must see the same tables as a plug-in in the other. */

#include <stddef.h>

/* Every struct of the API with its last member, whose offset catches any padding difference. */
#define OFX_LAYOUT_STRUCTS(X)                                                                      \
    X(OfxHost, fetchSuite)                                                                         \
    X(OfxPlugin, mainEntry)                                                                        \
    X(OfxRangeI, max)                                                                              \
    X(OfxRangeD, max)                                                                              \
    X(OfxPointI, y)                                                                                \
    X(OfxPointD, y)                                                                                \
    X(OfxRectI, y2)                                                                                \
    X(OfxRectD, y2)                                                                                \
    X(OfxRGBAColourB, a)                                                                           \
    X(OfxRGBAColourS, a)                                                                           \
    X(OfxRGBAColourF, a)                                                                           \
    X(OfxRGBAColourD, a)                                                                           \
    X(OfxRGBColourB, b)                                                                            \
    X(OfxRGBColourS, b)                                                                            \
    X(OfxRGBColourF, b)                                                                            \
    X(OfxRGBColourD, b)                                                                            \
    X(OfxYUVAColourB, a)                                                                           \
    X(OfxYUVAColourS, a)                                                                           \
    X(OfxYUVAColourF, a)                                                                           \
    X(OfxBytes, length)                                                                            \
    X(OfxPropertySuiteV1, propGetDimension)                                                        \
    X(OfxImageEffectSuiteV1, imageMemoryUnlock)                                                    \
    X(OfxParameterSuiteV1, paramEditEnd)                                                           \
    X(OfxParametricParameterSuiteV1, parametricParamDeleteAllControlPoints)                        \
    X(OfxMemorySuiteV1, memoryFree)                                                                \
    X(OfxMultiThreadSuiteV1, mutexTryLock)                                                         \
    X(OfxMessageSuiteV1, message)                                                                  \
    X(OfxMessageSuiteV2, clearPersistentMessage)                                                   \
    X(OfxInteractSuiteV1, interactGetPropertySet)                                                  \
    X(OfxDrawSuiteV1, drawText)                                                                    \
    X(OfxProgressSuiteV1, progressEnd)                                                             \
    X(OfxProgressSuiteV2, progressEnd)                                                             \
    X(OfxTimeLineSuiteV1, getTimeBounds)                                                           \
    X(OfxImageEffectOpenGLRenderSuiteV1, flushResources)                                           \
    X(OfxOpenCLProgramSuiteV1, compileProgram)                                                     \
    X(OfxDialogSuiteV1, NotifyRedrawPending)

#define OFX_LAYOUT_ENUMS(X)                                                                        \
    X(OfxStandardColour)                                                                           \
    X(OfxDrawLineStipplePattern)                                                                   \
    X(OfxDrawPrimitive)                                                                            \
    X(OfxDrawTextAlignment)

#ifdef __cplusplus
extern "C" {
#endif

typedef struct OfxLayoutProbe {
    const char* name;
    size_t size;
    size_t lastMemberOffset; /* 0 for enums */
} OfxLayoutProbe;

/* The table as the C compiler lays it out, in list order (structs, then enums). */
const OfxLayoutProbe* ofxLayoutSeenByC(size_t* count);

#ifdef __cplusplus
}
#endif

#endif /* OFX_LAYOUT_PROBE_H */
