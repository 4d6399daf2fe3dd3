#pragma once

#include "ofx/support/InteractDescriptor.h"
#include "ofx/support/InteractDispatcher.h"

namespace OFX {

// An overlay descriptor whose entry point builds Instance objects, one per viewer:
//   class MyOverlayDescriptor
//       : public DefaultEffectOverlayDescriptor<MyOverlayDescriptor, MyOverlay> {};
//   desc.setOverlayInteractDescriptor(new MyOverlayDescriptor);
// Instance needs a constructor (OfxInteractHandle, ImageEffect*).
template <class Descriptor, class Instance>
class DefaultEffectOverlayDescriptor : public InteractDescriptor {
public:
    OfxPluginEntryPoint* getMainEntry() const override { return &mainEntry; }

    Interact* createInstance(OfxInteractHandle handle, ImageEffect* effect) const override {
        return new Instance(handle, effect);
    }

    static OfxStatus mainEntry(const char* action, const void* handle, OfxPropertySetHandle inArgs,
                               OfxPropertySetHandle outArgs) {
        return InteractDispatcher::dispatch(&sharedDescriptor, action, handle, inArgs, outArgs);
    }

private:
    // The entry point is a plain function, so it reaches a descriptor of its own.
    static InteractDescriptor& sharedDescriptor() {
        static Descriptor descriptor;
        return descriptor;
    }
};

} // namespace OFX
