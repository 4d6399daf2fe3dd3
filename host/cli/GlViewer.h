#pragma once

#include "host/cli/RgbaImage.h"

#include <functional>
#include <string>
#include <vector>

namespace ofxhost {

// A viewer with a real OpenGL context, as a host without the draw suite has one: Mesa's
// off-screen renderer, with a compatibility context whose matrices map canonical coordinates
// onto the picture. The picture is its background; draw runs with the context current, then
// the pixels are read back. The viewer sets GL state of its own before draw and checks that
// draw leaves all of it as it was.
class GlViewer {
public:
    struct Shown {
        RgbaImage picture;
        // One line for each piece of GL state draw left changed, and each GL error it raised.
        std::vector<std::string> stateChanges;
    };

    // False where Mesa's off-screen renderer (libosmesa6) cannot be loaded; the first call
    // loads it, for every module in the process to see.
    static bool available();

    // scale: picture pixels per canonical unit. Throws HostError when no context can be made.
    static Shown show(const RgbaImage& background, double scale, const std::function<void()>& draw);
};

} // namespace ofxhost
