#pragma once

#include "ofx/ofxParametricParam.h"

namespace ofxhost {

const OfxParametricParameterSuiteV1* parametricSuiteV1();

} // namespace ofxhost
