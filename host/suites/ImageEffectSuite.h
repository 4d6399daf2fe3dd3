#pragma once

#include "ofx/ofxImageEffect.h"

namespace ofxhost {

const OfxImageEffectSuiteV1* imageEffectSuiteV1();

} // namespace ofxhost
