#include "host/suites/TimeLineSuite.h"

#include "host/core/StatusGuard.h"
#include "host/effect/EffectInstance.h"

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

OfxStatus getTime(void* handle, double* time) {
    return withInstance(handle, [&](EffectInstance& instance) {
        if (time == nullptr) {
            return kOfxStatErrValue;
        }
        *time = instance.time();
        return kOfxStatOK;
    });
}

OfxStatus gotoTime(void* handle, double time) {
    return withInstance(handle, [&](EffectInstance& instance) {
        instance.setTime(time);
        return kOfxStatOK;
    });
}

OfxStatus getTimeBounds(void* handle, double* first, double* last) {
    return withInstance(handle, [&](EffectInstance& instance) {
        if (first == nullptr || last == nullptr) {
            return kOfxStatErrValue;
        }
        *first = instance.project().firstFrame;
        *last = instance.project().lastFrame;
        return kOfxStatOK;
    });
}

const OfxTimeLineSuiteV1 kTimeLineSuite = {getTime, gotoTime, getTimeBounds};

} // namespace

const OfxTimeLineSuiteV1* timeLineSuiteV1() {
    return &kTimeLineSuite;
}

} // namespace ofxhost
