#pragma once

#include "ofx/ofxTimeLine.h"

namespace ofxhost {

const OfxTimeLineSuiteV1* timeLineSuiteV1();

} // namespace ofxhost
