#pragma once

#include <filesystem>

namespace ofxhost {

// The file a frame is written to. Runs of '#' in the file name become the frame number,
// zero-padded to the run's length ("out.####.exr" -> "out.0007.exr"); without them a sequence
// puts ".<frame>" before the extension ("out.exr" -> "out.7.exr") and a single frame keeps
// the name as given.
class FrameFileName {
public:
    static std::filesystem::path forFrame(const std::filesystem::path& pattern, int frame,
                                          bool sequence);
};

} // namespace ofxhost
