#ifndef OFX_PROGRESS_H
#define OFX_PROGRESS_H

#include "ofxCore.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Fetch version 2 first and fall back to 1: the two tables are not interchangeable. */
#define kOfxProgressSuite "OfxProgressSuite"

typedef struct OfxProgressSuiteV1 {
    OfxStatus (*progressStart)(void* effectInstance, const char* label);
    /* progress in 0..1; kOfxStatReplyNo = the user cancelled. */
    OfxStatus (*progressUpdate)(void* effectInstance, double progress);
    OfxStatus (*progressEnd)(void* effectInstance);
} OfxProgressSuiteV1;

typedef struct OfxProgressSuiteV2 {
    OfxStatus (*progressStart)(void* effectInstance, const char* message, const char* messageid);
    OfxStatus (*progressUpdate)(void* effectInstance, double progress);
    OfxStatus (*progressEnd)(void* effectInstance);
} OfxProgressSuiteV2;

#ifdef __cplusplus
}
#endif

#endif /* OFX_PROGRESS_H */
