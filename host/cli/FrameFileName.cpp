#include "host/cli/FrameFileName.h"

#include <cstdlib>
#include <string>

namespace ofxhost {

namespace {

std::string padded(int frame, size_t width) {
    std::string digits = std::to_string(std::abs(static_cast<long long>(frame)));
    if (digits.size() < width) {
        digits.insert(0, width - digits.size(), '0');
    }
    return frame < 0 ? "-" + digits : digits;
}

} // namespace

std::filesystem::path FrameFileName::forFrame(const std::filesystem::path& pattern, int frame,
                                              bool sequence) {
    // Only the file name: a '#' in a folder name is part of the folder.
    const std::string name = pattern.filename().string();
    if (name.find('#') != std::string::npos) {
        std::string result;
        for (size_t i = 0; i < name.size();) {
            if (name[i] != '#') {
                result += name[i++];
                continue;
            }
            const size_t end = name.find_first_not_of('#', i);
            const size_t run = (end == std::string::npos ? name.size() : end) - i;
            result += padded(frame, run);
            i += run;
        }
        return pattern.parent_path() / result;
    }
    if (!sequence) {
        return pattern;
    }
    const std::filesystem::path stem = pattern.stem();
    return pattern.parent_path() /
           (stem.string() + "." + std::to_string(frame) + pattern.extension().string());
}

} // namespace ofxhost
