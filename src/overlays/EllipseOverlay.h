#pragma once

#include "overlays/OverlayBase.h"

namespace OFX {

// An ellipse around a centre with a handle for each radius; radii are fractions of the
// frame's smaller side.
class EllipseOverlay : public OverlayBase {
public:
    EllipseOverlay(OverlayParams* effect, std::string radii, std::string center);

    bool draw(OverlayCanvas& ctx, const DrawArgs& args) override;
    bool penMotion(const PenArgs& args) override;
    bool penDown(const PenArgs& args) override;
    bool penUp(const PenArgs& args) override;

private:
    enum class Axis { None = 0, X = 1, Y = 2 };

    OfxPointD radiiAt(OfxTime time) const;

    std::string radii_;
    std::string center_;
    Axis axis_ = Axis::None;
};

} // namespace OFX
