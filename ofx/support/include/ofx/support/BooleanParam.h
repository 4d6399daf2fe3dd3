#pragma once

#include "ofx/support/Param.h"
#include "ofx/support/ParamDescriptor.h"

namespace OFX {

class BooleanParamDescriptor : public ValueParamDescriptor {
public:
    using ValueParamDescriptor::ValueParamDescriptor;

    void setDefault(bool value);
};

// Crosses the suite as an int holding 0 or 1.
class BooleanParam : public ValueParam {
public:
    using ValueParam::ValueParam;

    bool getValue() const;
    bool getValueAtTime(OfxTime time) const;
    void setValue(bool value);
    void setValueAtTime(OfxTime time, bool value);
    bool getDefault() const;
};

} // namespace OFX
