#pragma once

#include "ofx/support/ParamSet.h"

#include <string>

namespace OFX {

// Brackets value changes into one undo step for the lifetime of the object.
class EditBlock {
public:
    EditBlock(ParamSet& params, const std::string& name) : params_(params) {
        params_.beginEditBlock(name);
    }
    ~EditBlock() {
        try {
            params_.endEditBlock();
        } catch (...) {
            // A destructor must not throw; the host closes an open block itself.
        }
    }
    EditBlock(const EditBlock&) = delete;
    EditBlock& operator=(const EditBlock&) = delete;

private:
    ParamSet& params_;
};

} // namespace OFX
