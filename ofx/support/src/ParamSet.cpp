#include "ofx/support/ParamSet.h"

#include "ofx/ofxParametricParam.h"
#include "ofx/support/Exception.h"
#include "ofx/support/HostSuites.h"

namespace OFX {

OfxStatus ParamSet::lookup(const std::string& name, OfxParamHandle& handle,
                           OfxPropertySetHandle& props) const {
    const OfxParameterSuiteV1& suite = requireSuite(suites().parameter, kOfxParameterSuite);
    return suite.paramGetHandle(paramSet_, name.c_str(), &handle, &props);
}

template <class ParamClass>
ParamClass* ParamSet::fetch(const std::string& name, ParamTypeEnum type) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = params_.find(name);
    if (found != params_.end()) {
        return found->second->getType() == type ? static_cast<ParamClass*>(found->second.get())
                                                : nullptr;
    }
    OfxParamHandle handle = nullptr;
    OfxPropertySetHandle props = nullptr;
    const OfxStatus status = lookup(name, handle, props);
    if (status == kOfxStatErrUnknown) {
        return nullptr;
    }
    throwIfFailed(status, "paramGetHandle(" + name + ")");
    const ParamTypeEnum actual =
        mapStringToParamType(PropertySet(props).getString(kOfxParamPropType));
    if (actual != type) {
        return nullptr;
    }
    auto param = std::make_unique<ParamClass>(name, type, handle, props);
    ParamClass* result = param.get();
    params_.emplace(name, std::move(param));
    return result;
}

DoubleParam* ParamSet::fetchDoubleParam(const std::string& name) {
    return fetch<DoubleParam>(name, eParamTypeDouble);
}

Double2DParam* ParamSet::fetchDouble2DParam(const std::string& name) {
    return fetch<Double2DParam>(name, eParamTypeDouble2D);
}

Double3DParam* ParamSet::fetchDouble3DParam(const std::string& name) {
    return fetch<Double3DParam>(name, eParamTypeDouble3D);
}

IntParam* ParamSet::fetchIntParam(const std::string& name) {
    return fetch<IntParam>(name, eParamTypeInteger);
}

Int2DParam* ParamSet::fetchInt2DParam(const std::string& name) {
    return fetch<Int2DParam>(name, eParamTypeInteger2D);
}

BooleanParam* ParamSet::fetchBooleanParam(const std::string& name) {
    return fetch<BooleanParam>(name, eParamTypeBoolean);
}

ChoiceParam* ParamSet::fetchChoiceParam(const std::string& name) {
    return fetch<ChoiceParam>(name, eParamTypeChoice);
}

RGBParam* ParamSet::fetchRGBParam(const std::string& name) {
    return fetch<RGBParam>(name, eParamTypeRGB);
}

RGBAParam* ParamSet::fetchRGBAParam(const std::string& name) {
    return fetch<RGBAParam>(name, eParamTypeRGBA);
}

StringParam* ParamSet::fetchStringParam(const std::string& name) {
    return fetch<StringParam>(name, eParamTypeString);
}

PushButtonParam* ParamSet::fetchPushButtonParam(const std::string& name) {
    return fetch<PushButtonParam>(name, eParamTypePushButton);
}

ParametricParam* ParamSet::fetchParametricParam(const std::string& name) {
    return fetch<ParametricParam>(name, eParamTypeParametric);
}

GroupParam* ParamSet::fetchGroupParam(const std::string& name) {
    return fetch<GroupParam>(name, eParamTypeGroup);
}

PageParam* ParamSet::fetchPageParam(const std::string& name) {
    return fetch<PageParam>(name, eParamTypePage);
}

bool ParamSet::paramExists(const std::string& name) const {
    return getParamType(name) != eParamTypeNone;
}

ParamTypeEnum ParamSet::getParamType(const std::string& name) const {
    OfxParamHandle handle = nullptr;
    OfxPropertySetHandle props = nullptr;
    if (lookup(name, handle, props) != kOfxStatOK) {
        return eParamTypeNone;
    }
    std::string type;
    if (PropertySet(props).tryGetString(kOfxParamPropType, type) != kOfxStatOK) {
        return eParamTypeNone;
    }
    return mapStringToParamType(type);
}

void ParamSet::beginEditBlock(const std::string& name) {
    const OfxParameterSuiteV1& suite = requireSuite(suites().parameter, kOfxParameterSuite);
    throwIfFailed(suite.paramEditBegin(paramSet_, name.c_str()), "paramEditBegin(" + name + ")");
}

void ParamSet::endEditBlock() {
    const OfxParameterSuiteV1& suite = requireSuite(suites().parameter, kOfxParameterSuite);
    throwIfFailed(suite.paramEditEnd(paramSet_), "paramEditEnd");
}

} // namespace OFX
