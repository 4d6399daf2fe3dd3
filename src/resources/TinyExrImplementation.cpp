// The one translation unit that compiles tinyexr's implementation (from its header). ZIP data
// goes through zlib, which the plug-in links statically; miniz is not used.
#define TINYEXR_USE_MINIZ 0
#define TINYEXR_IMPLEMENTATION
#include <tinyexr.h>
