#include "host/suites/ProgressSuite.h"

#include "host/core/StatusGuard.h"
#include "host/effect/EffectInstance.h"
#include "host/plugin/Host.h"

namespace ofxhost {

namespace {

template <class Body>
OfxStatus withInstance(void* handle, Body&& body) {
    return guardStatus([&]() -> OfxStatus {
        ImageEffect* effect = ImageEffect::fromHandle(handle);
        EffectInstance* instance = effect != nullptr ? effect->asInstance() : nullptr;
        return instance == nullptr ? kOfxStatErrBadHandle : body(*instance);
    });
}

OfxStatus start(void* handle, const char* label) {
    return withInstance(handle, [&](EffectInstance& instance) {
        instance.host().recorder().addProgress(
            {ProgressEvent::Kind::Start, label != nullptr ? label : "", 0.0});
        return kOfxStatOK;
    });
}

OfxStatus startV2(void* handle, const char* label, const char*) {
    return start(handle, label);
}

OfxStatus update(void* handle, double progress) {
    return withInstance(handle, [&](EffectInstance& instance) {
        instance.host().recorder().addProgress({ProgressEvent::Kind::Update, "", progress});
        // An abort request is this host's cancel button.
        return instance.abortRequested() ? kOfxStatReplyNo : kOfxStatOK;
    });
}

OfxStatus end(void* handle) {
    return withInstance(handle, [&](EffectInstance& instance) {
        instance.host().recorder().addProgress({ProgressEvent::Kind::End, "", 1.0});
        return kOfxStatOK;
    });
}

const OfxProgressSuiteV1 kProgressV1 = {start, update, end};
const OfxProgressSuiteV2 kProgressV2 = {startV2, update, end};

} // namespace

const OfxProgressSuiteV1* progressSuiteV1() {
    return &kProgressV1;
}
const OfxProgressSuiteV2* progressSuiteV2() {
    return &kProgressV2;
}

} // namespace ofxhost
