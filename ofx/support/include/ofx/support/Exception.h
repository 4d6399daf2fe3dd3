#pragma once

#include "ofx/ofxCore.h"

#include <new>
#include <stdexcept>
#include <string>

namespace OFX {

// An error that carries the OFX status the host should receive when it reaches an entry point.
class Exception : public std::runtime_error {
public:
    Exception(OfxStatus status, const std::string& message);
    OfxStatus status() const noexcept { return status_; }

private:
    OfxStatus status_;
};

// The macro name of a status ("kOfxStatFailed"), or its number for codes we do not know.
std::string statusName(OfxStatus status);

// Throws Exception(status, what + status name) unless status is kOfxStatOK.
void throwIfFailed(OfxStatus status, const std::string& what);

// Reports an exception that stopped an action (see SupportLog).
void reportActionFailure(const char* action, OfxStatus status, const char* message);

// Runs body() and turns every exception into a status, so nothing unwinds into the host:
// OFX::Exception gives its own status, std::bad_alloc kOfxStatErrMemory, anything else
// kOfxStatFailed.
template <class Body>
OfxStatus guardAction(const char* action, Body&& body) noexcept {
    try {
        return body();
    } catch (const Exception& e) {
        reportActionFailure(action, e.status(), e.what());
        return e.status();
    } catch (const std::bad_alloc&) {
        reportActionFailure(action, kOfxStatErrMemory, "out of memory");
        return kOfxStatErrMemory;
    } catch (const std::exception& e) {
        reportActionFailure(action, kOfxStatFailed, e.what());
        return kOfxStatFailed;
    } catch (...) {
        reportActionFailure(action, kOfxStatFailed, "unknown exception");
        return kOfxStatFailed;
    }
}

} // namespace OFX
