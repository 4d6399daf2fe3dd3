#pragma once

#include "overlays/OverlayBase.h"

namespace OFX {

// An infinite line through a centre at an angle: the centre is dragged at its handle, the
// angle by grabbing the line anywhere else.
class LineOverlay : public OverlayBase {
public:
    LineOverlay(OverlayParams* effect, std::string center, std::string angle);

    bool draw(OverlayCanvas& ctx, const DrawArgs& args) override;
    bool penMotion(const PenArgs& args) override;
    bool penDown(const PenArgs& args) override;
    bool penUp(const PenArgs& args) override;

private:
    enum class Mode { None = 0, Rotate = 1, MoveCentre = 2 };

    // Unit direction of the line in canonical coordinates. The angle is measured in image
    // pixels, as the kernels measure it, so non-square pixels tilt it on screen.
    OfxPointD direction(OfxTime time) const;

    std::string center_;
    std::string angle_;
    Mode mode_ = Mode::None;
};

} // namespace OFX
