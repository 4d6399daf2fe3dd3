#pragma once

#include "ofx/support/Param.h"
#include "ofx/support/ParamDescriptor.h"

#include <string>
#include <vector>

namespace OFX {

// The value is the index of the chosen option.
class ChoiceParamDescriptor : public ValueParamDescriptor {
public:
    using ValueParamDescriptor::ValueParamDescriptor;

    void setDefault(int index);
    void appendOption(const std::string& label);
    void resetOptions();
    int getOptionCount() const { return static_cast<int>(options_.size()); }

private:
    // Written whole each time, so the host never sees a gap or a stale trailing option.
    std::vector<std::string> options_;
};

class ChoiceParam : public ValueParam {
public:
    using ValueParam::ValueParam;

    int getValue() const;
    int getValueAtTime(OfxTime time) const;
    void setValue(int index);
    void setValueAtTime(OfxTime time, int index);
    int getDefault() const;

    // Options can change at run time (e.g. a list of files).
    int getOptionCount() const;
    std::string getOption(int index) const;
    void appendOption(const std::string& label);
    void resetOptions();
    void resetOptions(const std::vector<std::string>& labels);
};

} // namespace OFX
