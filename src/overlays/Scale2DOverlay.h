#pragma once

#include "overlays/OverlayBase.h"

namespace OFX {

// A rectangle of half sizes scale × frame size around a centre, with handles for the width,
// the height and both. The centre is read as a plain 0-to-1 position, whatever the overlay
// coordinate system.
class Scale2DOverlay : public OverlayBase {
public:
    Scale2DOverlay(OverlayParams* effect, std::string scale, std::string center);

    bool draw(OverlayCanvas& ctx, const DrawArgs& args) override;
    bool penMotion(const PenArgs& args) override;
    bool penDown(const PenArgs& args) override;
    bool penUp(const PenArgs& args) override;

private:
    enum class Mode { None = 0, X = 1, Y = 2, Corner = 3 };

    OfxPointD centrePixel(OfxTime time) const;
    OfxPointD scaleAt(OfxTime time) const;

    std::string scale_;
    std::string center_;
    Mode mode_ = Mode::None;
};

} // namespace OFX
