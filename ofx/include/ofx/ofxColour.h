#ifndef OFX_COLOUR_H
#define OFX_COLOUR_H

/* Colour management: only used when plug-in and host both opt in. */

#include "ofxImageEffect.h"

#ifdef __cplusplus
extern "C" {
#endif

#define kOfxImageEffectActionGetOutputColourspace "OfxImageEffectActionGetOutputColourspace"

#define kOfxImageEffectPropColourManagementStyle "OfxImageEffectPropColourManagementStyle"
#define kOfxImageEffectColourManagementNone "OfxImageEffectColourManagementNone"
#define kOfxImageEffectColourManagementBasic "OfxImageEffectColourManagementBasic"
#define kOfxImageEffectColourManagementCore "OfxImageEffectColourManagementCore"
#define kOfxImageEffectColourManagementFull "OfxImageEffectColourManagementFull"
#define kOfxImageEffectColourManagementOCIO "OfxImageEffectColourManagementOCIO"

#define kOfxImageEffectPropColourManagementAvailableConfigs                                        \
    "OfxImageEffectPropColourManagementAvailableConfigs"
#define kOfxImageEffectPropColourManagementConfig "OfxImageEffectPropColourManagementConfig"
#define kOfxImageEffectPropOCIOConfig "OfxImageEffectPropOCIOConfig"
#define kOfxImageEffectPropDisplayColourspace "OfxImageEffectPropDisplayColourspace"
#define kOfxImageEffectPropOCIODisplay "OfxImageEffectPropOCIODisplay"
#define kOfxImageEffectPropOCIOView "OfxImageEffectPropOCIOView"
#define kOfxImageClipPropColourspace "OfxImageClipPropColourspace"
#define kOfxImageClipPropPreferredColourspaces "OfxImageClipPropPreferredColourspaces"

#ifdef __cplusplus
}
#endif

#endif /* OFX_COLOUR_H */
