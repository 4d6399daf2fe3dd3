#pragma once

#include "ofx/support/Enums.h"
#include "ofx/support/PropertySet.h"

#include <string>

namespace OFX {

class GroupParamDescriptor;

// A parameter being described (inside describeInContext). The host owns the property set;
// the plug-in's ParamSetDescriptor owns this wrapper.
class ParamDescriptor {
public:
    ParamDescriptor(const std::string& name, ParamTypeEnum type, OfxPropertySetHandle props);
    virtual ~ParamDescriptor() = default;
    ParamDescriptor(const ParamDescriptor&) = delete;
    ParamDescriptor& operator=(const ParamDescriptor&) = delete;

    const std::string& getName() const { return name_; }
    ParamTypeEnum getType() const { return type_; }
    const PropertySet& getPropertySet() const { return props_; }

    // Hosts reset the short and long labels when the label is set; setLabels sets all three.
    void setLabel(const std::string& label);
    void setLabels(const std::string& label, const std::string& shortLabel,
                   const std::string& longLabel);
    void setShortLabel(const std::string& label);
    void setLongLabel(const std::string& label);
    void setHint(const std::string& hint);
    void setScriptName(const std::string& scriptName);
    void setIsSecret(bool secret);
    void setEnabled(bool enabled);
    void setParent(const GroupParamDescriptor& group);
    // Paths relative to the bundle's Contents/Resources.
    void setIcon(const std::string& svgFile, const std::string& pngFile);
    // A layout hint for hosts that lay out rows themselves; hosts that do not know it ignore it.
    void setLayoutHint(LayoutHintEnum hint, int padWidth = 0);

protected:
    PropertySet props_;

private:
    std::string name_;
    ParamTypeEnum type_;
};

// Parameters that hold a value (all but group, page and push button).
class ValueParamDescriptor : public ParamDescriptor {
public:
    using ParamDescriptor::ParamDescriptor;

    void setAnimates(bool animates);
    void setIsPersistent(bool persistent);
    void setEvaluateOnChange(bool evaluate);
    void setCanUndo(bool canUndo);
    void setCacheInvalidation(CacheInvalidationEnum invalidation);
    void setUseHostOverlayHandle(bool use);
};

} // namespace OFX
