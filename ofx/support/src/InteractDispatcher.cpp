#include "ofx/support/InteractDispatcher.h"

#include "ofx/ofxInteract.h"
#include "ofx/support/Exception.h"
#include "ofx/support/HostSuites.h"
#include "ofx/support/ImageEffect.h"
#include "ofx/support/Interact.h"
#include "ofx/support/InteractDescriptor.h"

#include <cstring>
#include <memory>

namespace OFX {

namespace {

bool is(const char* action, const char* name) {
    return std::strcmp(action, name) == 0;
}

OfxStatus handled(bool used) {
    return used ? kOfxStatOK : kOfxStatReplyDefault;
}

Interact& instanceFor(OfxInteractHandle handle) {
    Interact* instance = Interact::fromHandle(handle);
    if (instance == nullptr) {
        throw Exception(kOfxStatErrBadHandle, "no interact instance for this handle");
    }
    return *instance;
}

OfxStatus describe(InteractDescriptor& descriptor, OfxInteractHandle handle) {
    OfxPropertySetHandle props = nullptr;
    if (const OfxInteractSuiteV1* suite = suites().interact) {
        if (suite->interactGetPropertySet(handle, &props) != kOfxStatOK) {
            props = nullptr;
        }
    }
    descriptor.setPropertySet(props);
    descriptor.describe();
    descriptor.setPropertySet(nullptr);
    return kOfxStatOK;
}

OfxStatus createInstance(const InteractDescriptor& descriptor, OfxInteractHandle handle) {
    const OfxInteractSuiteV1& suite = requireSuite(suites().interact, kOfxInteractSuite);
    OfxPropertySetHandle props = nullptr;
    throwIfFailed(suite.interactGetPropertySet(handle, &props), "interactGetPropertySet");
    void* effectHandle = nullptr;
    PropertySet(props, false).tryGetPointer(kOfxPropEffectInstance, effectHandle);
    ImageEffect* effect = ImageEffect::fromHandle(static_cast<OfxImageEffectHandle>(effectHandle));
    // The Interact constructor records itself on the handle; the object lives until
    // DestroyInstance.
    std::unique_ptr<Interact> instance(descriptor.createInstance(handle, effect));
    if (instance == nullptr) {
        throw Exception(kOfxStatFailed, "the interact descriptor made no instance");
    }
    instance.release();
    return kOfxStatOK;
}

OfxStatus dispatchToInstance(const char* action, OfxInteractHandle handle,
                             OfxPropertySetHandle inArgs) {
    Interact& instance = instanceFor(handle);
    const OfxPropertySetHandle own = instance.getPropertySet().handle();
    if (is(action, kOfxInteractActionDraw)) {
        return handled(instance.draw(DrawArgs::read(inArgs, own)));
    }
    if (is(action, kOfxInteractActionPenMotion)) {
        return handled(instance.penMotion(PenArgs::read(inArgs, own)));
    }
    if (is(action, kOfxInteractActionPenDown)) {
        return handled(instance.penDown(PenArgs::read(inArgs, own)));
    }
    if (is(action, kOfxInteractActionPenUp)) {
        return handled(instance.penUp(PenArgs::read(inArgs, own)));
    }
    if (is(action, kOfxInteractActionKeyDown)) {
        return handled(instance.keyDown(KeyArgs::read(inArgs)));
    }
    if (is(action, kOfxInteractActionKeyUp)) {
        return handled(instance.keyUp(KeyArgs::read(inArgs)));
    }
    if (is(action, kOfxInteractActionKeyRepeat)) {
        return handled(instance.keyRepeat(KeyArgs::read(inArgs)));
    }
    if (is(action, kOfxInteractActionGainFocus)) {
        return handled(instance.gainFocus(FocusArgs::read(inArgs, own)));
    }
    if (is(action, kOfxInteractActionLoseFocus)) {
        return handled(instance.loseFocus(FocusArgs::read(inArgs, own)));
    }
    return kOfxStatReplyDefault;
}

} // namespace

OfxStatus InteractDispatcher::dispatch(DescriptorGetter getDescriptor, const char* action,
                                       const void* handle, OfxPropertySetHandle inArgs,
                                       OfxPropertySetHandle) noexcept {
    if (action == nullptr) {
        return kOfxStatErrValue;
    }
    return guardAction(action, [&]() -> OfxStatus {
        // The C API hands every handle over as const void*.
        OfxInteractHandle interact = static_cast<OfxInteractHandle>(const_cast<void*>(handle));
        if (is(action, kOfxActionDescribeInteract)) {
            return describe(getDescriptor(), interact);
        }
        if (is(action, kOfxActionCreateInstanceInteract)) {
            return createInstance(getDescriptor(), interact);
        }
        if (is(action, kOfxActionDestroyInstanceInteract)) {
            delete &instanceFor(interact);
            return kOfxStatOK;
        }
        return dispatchToInstance(action, interact, inArgs);
    });
}

} // namespace OFX
