#include "overlays/GenericOverlayInteract.h"

#include "overlays/GlCanvas.h"

#include "log/Logger.h"

namespace OFX {

GenericOverlayInteract::GenericOverlayInteract(OfxInteractHandle handle, ImageEffect* effect)
    : OverlayInteract(handle, effect),
      params_(effect != nullptr ? std::make_unique<EffectOverlayParams>(*effect) : nullptr) {
    HALDEN_LOG_INFO("GenericOverlayInteract constructor");
}

GenericOverlayInteract::~GenericOverlayInteract() {
    HALDEN_LOG_INFO("GenericOverlayInteract destructor");
}

bool GenericOverlayInteract::draw(const DrawArgs& args) {
    if (manager_ == nullptr) {
        manager_ = OverlayManager::create(params_.get());
        if (manager_ == nullptr) {
            return false;
        }
    }
    const std::unique_ptr<OverlayCanvas> canvas = openOverlayCanvas(args, canvasLogged_);
    return manager_->draw(*canvas, args);
}

bool GenericOverlayInteract::penMotion(const PenArgs& args) {
    return manager_ != nullptr && manager_->penMotion(args);
}

bool GenericOverlayInteract::penDown(const PenArgs& args) {
    return manager_ != nullptr && manager_->penDown(args);
}

bool GenericOverlayInteract::penUp(const PenArgs& args) {
    return manager_ != nullptr && manager_->penUp(args);
}

bool GenericOverlayInteract::loseFocus(const FocusArgs& /*args*/) {
    if (manager_ == nullptr || !manager_->endActiveDrag()) {
        return false;
    }
    requestRedraw();
    return true;
}

} // namespace OFX
