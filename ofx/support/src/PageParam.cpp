#include "ofx/support/PageParam.h"

namespace OFX {

void PageParamDescriptor::addChild(const ParamDescriptor& child) {
    append(child.getName());
}

void PageParamDescriptor::addSkipRow() {
    append(kOfxParamPageSkipRow);
}

void PageParamDescriptor::addSkipColumn() {
    append(kOfxParamPageSkipColumn);
}

void PageParamDescriptor::append(const std::string& name) {
    children_.push_back(name);
    props_.setStringN(kOfxParamPropPageChild, children_);
}

std::vector<std::string> PageParam::getChildren() const {
    return props_.getStringN(kOfxParamPropPageChild);
}

} // namespace OFX
