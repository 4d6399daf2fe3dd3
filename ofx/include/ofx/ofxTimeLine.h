#ifndef OFX_TIMELINE_H
#define OFX_TIMELINE_H

#include "ofxCore.h"

#ifdef __cplusplus
extern "C" {
#endif

#define kOfxTimeLineSuite "OfxTimeLineSuite"

typedef struct OfxTimeLineSuiteV1 {
    OfxStatus (*getTime)(void* instance, double* time);
    OfxStatus (*gotoTime)(void* instance, double time);
    OfxStatus (*getTimeBounds)(void* instance, double* firstTime, double* lastTime);
} OfxTimeLineSuiteV1;

#ifdef __cplusplus
}
#endif

#endif /* OFX_TIMELINE_H */
