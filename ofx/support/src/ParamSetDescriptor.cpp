#include "ofx/support/ParamSetDescriptor.h"

#include "ofx/ofxParametricParam.h"
#include "ofx/support/Exception.h"
#include "ofx/support/HostSuites.h"

namespace OFX {

void ParamSetDescriptor::setParamSetHandles(OfxParamSetHandle paramSet,
                                            OfxPropertySetHandle paramSetProps) {
    paramSet_ = paramSet;
    paramSetProps_ = paramSetProps;
}

template <class Descriptor>
Descriptor* ParamSetDescriptor::define(const std::string& name, ParamTypeEnum type) {
    const auto found = descriptors_.find(name);
    if (found != descriptors_.end()) {
        if (found->second->getType() != type) {
            throw Exception(kOfxStatErrExists,
                            "parameter \"" + name + "\" is already defined with another type");
        }
        return static_cast<Descriptor*>(found->second.get());
    }
    const OfxParameterSuiteV1& suite = requireSuite(suites().parameter, kOfxParameterSuite);
    OfxPropertySetHandle props = nullptr;
    throwIfFailed(suite.paramDefine(paramSet_, mapParamTypeToString(type), name.c_str(), &props),
                  "paramDefine(" + name + ")");
    auto descriptor = std::make_unique<Descriptor>(name, type, props);
    Descriptor* result = descriptor.get();
    descriptors_.emplace(name, std::move(descriptor));
    return result;
}

DoubleParamDescriptor* ParamSetDescriptor::defineDoubleParam(const std::string& name) {
    return define<DoubleParamDescriptor>(name, eParamTypeDouble);
}

Double2DParamDescriptor* ParamSetDescriptor::defineDouble2DParam(const std::string& name) {
    return define<Double2DParamDescriptor>(name, eParamTypeDouble2D);
}

Double3DParamDescriptor* ParamSetDescriptor::defineDouble3DParam(const std::string& name) {
    return define<Double3DParamDescriptor>(name, eParamTypeDouble3D);
}

IntParamDescriptor* ParamSetDescriptor::defineIntParam(const std::string& name) {
    return define<IntParamDescriptor>(name, eParamTypeInteger);
}

Int2DParamDescriptor* ParamSetDescriptor::defineInt2DParam(const std::string& name) {
    return define<Int2DParamDescriptor>(name, eParamTypeInteger2D);
}

BooleanParamDescriptor* ParamSetDescriptor::defineBooleanParam(const std::string& name) {
    return define<BooleanParamDescriptor>(name, eParamTypeBoolean);
}

ChoiceParamDescriptor* ParamSetDescriptor::defineChoiceParam(const std::string& name) {
    return define<ChoiceParamDescriptor>(name, eParamTypeChoice);
}

RGBParamDescriptor* ParamSetDescriptor::defineRGBParam(const std::string& name) {
    return define<RGBParamDescriptor>(name, eParamTypeRGB);
}

RGBAParamDescriptor* ParamSetDescriptor::defineRGBAParam(const std::string& name) {
    return define<RGBAParamDescriptor>(name, eParamTypeRGBA);
}

StringParamDescriptor* ParamSetDescriptor::defineStringParam(const std::string& name) {
    return define<StringParamDescriptor>(name, eParamTypeString);
}

PushButtonParamDescriptor* ParamSetDescriptor::definePushButtonParam(const std::string& name) {
    return define<PushButtonParamDescriptor>(name, eParamTypePushButton);
}

ParametricParamDescriptor* ParamSetDescriptor::defineParametricParam(const std::string& name) {
    return define<ParametricParamDescriptor>(name, eParamTypeParametric);
}

GroupParamDescriptor* ParamSetDescriptor::defineGroupParam(const std::string& name) {
    return define<GroupParamDescriptor>(name, eParamTypeGroup);
}

PageParamDescriptor* ParamSetDescriptor::definePageParam(const std::string& name) {
    return define<PageParamDescriptor>(name, eParamTypePage);
}

ParamDescriptor* ParamSetDescriptor::getParamDescriptor(const std::string& name) const {
    const auto found = descriptors_.find(name);
    return found != descriptors_.end() ? found->second.get() : nullptr;
}

void ParamSetDescriptor::addPageToOrder(const PageParamDescriptor& page) {
    pageOrder_.push_back(page.getName());
    PropertySet(paramSetProps_).setStringN(kOfxPluginPropParamPageOrder, pageOrder_);
}

} // namespace OFX
