#pragma once

#include "overlays/OverlayParams.h"

namespace OFX {

class Clip;
class ImageEffect;

// OverlayParams over an effect instance of the support layer. Parameters are fetched by name at
// each use: the effect keeps every fetched object, and a name that failed is tried again next
// time. Host errors are swallowed, so an overlay never fails an event over a parameter.
class EffectOverlayParams : public OverlayParams {
public:
    explicit EffectOverlayParams(ImageEffect& effect) : effect_(effect) {}

    std::optional<OfxPointD> getDouble2D(const std::string& name, OfxTime time) override;
    std::optional<double> getDouble(const std::string& name, OfxTime time) override;
    std::optional<int> getChoice(const std::string& name, OfxTime time) override;
    std::optional<int> getInt(const std::string& name, OfxTime time) override;
    std::optional<bool> getBoolean(const std::string& name, OfxTime time) override;

    bool setDouble2D(const std::string& name, double x, double y) override;
    bool setDouble(const std::string& name, double value) override;

    void beginEditBlock(const std::string& label) override;
    void endEditBlock() override;

    std::optional<OfxRectD> sourceRegion(OfxTime time) override;
    double sourcePixelAspect() override;

private:
    ImageEffect& effect_;
};

} // namespace OFX
