#pragma once

#include "overlays/OverlayBase.h"

namespace OFX {

// An arrow from a centre: its direction (degrees) and, when the definition names one, its
// length (a fraction of the frame's smaller side) follow the pen.
class VectorOverlay : public OverlayBase {
public:
    VectorOverlay(OverlayParams* effect, std::string direction, std::string center,
                  std::string magnitude, double fixedMagnitude);

    bool draw(OverlayCanvas& ctx, const DrawArgs& args) override;
    bool penMotion(const PenArgs& args) override;
    bool penDown(const PenArgs& args) override;
    bool penUp(const PenArgs& args) override;

private:
    struct Shape {
        OfxPointD centre;
        OfxPointD tip;
        double radians;
    };

    Shape shapeAt(OfxTime time) const;

    std::string direction_;
    std::string center_;
    std::string magnitude_;
    double fixedMagnitude_;
};

} // namespace OFX
