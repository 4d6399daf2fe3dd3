#include "host/interact/Interact.h"

namespace ofxhost {

Interact* Interact::fromHandle(OfxInteractHandle handle) {
    return objectFromHandle<Interact>(handle, HandleTag::InteractKind);
}

} // namespace ofxhost
