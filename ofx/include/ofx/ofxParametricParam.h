#ifndef OFX_PARAMETRIC_PARAM_H
#define OFX_PARAMETRIC_PARAM_H

/* Parametric (curve) parameters: the type, its properties and the suite that edits its curves. */

#include "ofxParam.h"

#ifndef __cplusplus
/* The suite takes bool; C99 _Bool and C++ bool are both one byte on every target ABI. */
#include <stdbool.h>
#endif

#ifdef __cplusplus
extern "C" {
#endif

#define kOfxParametricParameterSuite "OfxParametricParameterSuite"

#define kOfxParamTypeParametric "OfxParamTypeParametric"

#define kOfxParamHostPropSupportsParametricAnimation "OfxParamHostPropSupportsParametricAnimation"

#define kOfxParamPropParametricDimension "OfxParamPropParametricDimension"
/* Three values (R, G, B) per curve. */
#define kOfxParamPropParametricUIColour "OfxParamPropParametricUIColour"
#define kOfxParamPropParametricInteractBackground "OfxParamPropParametricInteractBackground"
#define kOfxParamPropParametricRange "OfxParamPropParametricRange"

typedef struct OfxParametricParameterSuiteV1 {
    OfxStatus (*parametricParamGetValue)(OfxParamHandle param, int curveIndex, OfxTime time,
                                         double parametricPosition, double* returnValue);
    OfxStatus (*parametricParamGetNControlPoints)(OfxParamHandle param, int curveIndex, double time,
                                                  int* returnValue);
    OfxStatus (*parametricParamGetNthControlPoint)(OfxParamHandle param, int curveIndex,
                                                   double time, int nthCtl, double* key,
                                                   double* value);
    OfxStatus (*parametricParamSetNthControlPoint)(OfxParamHandle param, int curveIndex,
                                                   double time, int nthCtl, double key,
                                                   double value, bool addAnimationKey);
    OfxStatus (*parametricParamAddControlPoint)(OfxParamHandle param, int curveIndex, double time,
                                                double key, double value, bool addAnimationKey);
    OfxStatus (*parametricParamDeleteControlPoint)(OfxParamHandle param, int curveIndex,
                                                   int nthCtl);
    OfxStatus (*parametricParamDeleteAllControlPoints)(OfxParamHandle param, int curveIndex);
} OfxParametricParameterSuiteV1;

#ifdef __cplusplus
}
#endif

#endif /* OFX_PARAMETRIC_PARAM_H */
