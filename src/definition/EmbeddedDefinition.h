#pragma once

// The effect definition compiled into the library (NUL-terminated XML text).
const char* embeddedEffectDefinition();
