#include "ofx/support/Exception.h"

#include "ofx/ofxGPURender.h"
#include "ofx/support/SupportLog.h"

namespace OFX {

Exception::Exception(OfxStatus status, const std::string& message)
    : std::runtime_error(message), status_(status) {}

std::string statusName(OfxStatus status) {
    switch (status) {
    case kOfxStatOK:
        return "kOfxStatOK";
    case kOfxStatFailed:
        return "kOfxStatFailed";
    case kOfxStatErrFatal:
        return "kOfxStatErrFatal";
    case kOfxStatErrUnknown:
        return "kOfxStatErrUnknown";
    case kOfxStatErrMissingHostFeature:
        return "kOfxStatErrMissingHostFeature";
    case kOfxStatErrUnsupported:
        return "kOfxStatErrUnsupported";
    case kOfxStatErrExists:
        return "kOfxStatErrExists";
    case kOfxStatErrFormat:
        return "kOfxStatErrFormat";
    case kOfxStatErrMemory:
        return "kOfxStatErrMemory";
    case kOfxStatErrBadHandle:
        return "kOfxStatErrBadHandle";
    case kOfxStatErrBadIndex:
        return "kOfxStatErrBadIndex";
    case kOfxStatErrValue:
        return "kOfxStatErrValue";
    case kOfxStatReplyYes:
        return "kOfxStatReplyYes";
    case kOfxStatReplyNo:
        return "kOfxStatReplyNo";
    case kOfxStatReplyDefault:
        return "kOfxStatReplyDefault";
    case kOfxStatErrImageFormat:
        return "kOfxStatErrImageFormat";
    case kOfxStatGPUOutOfMemory:
        return "kOfxStatGPUOutOfMemory";
    case kOfxStatGPURenderFailed:
        return "kOfxStatGPURenderFailed";
    default:
        return "status " + std::to_string(status);
    }
}

void throwIfFailed(OfxStatus status, const std::string& what) {
    if (status != kOfxStatOK) {
        throw Exception(status, what + " failed: " + statusName(status));
    }
}

void reportActionFailure(const char* action, OfxStatus status, const char* message) {
    // A plug-in may answer "not handled" by throwing; that is no failure worth reporting.
    if (status == kOfxStatOK || status == kOfxStatReplyDefault) {
        return;
    }
    SupportLog::write("OFX action %s stopped by an exception (%s): %s",
                      action != nullptr ? action : "(null)", statusName(status).c_str(),
                      message != nullptr ? message : "");
}

} // namespace OFX
