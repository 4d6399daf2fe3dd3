/* Compiled as C99 with pedantic warnings: every header must be plain C. */

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

#define OFX_PROBE_STRUCT(T, last) {#T, sizeof(T), offsetof(T, last)},
#define OFX_PROBE_ENUM(T) {#T, sizeof(T), 0},

static const OfxLayoutProbe probes[] = {OFX_LAYOUT_STRUCTS(OFX_PROBE_STRUCT)
                                            OFX_LAYOUT_ENUMS(OFX_PROBE_ENUM)};

const OfxLayoutProbe* ofxLayoutSeenByC(size_t* count) {
    *count = sizeof(probes) / sizeof(probes[0]);
    return probes;
}
