#pragma once

#include "ofx/ofxInteract.h"
#include "ofx/support/PropertySet.h"

namespace OFX {

class ImageEffect;
class Interact;

// Describes an interact and makes its instances. The host reaches it only through the entry
// point it returns; see DefaultEffectOverlayDescriptor for the usual way to get one.
class InteractDescriptor {
public:
    InteractDescriptor() = default;
    virtual ~InteractDescriptor() = default;
    InteractDescriptor(const InteractDescriptor&) = delete;
    InteractDescriptor& operator=(const InteractDescriptor&) = delete;

    virtual OfxPluginEntryPoint* getMainEntry() const = 0;
    // The interact's kOfxActionDescribe; the property set is valid while it runs.
    virtual void describe() {}
    virtual Interact* createInstance(OfxInteractHandle handle, ImageEffect* effect) const = 0;

    void setPropertySet(OfxPropertySetHandle props) { props_ = PropertySet(props, false); }
    const PropertySet& getPropertySet() const { return props_; }

private:
    PropertySet props_;
};

} // namespace OFX
