#pragma once

#include "ofx/ofxParam.h"
#include "ofx/support/BooleanParam.h"
#include "ofx/support/ChoiceParam.h"
#include "ofx/support/ColourParam.h"
#include "ofx/support/DoubleParam.h"
#include "ofx/support/GroupParam.h"
#include "ofx/support/IntParam.h"
#include "ofx/support/PageParam.h"
#include "ofx/support/ParametricParam.h"
#include "ofx/support/PushButtonParam.h"
#include "ofx/support/StringParam.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace OFX {

// The parameters of an effect instance. A fetch returns the same object every time; objects
// live as long as the instance. Fetching a name the host does not know, or a parameter of
// another type, gives nullptr; other host failures throw OFX::Exception. Thread-safe.
class ParamSet {
public:
    ParamSet() = default;
    virtual ~ParamSet() = default;
    ParamSet(const ParamSet&) = delete;
    ParamSet& operator=(const ParamSet&) = delete;

    DoubleParam* fetchDoubleParam(const std::string& name);
    Double2DParam* fetchDouble2DParam(const std::string& name);
    Double3DParam* fetchDouble3DParam(const std::string& name);
    IntParam* fetchIntParam(const std::string& name);
    Int2DParam* fetchInt2DParam(const std::string& name);
    BooleanParam* fetchBooleanParam(const std::string& name);
    ChoiceParam* fetchChoiceParam(const std::string& name);
    RGBParam* fetchRGBParam(const std::string& name);
    RGBAParam* fetchRGBAParam(const std::string& name);
    StringParam* fetchStringParam(const std::string& name);
    PushButtonParam* fetchPushButtonParam(const std::string& name);
    ParametricParam* fetchParametricParam(const std::string& name);
    GroupParam* fetchGroupParam(const std::string& name);
    PageParam* fetchPageParam(const std::string& name);

    bool paramExists(const std::string& name) const;
    // eParamTypeNone when the host does not know the name.
    ParamTypeEnum getParamType(const std::string& name) const;

    // Groups the value changes made until endEditBlock into one undo step on the host.
    void beginEditBlock(const std::string& name);
    void endEditBlock();

protected:
    void setParamSetHandle(OfxParamSetHandle paramSet) { paramSet_ = paramSet; }
    OfxParamSetHandle getParamSetHandle() const { return paramSet_; }

private:
    template <class ParamClass>
    ParamClass* fetch(const std::string& name, ParamTypeEnum type);
    OfxStatus lookup(const std::string& name, OfxParamHandle& handle,
                     OfxPropertySetHandle& props) const;

    OfxParamSetHandle paramSet_ = nullptr;
    std::mutex mutex_;
    std::map<std::string, std::unique_ptr<Param>> params_;
};

} // namespace OFX
