#pragma once

#include "overlays/OverlayBase.h"

namespace OFX {

// A vertical slider for a 0-to-1 value, on a track from 10 % to 90 % of the frame height at
// fixed_x of the frame width.
class VSliderOverlay : public OverlayBase {
public:
    VSliderOverlay(OverlayParams* effect, std::string param, double fixedX);

    bool draw(OverlayCanvas& ctx, const DrawArgs& args) override;
    bool penMotion(const PenArgs& args) override;
    bool penDown(const PenArgs& args) override;
    bool penUp(const PenArgs& args) override;

private:
    struct Track {
        double x;
        double y0;
        double y1;
    };

    Track track() const;

    std::string param_;
    double fixedX_;
};

} // namespace OFX
