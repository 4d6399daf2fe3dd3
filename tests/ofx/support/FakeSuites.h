#pragma once

// The suite tables of the fake host, one file per group of suites; FakeHost::fetchSuite hands
// them out.

#include "ofx/ofxImageEffect.h"
#include "ofx/ofxInteract.h"
#include "ofx/ofxMessage.h"
#include "ofx/ofxMultiThread.h"

#include <cstddef>
#include <string>

namespace fakehost {

extern const OfxPropertySuiteV1 propertySuite;
extern const OfxImageEffectSuiteV1 imageEffectSuite;
extern const OfxParameterSuiteV1 parameterSuite;
extern const OfxMessageSuiteV2 messageSuite;
extern const OfxMultiThreadSuiteV1 multiThreadSuite;
extern const OfxInteractSuiteV1 interactSuite;

// Values per parameter type: how many components, and which C type carries them.
size_t componentCount(const std::string& type);
bool isIntType(const std::string& type);
bool isStringType(const std::string& type);

} // namespace fakehost
