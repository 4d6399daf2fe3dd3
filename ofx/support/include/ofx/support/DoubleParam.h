#pragma once

#include "ofx/support/Param.h"
#include "ofx/support/ParamDescriptor.h"

namespace OFX {

// What the 1D, 2D and 3D double descriptors share.
class BaseDoubleParamDescriptor : public ValueParamDescriptor {
public:
    using ValueParamDescriptor::ValueParamDescriptor;

    void setDoubleType(DoubleTypeEnum type);
    // How the default is given for spatial double types (canonical pixels or project fraction).
    void setDefaultCoordinateSystem(CoordinateSystemEnum system);
    void setIncrement(double increment);
    void setDigits(int digits);
};

class DoubleParamDescriptor : public BaseDoubleParamDescriptor {
public:
    using BaseDoubleParamDescriptor::BaseDoubleParamDescriptor;

    void setDefault(double value);
    void setRange(double min, double max);
    void setDisplayRange(double min, double max);
    void setShowTimeMarker(bool show);
};

class Double2DParamDescriptor : public BaseDoubleParamDescriptor {
public:
    using BaseDoubleParamDescriptor::BaseDoubleParamDescriptor;

    void setDefault(double x, double y);
    void setRange(double xMin, double yMin, double xMax, double yMax);
    void setDisplayRange(double xMin, double yMin, double xMax, double yMax);
    void setDimensionLabels(const std::string& x, const std::string& y);
};

class Double3DParamDescriptor : public BaseDoubleParamDescriptor {
public:
    using BaseDoubleParamDescriptor::BaseDoubleParamDescriptor;

    void setDefault(double x, double y, double z);
    void setRange(double xMin, double yMin, double zMin, double xMax, double yMax, double zMax);
    void setDisplayRange(double xMin, double yMin, double zMin, double xMax, double yMax,
                         double zMax);
    void setDimensionLabels(const std::string& x, const std::string& y, const std::string& z);
};

class DoubleParam : public ValueParam {
public:
    using ValueParam::ValueParam;

    double getValue() const;
    double getValueAtTime(OfxTime time) const;
    void setValue(double value);
    void setValueAtTime(OfxTime time, double value);
    double getDerivative(OfxTime time) const;
    double getIntegral(OfxTime time1, OfxTime time2) const;

    double getDefault() const;
    void getRange(double& min, double& max) const;
    void getDisplayRange(double& min, double& max) const;
    void setRange(double min, double max);
    void setDisplayRange(double min, double max);
};

class Double2DParam : public ValueParam {
public:
    using ValueParam::ValueParam;

    OfxPointD getValue() const;
    OfxPointD getValueAtTime(OfxTime time) const;
    void setValue(double x, double y);
    void setValueAtTime(OfxTime time, double x, double y);
    OfxPointD getDefault() const;
};

class Double3DParam : public ValueParam {
public:
    using ValueParam::ValueParam;

    void getValue(double& x, double& y, double& z) const;
    void getValueAtTime(OfxTime time, double& x, double& y, double& z) const;
    void setValue(double x, double y, double z);
    void setValueAtTime(OfxTime time, double x, double y, double z);
};

} // namespace OFX
