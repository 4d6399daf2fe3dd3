#pragma once

#include "ofx/support/DefaultEffectOverlayDescriptor.h"
#include "ofx/support/OverlayInteract.h"

namespace testplugin {

// A 20-unit square around "center" with its name; a pen down within 10 canonical units of the
// centre is taken.
class TestOverlay : public OFX::OverlayInteract {
public:
    TestOverlay(OfxInteractHandle handle, OFX::ImageEffect* effect);

    bool draw(const OFX::DrawArgs& args) override;
    bool penDown(const OFX::PenArgs& args) override;

private:
    bool centreAt(OfxTime time, OfxPointD& centre) const;
};

class TestOverlayDescriptor
    : public OFX::DefaultEffectOverlayDescriptor<TestOverlayDescriptor, TestOverlay> {};

} // namespace testplugin
