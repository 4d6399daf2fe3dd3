#pragma once

#include "host/core/HostError.h"

#include "ofx/ofxCore.h"

#include <new>

namespace ofxhost {

// Runs a suite function's body; nothing may unwind into the plug-in, so every exception
// becomes a status.
template <class Body>
OfxStatus guardStatus(Body&& body) noexcept {
    try {
        return body();
    } catch (const HostError& error) {
        return error.status();
    } catch (const std::bad_alloc&) {
        return kOfxStatErrMemory;
    } catch (...) {
        return kOfxStatFailed;
    }
}

} // namespace ofxhost
