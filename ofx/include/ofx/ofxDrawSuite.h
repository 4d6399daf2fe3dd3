#ifndef OFX_DRAW_SUITE_H
#define OFX_DRAW_SUITE_H

/* Drawing for overlays without OpenGL; valid only inside kOfxInteractActionDraw. */

#include "ofxCore.h"
#include "ofxInteract.h"
#include "ofxPixels.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct OfxDrawContext* OfxDrawContextHandle;

#define kOfxDrawSuite "OfxDrawSuite"

/* Draw action inArgs: the OfxDrawContextHandle to pass to the suite. */
#define kOfxInteractPropDrawContext "OfxInteractPropDrawContext"

typedef enum OfxStandardColour {
    kOfxStandardColourOverlayBackground,
    kOfxStandardColourOverlayActive,
    kOfxStandardColourOverlaySelected,
    kOfxStandardColourOverlayDeselected,
    kOfxStandardColourOverlayMarqueeFG,
    kOfxStandardColourOverlayMarqueeBG,
    kOfxStandardColourOverlayText
} OfxStandardColour;

typedef enum OfxDrawLineStipplePattern {
    kOfxDrawLineStipplePatternSolid,
    kOfxDrawLineStipplePatternDot,
    kOfxDrawLineStipplePatternDash,
    kOfxDrawLineStipplePatternAltDash,
    kOfxDrawLineStipplePatternDotDash
} OfxDrawLineStipplePattern;

typedef enum OfxDrawPrimitive {
    kOfxDrawPrimitiveLines,
    kOfxDrawPrimitiveLineStrip,
    kOfxDrawPrimitiveLineLoop,
    kOfxDrawPrimitiveRectangle,
    kOfxDrawPrimitivePolygon,
    kOfxDrawPrimitiveEllipse
} OfxDrawPrimitive;

/* Flags OR-ed into drawText's int alignment. */
typedef enum OfxDrawTextAlignment {
    kOfxDrawTextAlignmentLeft = 0x0001,
    kOfxDrawTextAlignmentRight = 0x0002,
    kOfxDrawTextAlignmentTop = 0x0004,
    kOfxDrawTextAlignmentBottom = 0x0008,
    kOfxDrawTextAlignmentBaseline = 0x0010,
    kOfxDrawTextAlignmentCenterH = (kOfxDrawTextAlignmentLeft | kOfxDrawTextAlignmentRight),
    /* Top | Baseline, not Top | Bottom: hosts decode exactly this value. */
    kOfxDrawTextAlignmentCenterV = (kOfxDrawTextAlignmentTop | kOfxDrawTextAlignmentBaseline)
} OfxDrawTextAlignment;

typedef struct OfxDrawSuiteV1 {
    OfxStatus (*getColour)(OfxDrawContextHandle context, OfxStandardColour std_colour,
                           OfxRGBAColourF* colour);
    /* Non-opaque colours are composited "over". */
    OfxStatus (*setColour)(OfxDrawContextHandle context, const OfxRGBAColourF* colour);
    /* 0 = single-pixel line. */
    OfxStatus (*setLineWidth)(OfxDrawContextHandle context, float width);
    OfxStatus (*setLineStipple)(OfxDrawContextHandle context, OfxDrawLineStipplePattern pattern);
    OfxStatus (*draw)(OfxDrawContextHandle context, OfxDrawPrimitive primitive,
                      const OfxPointD* points, int point_count);
    /* text is UTF-8, pos is canonical. */
    OfxStatus (*drawText)(OfxDrawContextHandle context, const char* text, const OfxPointD* pos,
                          int alignment);
} OfxDrawSuiteV1;

#ifdef __cplusplus
}
#endif

#endif /* OFX_DRAW_SUITE_H */
