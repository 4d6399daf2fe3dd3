#pragma once

#include "ofx/support/Param.h"
#include "ofx/support/ParamDescriptor.h"

namespace OFX {

// A collapsible group; members name it with ParamDescriptor::setParent.
class GroupParamDescriptor : public ParamDescriptor {
public:
    using ParamDescriptor::ParamDescriptor;

    void setOpen(bool open);
};

class GroupParam : public Param {
public:
    using Param::Param;

    bool getIsOpen() const;
};

} // namespace OFX
