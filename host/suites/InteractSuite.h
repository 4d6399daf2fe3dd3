#pragma once

#include "ofx/ofxInteract.h"

namespace ofxhost {

const OfxInteractSuiteV1* interactSuiteV1();

} // namespace ofxhost
