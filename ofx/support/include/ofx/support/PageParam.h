#pragma once

#include "ofx/support/Param.h"
#include "ofx/support/ParamDescriptor.h"

#include <string>
#include <vector>

namespace OFX {

// A page of the host's paged layout; children fill it top-left, down the columns.
class PageParamDescriptor : public ParamDescriptor {
public:
    using ParamDescriptor::ParamDescriptor;

    void addChild(const ParamDescriptor& child);
    void addSkipRow();
    void addSkipColumn();
    const std::vector<std::string>& getChildren() const { return children_; }

private:
    void append(const std::string& name);

    // Written whole each time: hosts start the list with one empty entry or with none.
    std::vector<std::string> children_;
};

class PageParam : public Param {
public:
    using Param::Param;

    std::vector<std::string> getChildren() const;
};

} // namespace OFX
