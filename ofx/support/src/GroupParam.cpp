#include "ofx/support/GroupParam.h"

namespace OFX {

void GroupParamDescriptor::setOpen(bool open) {
    props_.setInt(kOfxParamPropGroupOpen, open ? 1 : 0);
}

bool GroupParam::getIsOpen() const {
    return props_.getInt(kOfxParamPropGroupOpen) != 0;
}

} // namespace OFX
