#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace resources {

// An EXR file held in memory, scanline or tiled, as RGBA floats, rows from the top of its data
// window: a single channel is grey (alpha too), a missing alpha is 1. False, with the decoder's
// reason in error, for a file it cannot read; nothing is leaked either way.
bool decodeExr(const unsigned char* data, std::size_t size, std::vector<float>& rgba, int& width,
               int& height, std::string& error);

} // namespace resources
