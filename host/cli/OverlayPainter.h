#pragma once

#include "host/cli/CoverageMask.h"
#include "host/cli/RgbaImage.h"
#include "host/record/Records.h"

#include <vector>

namespace ofxhost {

// Paints an overlay's recorded draw-suite calls over a picture, as a viewer showing the
// picture at 100 % draws them: lines, strips and loops with their width and stipple, filled
// rectangles and polygons, ellipse outlines, and each text as a filled box of its approximate
// extent. Colours blend "over" the picture, which is first clamped to 0..1 as an 8-bit file
// shows it. Canonical y grows upward like the picture's rows (row 0 is the bottom one).
class OverlayPainter {
public:
    // The text box, in screen pixels: per character, and the line's height and descent below
    // the baseline.
    static constexpr double kCharacterWidth = 6.0;
    static constexpr double kLineHeight = 9.0;
    static constexpr double kDescent = 2.0;

    // scale: picture pixels per canonical unit (the render scale of the picture).
    OverlayPainter(RgbaImage& picture, double scale);

    void paint(const std::vector<DrawCall>& calls);

private:
    void paintOne(const DrawCall& call);
    void primitive(const DrawCall& call, CoverageMask& mask) const;
    void text(const DrawCall& call, CoverageMask& mask) const;
    CoverageMask::Point toPixels(const OfxPointD& point) const;
    void blend(const CoverageMask& mask, const OfxRGBAColourF& colour);

    RgbaImage& picture_;
    double scale_;
};

} // namespace ofxhost
