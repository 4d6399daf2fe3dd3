#pragma once

#include "ofx/ofxMemory.h"

namespace ofxhost {

const OfxMemorySuiteV1* memorySuiteV1();
// Blocks from memoryAlloc not yet freed, process-wide (leak checks).
int liveMemoryBlocks();

} // namespace ofxhost
