#ifndef OFX_OLD_H
#define OFX_OLD_H

/* Deprecated or removed names: kept so old projects and hosts can be recognised, not for new
   code. */

#include "ofxCore.h"

#ifdef __cplusplus
extern "C" {
#endif

#define kOfxImageComponentYUVA "OfxImageComponentYUVA"

typedef struct OfxYUVAColourB {
    unsigned char y, u, v, a;
} OfxYUVAColourB;

typedef struct OfxYUVAColourS {
    unsigned short y, u, v, a;
} OfxYUVAColourS;

typedef struct OfxYUVAColourF {
    float y, u, v, a;
} OfxYUVAColourF;

/* Removed in 1.4. */
#define kOfxImageEffectPropInAnalysis "OfxImageEffectPropInAnalysis"
/* Removed in 1.4; the value lacks "Size". */
#define kOfxInteractPropViewportSize "OfxInteractPropViewport"

/* Replaced in 1.2 by the canonical types plus kOfxParamPropDefaultCoordinateSystem. */
#define kOfxParamDoubleTypeNormalisedX "OfxParamDoubleTypeNormalisedX"
#define kOfxParamDoubleTypeNormalisedY "OfxParamDoubleTypeNormalisedY"
#define kOfxParamDoubleTypeNormalisedXAbsolute "OfxParamDoubleTypeNormalisedXAbsolute"
#define kOfxParamDoubleTypeNormalisedYAbsolute "OfxParamDoubleTypeNormalisedYAbsolute"
#define kOfxParamDoubleTypeNormalisedXY "OfxParamDoubleTypeNormalisedXY"
#define kOfxParamDoubleTypeNormalisedXYAbsolute "OfxParamDoubleTypeNormalisedXYAbsolute"

#ifdef __cplusplus
}
#endif

#endif /* OFX_OLD_H */
