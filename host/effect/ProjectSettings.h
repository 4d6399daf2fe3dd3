#pragma once

namespace ofxhost {

// The project an instance lives in. Sizes and offsets are canonical coordinates; the
// duration and frame range are in frames.
struct ProjectSettings {
    double size[2] = {1920.0, 1080.0};
    double offset[2] = {0.0, 0.0};
    double extent[2] = {1920.0, 1080.0};
    double pixelAspectRatio = 1.0;
    double frameRate = 25.0;
    double firstFrame = 0.0;
    double lastFrame = 100.0;
};

} // namespace ofxhost
