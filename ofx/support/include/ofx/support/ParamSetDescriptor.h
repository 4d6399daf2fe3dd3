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
#include <string>
#include <vector>

namespace OFX {

// Defines parameters while an effect is described; owns the descriptor wrappers it returns.
// The host receives the parameters in the order they are defined.
class ParamSetDescriptor {
public:
    ParamSetDescriptor() = default;
    virtual ~ParamSetDescriptor() = default;
    ParamSetDescriptor(const ParamSetDescriptor&) = delete;
    ParamSetDescriptor& operator=(const ParamSetDescriptor&) = delete;

    // Defining a name again returns the existing descriptor when the type is the same and
    // throws Exception(kOfxStatErrExists) when it is not.
    DoubleParamDescriptor* defineDoubleParam(const std::string& name);
    Double2DParamDescriptor* defineDouble2DParam(const std::string& name);
    Double3DParamDescriptor* defineDouble3DParam(const std::string& name);
    IntParamDescriptor* defineIntParam(const std::string& name);
    Int2DParamDescriptor* defineInt2DParam(const std::string& name);
    BooleanParamDescriptor* defineBooleanParam(const std::string& name);
    ChoiceParamDescriptor* defineChoiceParam(const std::string& name);
    RGBParamDescriptor* defineRGBParam(const std::string& name);
    RGBAParamDescriptor* defineRGBAParam(const std::string& name);
    StringParamDescriptor* defineStringParam(const std::string& name);
    PushButtonParamDescriptor* definePushButtonParam(const std::string& name);
    ParametricParamDescriptor* defineParametricParam(const std::string& name);
    GroupParamDescriptor* defineGroupParam(const std::string& name);
    PageParamDescriptor* definePageParam(const std::string& name);

    // A descriptor defined earlier in this describe call, or nullptr.
    ParamDescriptor* getParamDescriptor(const std::string& name) const;

    // Appends a page to the preferred page order (kOfxPluginPropParamPageOrder).
    void addPageToOrder(const PageParamDescriptor& page);

protected:
    // Called by the derived descriptor once it has the host's handles.
    void setParamSetHandles(OfxParamSetHandle paramSet, OfxPropertySetHandle paramSetProps);

private:
    template <class Descriptor>
    Descriptor* define(const std::string& name, ParamTypeEnum type);

    OfxParamSetHandle paramSet_ = nullptr;
    OfxPropertySetHandle paramSetProps_ = nullptr;
    std::map<std::string, std::unique_ptr<ParamDescriptor>> descriptors_;
    std::vector<std::string> pageOrder_;
};

} // namespace OFX
