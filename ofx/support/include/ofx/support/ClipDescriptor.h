#pragma once

#include "ofx/support/Enums.h"
#include "ofx/support/PropertySet.h"

#include <string>
#include <vector>

namespace OFX {

// A clip being defined in describeInContext.
class ClipDescriptor {
public:
    ClipDescriptor(const std::string& name, OfxPropertySetHandle props);
    ClipDescriptor(const ClipDescriptor&) = delete;
    ClipDescriptor& operator=(const ClipDescriptor&) = delete;

    const std::string& getName() const { return name_; }
    const PropertySet& getPropertySet() const { return props_; }

    void setLabel(const std::string& label);
    void setLabels(const std::string& label, const std::string& shortLabel,
                   const std::string& longLabel);
    // At least one is required.
    void addSupportedComponent(PixelComponentEnum components);
    void setOptional(bool optional);
    // A hint that the clip is a single-channel mask (hosts may offer shapes for it).
    void setIsMask(bool isMask);
    void setSupportsTiles(bool supportsTiles);
    void setTemporalClipAccess(bool temporalAccess);
    void setFieldExtraction(FieldEnum extraction);

private:
    std::string name_;
    PropertySet props_;
    std::vector<std::string> components_;
};

} // namespace OFX
