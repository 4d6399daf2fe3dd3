#pragma once

#include "overlays/OverlayBase.h"
#include "overlays/OverlayRegistry.h"

#include <memory>
#include <vector>

// The overlay objects of one viewer interact, one per top-level overlay of the definition in
// definition order, and the routing of draw and pen events to them. Overlays declared later are
// drawn on top and offered pen presses first.
class OverlayManager {
public:
    // For the registry's current effect; nullptr (and an INFO line) when it declared no overlays.
    static std::unique_ptr<OverlayManager> create(OFX::OverlayParams* effect);

    OverlayManager(OFX::OverlayParams* effect, const OverlayRegistry::Entry& entry);
    OverlayManager(const OverlayManager&) = delete;
    OverlayManager& operator=(const OverlayManager&) = delete;

    bool draw(OFX::OverlayCanvas& ctx, const OFX::DrawArgs& args);
    bool penDown(const OFX::PenArgs& args);
    bool penMotion(const OFX::PenArgs& args);
    bool penUp(const OFX::PenArgs& args);

    std::size_t size() const { return overlays_.size(); }
    OFX::OverlayBase& overlay(std::size_t index) { return *overlays_.at(index); }
    // The overlay being dragged, or nullptr.
    const OFX::OverlayBase* active() const { return active_; }
    // Ends the active drag, closing its edit block (focus lost, a press without a release).
    // Returns whether there was one.
    bool endActiveDrag();

private:
    // The framework's `show_overlays` switch; shown when it is missing or unreadable.
    bool overlaysShown(OfxTime time) const;

    OFX::OverlayParams* effect_;
    std::vector<std::unique_ptr<OFX::OverlayBase>> overlays_;
    OFX::OverlayBase* active_ = nullptr;
    std::uint32_t coordSystem_ = 0;
};
