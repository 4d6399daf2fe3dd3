#pragma once

#include "ofx/ofxDrawSuite.h"
#include "ofx/ofxImageEffect.h"
#include "ofx/ofxParametricParam.h"
#include "ofx/ofxProgress.h"
#include "ofx/ofxTimeLine.h"
#include "ofx/support/Exception.h"

#include <string>

namespace OFX {

// The suites the host handed out, fetched once when the host is given to the plug-in.
// Suite tables stay valid while the binary is loaded, so only the pointers are kept.
struct HostSuites {
    OfxPropertySetHandle hostProperties = nullptr;
    const OfxPropertySuiteV1* property = nullptr;
    const OfxImageEffectSuiteV1* imageEffect = nullptr;
    const OfxParameterSuiteV1* parameter = nullptr;
    const OfxParametricParameterSuiteV1* parametric = nullptr;
    const OfxMemorySuiteV1* memory = nullptr;
    const OfxMultiThreadSuiteV1* multiThread = nullptr;
    const OfxMessageSuiteV1* messageV1 = nullptr;
    const OfxMessageSuiteV2* messageV2 = nullptr;
    const OfxInteractSuiteV1* interact = nullptr;
    const OfxDrawSuiteV1* draw = nullptr;
    const OfxProgressSuiteV1* progressV1 = nullptr;
    const OfxProgressSuiteV2* progressV2 = nullptr;
    const OfxTimeLineSuiteV1* timeLine = nullptr;

    // Replaces every pointer with what this host offers; a null host clears them.
    void fetch(const OfxHost* host);
    // Name of the first mandatory suite (property, image effect, parameter) that is missing, or
    // nullptr when all are there.
    const char* missingMandatorySuite() const;
};

// The process-wide suite table.
HostSuites& suites();

// The suite itself, or Exception(kOfxStatErrMissingHostFeature) naming it.
template <class Suite>
const Suite& requireSuite(const Suite* suite, const char* name) {
    if (suite == nullptr) {
        throw Exception(kOfxStatErrMissingHostFeature, std::string("host has no ") + name);
    }
    return *suite;
}

} // namespace OFX
