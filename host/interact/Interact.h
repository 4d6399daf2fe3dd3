#pragma once

#include "host/core/HandleTag.h"
#include "host/properties/PropertySet.h"

#include "ofx/ofxInteract.h"

namespace ofxhost {

class OverlayInteract;

// What an OfxInteractHandle points at: an interact descriptor or instance and its properties.
class Interact {
public:
    explicit Interact(OverlayInteract& owner) : owner_(owner) {}
    Interact(const Interact&) = delete;
    Interact& operator=(const Interact&) = delete;

    static Interact* fromHandle(OfxInteractHandle handle);
    OfxInteractHandle handle() { return reinterpret_cast<OfxInteractHandle>(this); }

    OverlayInteract& owner() { return owner_; }
    PropertySet& properties() { return properties_; }

private:
    HandleTag tag_{HandleTag::InteractKind, this};
    OverlayInteract& owner_;
    PropertySet properties_;
};

} // namespace ofxhost
