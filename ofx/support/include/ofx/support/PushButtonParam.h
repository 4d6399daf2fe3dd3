#pragma once

#include "ofx/support/Param.h"
#include "ofx/support/ParamDescriptor.h"

namespace OFX {

// No value: a press reaches the effect as changedParam with the button's name.
class PushButtonParamDescriptor : public ParamDescriptor {
public:
    using ParamDescriptor::ParamDescriptor;
};

class PushButtonParam : public Param {
public:
    using Param::Param;
};

} // namespace OFX
