#include "host/suites/InteractSuite.h"

#include "host/core/StatusGuard.h"
#include "host/effect/EffectInstance.h"
#include "host/interact/OverlayInteract.h"
#include "host/plugin/Host.h"

namespace ofxhost {

namespace {

template <class Body>
OfxStatus withInteract(OfxInteractHandle handle, Body&& body) {
    return guardStatus([&]() -> OfxStatus {
        Interact* interact = Interact::fromHandle(handle);
        return interact == nullptr ? kOfxStatErrBadHandle : body(*interact);
    });
}

// A headless viewer: buffers are never shown and redraws only counted.
OfxStatus swapBuffers(OfxInteractHandle handle) {
    return withInteract(handle, [](Interact& interact) {
        interact.owner().effect().host().recorder().countSwapBuffers();
        return kOfxStatOK;
    });
}

OfxStatus redraw(OfxInteractHandle handle) {
    return withInteract(handle, [](Interact& interact) {
        interact.owner().effect().host().recorder().countRedraw();
        return kOfxStatOK;
    });
}

OfxStatus getPropertySet(OfxInteractHandle handle, OfxPropertySetHandle* props) {
    return withInteract(handle, [&](Interact& interact) {
        if (props == nullptr) {
            return kOfxStatErrValue;
        }
        *props = interact.properties().handle();
        return kOfxStatOK;
    });
}

const OfxInteractSuiteV1 kInteractSuite = {swapBuffers, redraw, getPropertySet};

} // namespace

const OfxInteractSuiteV1* interactSuiteV1() {
    return &kInteractSuite;
}

} // namespace ofxhost
