#pragma once

#include "ofx/ofxParam.h"

namespace ofxhost {

const OfxParameterSuiteV1* parameterSuiteV1();

} // namespace ofxhost
