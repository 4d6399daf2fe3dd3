#pragma once

#include "ofx/ofxDrawSuite.h"

namespace ofxhost {

const OfxDrawSuiteV1* drawSuiteV1();

} // namespace ofxhost
