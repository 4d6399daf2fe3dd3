#include "host/params/ParamTypeInfo.h"

#include "ofx/ofxParam.h"
#include "ofx/ofxParametricParam.h"

#include <map>

namespace ofxhost {

std::optional<ParamTypeInfo> ParamTypeInfo::forType(const std::string& type) {
    using S = Storage;
    static const std::map<std::string, ParamTypeInfo> kTypes = {
        {kOfxParamTypeInteger, {S::Int, 1, true, false}},
        {kOfxParamTypeInteger2D, {S::Int, 2, true, false}},
        {kOfxParamTypeInteger3D, {S::Int, 3, true, false}},
        {kOfxParamTypeDouble, {S::Double, 1, true, true}},
        {kOfxParamTypeDouble2D, {S::Double, 2, true, true}},
        {kOfxParamTypeDouble3D, {S::Double, 3, true, true}},
        {kOfxParamTypeRGB, {S::Double, 3, true, true}},
        {kOfxParamTypeRGBA, {S::Double, 4, true, true}},
        {kOfxParamTypeBoolean, {S::Int, 1, false, false}},
        {kOfxParamTypeChoice, {S::Int, 1, false, false}},
        {kOfxParamTypeStrChoice, {S::Text, 1, false, false}},
        {kOfxParamTypeString, {S::Text, 1, false, false}},
        {kOfxParamTypeCustom, {S::Text, 1, false, false}},
        {kOfxParamTypeGroup, {S::None, 0, false, false}},
        {kOfxParamTypePage, {S::None, 0, false, false}},
        {kOfxParamTypePushButton, {S::None, 0, false, false}},
        {kOfxParamTypeParametric, {S::Parametric, 0, true, false}},
    };
    auto found = kTypes.find(type);
    if (found == kTypes.end()) {
        return std::nullopt;
    }
    return found->second;
}

} // namespace ofxhost
