#pragma once

#include "ofx/ofxCore.h"

namespace OFX {

class InteractDescriptor;

// The body of every interact entry point: routes the interact actions to the descriptor and
// its instances and turns exceptions into statuses.
class InteractDispatcher {
public:
    using DescriptorGetter = InteractDescriptor& (*)();

    // getDescriptor runs inside the exception guard, so a descriptor built on first use may
    // throw safely.
    static OfxStatus dispatch(DescriptorGetter getDescriptor, const char* action,
                              const void* handle, OfxPropertySetHandle inArgs,
                              OfxPropertySetHandle outArgs) noexcept;
};

} // namespace OFX
