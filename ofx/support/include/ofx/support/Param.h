#pragma once

#include "ofx/ofxParam.h"
#include "ofx/support/Enums.h"
#include "ofx/support/PropertySet.h"

#include <string>

namespace OFX {

// Where getKeyIndex looks for a key relative to a time.
enum KeySearchEnum {
    eKeySearchBackwards = -1,
    eKeySearchNear = 0,
    eKeySearchForwards = 1,
};

// A parameter of an effect instance. The owning ParamSet keeps it for the instance's life.
class Param {
public:
    Param(const std::string& name, ParamTypeEnum type, OfxParamHandle handle,
          OfxPropertySetHandle props);
    virtual ~Param() = default;
    Param(const Param&) = delete;
    Param& operator=(const Param&) = delete;

    const std::string& getName() const { return name_; }
    ParamTypeEnum getType() const { return type_; }
    OfxParamHandle getHandle() const { return handle_; }
    const PropertySet& getPropertySet() const { return props_; }

    std::string getLabel() const;
    std::string getHint() const;
    std::string getScriptName() const;
    std::string getParentName() const;
    bool getIsEnabled() const;
    bool getIsSecret() const;

    void setEnabled(bool enabled);
    void setIsSecret(bool secret);
    void setLabel(const std::string& label);
    void setLabels(const std::string& label, const std::string& shortLabel,
                   const std::string& longLabel);
    void setHint(const std::string& hint);

protected:
    OfxParamHandle handle_;
    PropertySet props_;

private:
    std::string name_;
    ParamTypeEnum type_;
};

// Parameters that hold a value, with the animation calls of the parameter suite.
class ValueParam : public Param {
public:
    using Param::Param;

    bool getIsAnimating() const;
    bool getIsAutoKeying() const;
    bool getEvaluateOnChange() const;
    void setEvaluateOnChange(bool evaluate);

    unsigned int getKeyCount() const;
    OfxTime getKeyTime(unsigned int nthKey) const;
    // The index of the key at (or after, or before) time, or -1 when there is none.
    int getKeyIndex(OfxTime time, KeySearchEnum search) const;
    void deleteKeyAt(OfxTime time);
    void deleteAllKeys();
    // frameRange nullptr copies the whole animation.
    void copyFrom(const ValueParam& from, OfxTime dstOffset, const OfxRangeD* frameRange);
};

} // namespace OFX
