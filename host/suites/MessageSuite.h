#pragma once

#include "ofx/ofxMessage.h"

namespace ofxhost {

// Answers version 1 and 2 requests (version 2 begins with version 1's member).
const OfxMessageSuiteV2* messageSuiteV2();

} // namespace ofxhost
