#ifndef OFX_DIALOG_H
#define OFX_DIALOG_H

#include "ofxCore.h"

#ifdef __cplusplus
extern "C" {
#endif

#define kOfxDialogSuite "OfxDialogSuite"

/* Which argument carries RequestDialog's user_data is unstated: do not depend on it. */
#define kOfxActionDialog "OfxActionDialog"

typedef struct OfxDialogSuiteV1 {
    OfxStatus (*RequestDialog)(void* user_data);
    OfxStatus (*NotifyRedrawPending)(void);
} OfxDialogSuiteV1;

#ifdef __cplusplus
}
#endif

#endif /* OFX_DIALOG_H */
