#pragma once

#include "overlays/OverlayBase.h"

namespace OFX {

// A circle around a centre whose radius (a fraction of the frame's smaller side) is dragged by
// its ring.
class RadiusOverlay : public OverlayBase {
public:
    RadiusOverlay(OverlayParams* effect, std::string radius, std::string center);

    bool draw(OverlayCanvas& ctx, const DrawArgs& args) override;
    bool penMotion(const PenArgs& args) override;
    bool penDown(const PenArgs& args) override;
    bool penUp(const PenArgs& args) override;

private:
    std::optional<double> radiusAt(OfxTime time) const;

    std::string radius_;
    std::string center_;
};

} // namespace OFX
