#pragma once

#include "ofx/support/Param.h"
#include "ofx/support/ParamDescriptor.h"

namespace OFX {

class IntParamDescriptor : public ValueParamDescriptor {
public:
    using ValueParamDescriptor::ValueParamDescriptor;

    void setDefault(int value);
    void setRange(int min, int max);
    void setDisplayRange(int min, int max);
};

class Int2DParamDescriptor : public ValueParamDescriptor {
public:
    using ValueParamDescriptor::ValueParamDescriptor;

    void setDefault(int x, int y);
    void setRange(int xMin, int yMin, int xMax, int yMax);
    void setDisplayRange(int xMin, int yMin, int xMax, int yMax);
    void setDimensionLabels(const std::string& x, const std::string& y);
};

class IntParam : public ValueParam {
public:
    using ValueParam::ValueParam;

    int getValue() const;
    int getValueAtTime(OfxTime time) const;
    void setValue(int value);
    void setValueAtTime(OfxTime time, int value);

    int getDefault() const;
    void getRange(int& min, int& max) const;
    void getDisplayRange(int& min, int& max) const;
    void setRange(int min, int max);
    void setDisplayRange(int min, int max);
};

class Int2DParam : public ValueParam {
public:
    using ValueParam::ValueParam;

    OfxPointI getValue() const;
    OfxPointI getValueAtTime(OfxTime time) const;
    void setValue(int x, int y);
    void setValueAtTime(OfxTime time, int x, int y);
};

} // namespace OFX
