#pragma once

#include "ofx/ofxCore.h"

#include <stdexcept>
#include <string>

namespace ofxhost {

// An error with the OFX status that describes it. Host-side calls throw it; suite functions
// turn it back into the status before returning to the plug-in.
class HostError : public std::runtime_error {
public:
    HostError(OfxStatus status, const std::string& message)
        : std::runtime_error(message), status_(status) {}
    OfxStatus status() const { return status_; }

private:
    OfxStatus status_;
};

} // namespace ofxhost
