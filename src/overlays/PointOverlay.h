#pragma once

#include "overlays/OverlayBase.h"
#include "overlays/PointStyle.h"

namespace OFX {

// A draggable position: one 2D parameter drawn in one of the point styles.
class PointOverlay : public OverlayBase {
public:
    PointOverlay(OverlayParams* effect, std::string param, const std::string& style);

    bool draw(OverlayCanvas& ctx, const DrawArgs& args) override;
    bool penMotion(const PenArgs& args) override;
    bool penDown(const PenArgs& args) override;
    bool penUp(const PenArgs& args) override;

    PointStyle style() const { return style_; }

private:
    void drawShape(OverlayCanvas& ctx, const OfxPointD& p, const OfxPointD& scale) const;

    std::string param_;
    PointStyle style_;
    // Normalized; written again at penUp, inside the drag's edit block, so the last position is
    // the one kept. A click that never moved writes nothing.
    OfxPointD lastPosition_{0.5, 0.5};
    bool moved_ = false;
};

} // namespace OFX
