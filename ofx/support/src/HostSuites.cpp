#include "ofx/support/HostSuites.h"

namespace OFX {

namespace {

template <class Suite>
const Suite* fetchSuite(const OfxHost* host, const char* name, int version) {
    if (host == nullptr || host->fetchSuite == nullptr) {
        return nullptr;
    }
    return static_cast<const Suite*>(host->fetchSuite(host->host, name, version));
}

} // namespace

void HostSuites::fetch(const OfxHost* host) {
    hostProperties = host != nullptr ? host->host : nullptr;
    property = fetchSuite<OfxPropertySuiteV1>(host, kOfxPropertySuite, 1);
    imageEffect = fetchSuite<OfxImageEffectSuiteV1>(host, kOfxImageEffectSuite, 1);
    parameter = fetchSuite<OfxParameterSuiteV1>(host, kOfxParameterSuite, 1);
    parametric = fetchSuite<OfxParametricParameterSuiteV1>(host, kOfxParametricParameterSuite, 1);
    memory = fetchSuite<OfxMemorySuiteV1>(host, kOfxMemorySuite, 1);
    multiThread = fetchSuite<OfxMultiThreadSuiteV1>(host, kOfxMultiThreadSuite, 1);
    messageV2 = fetchSuite<OfxMessageSuiteV2>(host, kOfxMessageSuite, 2);
    messageV1 = fetchSuite<OfxMessageSuiteV1>(host, kOfxMessageSuite, 1);
    if (messageV1 == nullptr && messageV2 != nullptr) {
        // V2 starts with V1's only member, so its table serves V1 callers too.
        messageV1 = reinterpret_cast<const OfxMessageSuiteV1*>(messageV2);
    }
    interact = fetchSuite<OfxInteractSuiteV1>(host, kOfxInteractSuite, 1);
    draw = fetchSuite<OfxDrawSuiteV1>(host, kOfxDrawSuite, 1);
    progressV2 = fetchSuite<OfxProgressSuiteV2>(host, kOfxProgressSuite, 2);
    progressV1 = fetchSuite<OfxProgressSuiteV1>(host, kOfxProgressSuite, 1);
    timeLine = fetchSuite<OfxTimeLineSuiteV1>(host, kOfxTimeLineSuite, 1);
}

const char* HostSuites::missingMandatorySuite() const {
    if (property == nullptr) {
        return kOfxPropertySuite;
    }
    if (imageEffect == nullptr) {
        return kOfxImageEffectSuite;
    }
    if (parameter == nullptr) {
        return kOfxParameterSuite;
    }
    return nullptr;
}

HostSuites& suites() {
    static HostSuites table;
    return table;
}

} // namespace OFX
