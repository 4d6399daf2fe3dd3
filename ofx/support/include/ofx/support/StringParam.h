#pragma once

#include "ofx/support/Param.h"
#include "ofx/support/ParamDescriptor.h"

#include <string>

namespace OFX {

class StringParamDescriptor : public ValueParamDescriptor {
public:
    using ValueParamDescriptor::ValueParamDescriptor;

    void setDefault(const std::string& value);
    void setStringType(StringTypeEnum type);
    // false lets a file or folder path name something that does not exist yet (a save dialog).
    void setFilePathExists(bool exists);
};

// UTF-8 text; the host owns what it hands back, so getters return copies.
class StringParam : public ValueParam {
public:
    using ValueParam::ValueParam;

    std::string getValue() const;
    std::string getValueAtTime(OfxTime time) const;
    void setValue(const std::string& value);
    void setValueAtTime(OfxTime time, const std::string& value);
    std::string getDefault() const;
};

} // namespace OFX
