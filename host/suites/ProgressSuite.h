#pragma once

#include "ofx/ofxProgress.h"

namespace ofxhost {

// Two tables: the versions differ in progressStart's arguments.
const OfxProgressSuiteV1* progressSuiteV1();
const OfxProgressSuiteV2* progressSuiteV2();

} // namespace ofxhost
