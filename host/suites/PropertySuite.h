#pragma once

#include "ofx/ofxProperty.h"

namespace ofxhost {

// The host's OfxPropertySuiteV1: every property of every object the plug-in sees.
const OfxPropertySuiteV1* propertySuiteV1();

} // namespace ofxhost
