#include "overlays/OverlayManager.h"

#include "overlays/EllipseOverlay.h"
#include "overlays/LineOverlay.h"
#include "overlays/PointOverlay.h"
#include "overlays/RadiusOverlay.h"
#include "overlays/Scale2DOverlay.h"
#include "overlays/VSliderOverlay.h"
#include "overlays/VectorOverlay.h"

#include "log/Logger.h"

namespace {

const char* const kShowOverlays = "show_overlays";

// The overlay of a definition record, with its creation message; nullptr for a kind without a
// class.
std::unique_ptr<OFX::OverlayBase> makeOverlay(OFX::OverlayParams* effect, const OverlayDef& def) {
    const char* param = def.param.c_str();
    const char* center = def.center.c_str();
    switch (def.type) {
    case OverlayType::Point:
        HALDEN_LOG_INFO("Created PointOverlay for param '%s' with style '%s'", param,
                        def.style.c_str());
        return std::make_unique<OFX::PointOverlay>(effect, def.param, def.style);
    case OverlayType::Radius:
        HALDEN_LOG_INFO("Created RadiusOverlay for param '%s' with center '%s'", param, center);
        return std::make_unique<OFX::RadiusOverlay>(effect, def.param, def.center);
    case OverlayType::Scale2D:
        HALDEN_LOG_INFO("Created Scale2DOverlay for param '%s' with center '%s'", param, center);
        return std::make_unique<OFX::Scale2DOverlay>(effect, def.param, def.center);
    case OverlayType::VSlider:
        HALDEN_LOG_INFO("Created VSliderOverlay for param '%s' at x=%.2f", param,
                        static_cast<double>(def.fixedX));
        return std::make_unique<OFX::VSliderOverlay>(effect, def.param, def.fixedX);
    case OverlayType::Vector:
        HALDEN_LOG_INFO("Created VectorOverlay for direction '%s' from center '%s'",
                        def.direction.c_str(), center);
        return std::make_unique<OFX::VectorOverlay>(effect, def.direction, def.center,
                                                    def.magnitude, def.fixedMagnitude);
    case OverlayType::Ellipse:
        HALDEN_LOG_INFO("Created EllipseOverlay for param '%s' with center '%s'", param, center);
        return std::make_unique<OFX::EllipseOverlay>(effect, def.param, def.center);
    case OverlayType::Line:
        HALDEN_LOG_INFO("Created LineOverlay for center '%s' with angle '%s'", center,
                        def.angle.c_str());
        return std::make_unique<OFX::LineOverlay>(effect, def.center, def.angle);
    case OverlayType::Qualifier:
        HALDEN_LOG_INFO("QualifierOverlay not yet implemented for param '%s'", param);
        break;
    }
    return nullptr;
}

} // namespace

std::unique_ptr<OverlayManager> OverlayManager::create(OFX::OverlayParams* effect) {
    const OverlayRegistry& registry = OverlayRegistry::instance();
    const std::string effectName = registry.currentEffect();
    const std::optional<OverlayRegistry::Entry> entry = registry.find(effectName);
    if (!entry || entry->overlays.empty()) {
        HALDEN_LOG_INFO("No overlay definitions found for effect '%s'", effectName.c_str());
        return nullptr;
    }
    auto manager = std::make_unique<OverlayManager>(effect, *entry);
    HALDEN_LOG_INFO("Created OverlayManager with %zu overlay definitions (coordSystem=%d)",
                    entry->overlays.size(), entry->coordSystem);
    return manager;
}

OverlayManager::OverlayManager(OFX::OverlayParams* effect, const OverlayRegistry::Entry& entry)
    : effect_(effect), coordSystem_(static_cast<std::uint32_t>(entry.coordSystem)) {
    // Children of a record (a vector inside a point, say) are not overlays of their own.
    for (const OverlayDef& def : entry.overlays) {
        std::unique_ptr<OFX::OverlayBase> overlay = makeOverlay(effect, def);
        if (overlay == nullptr) {
            continue;
        }
        overlay->setCoordSystem(coordSystem_);
        if (def.color.given) {
            overlay->setColour(def.color.r, def.color.g, def.color.b);
        }
        if (!def.label.empty()) {
            overlay->setLabel(def.label);
        }
        if (!def.visibleWhen.empty()) {
            overlay->setVisibleWhen(def.visibleWhen);
        }
        overlays_.push_back(std::move(overlay));
    }
    HALDEN_LOG_INFO("OverlayManager created with %zu overlays", overlays_.size());
}

bool OverlayManager::overlaysShown(OfxTime time) const {
    if (effect_ == nullptr) {
        return true;
    }
    return effect_->getBoolean(kShowOverlays, time).value_or(true);
}

bool OverlayManager::draw(OFX::OverlayCanvas& ctx, const OFX::DrawArgs& args) {
    if (!ctx.isAvailable() || !overlaysShown(args.time)) {
        return false;
    }
    // Each overlay decides its own visibility.
    for (const auto& overlay : overlays_) {
        overlay->draw(ctx, args);
    }
    return !overlays_.empty();
}

bool OverlayManager::endActiveDrag() {
    OFX::OverlayBase* overlay = active_;
    active_ = nullptr;
    return overlay != nullptr && overlay->endDrag();
}

bool OverlayManager::penDown(const OFX::PenArgs& args) {
    // A press while a drag is still on means its release never came.
    endActiveDrag();
    if (!overlaysShown(args.time)) {
        return false;
    }
    for (auto it = overlays_.rbegin(); it != overlays_.rend(); ++it) {
        if ((*it)->penDown(args)) {
            active_ = it->get();
            return true;
        }
    }
    return false;
}

bool OverlayManager::penMotion(const OFX::PenArgs& args) {
    if (!overlaysShown(args.time)) {
        endActiveDrag();
        return false;
    }
    if (active_ == nullptr) {
        return false;
    }
    if (active_->state() == OFX::OverlayBase::kDragging) {
        return active_->penMotion(args);
    }
    active_ = nullptr;
    return false;
}

bool OverlayManager::penUp(const OFX::PenArgs& args) {
    if (!overlaysShown(args.time)) {
        endActiveDrag();
        return false;
    }
    if (active_ == nullptr) {
        return false;
    }
    OFX::OverlayBase* overlay = active_;
    active_ = nullptr;
    return overlay->penUp(args);
}
