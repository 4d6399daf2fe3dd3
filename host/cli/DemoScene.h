#pragma once

#include "host/cli/RgbaImage.h"

#include <cstdint>

namespace ofxhost {

// The picture halden-render blurs when no input is given: a city at night seen across water,
// with small bright lights (many far above 1.0) in several colours and sizes, a dark skyline
// and a dark foreground block whose edges show how the blur treats occluders. The same size
// always gives the same pixels; sizes are relative to a 540-line frame.
class DemoScene {
public:
    static RgbaImage render(int width, int height);

private:
    struct Colour {
        float r, g, b;
    };

    DemoScene(int width, int height);

    void paintSky();
    void paintWater();
    void paintSkyline();
    void paintCityLights();
    void paintStreet();
    void paintForegroundLights();
    void paintForegroundBlock();

    // Coordinates from the top-left corner, in pixels; the light adds to what is there.
    void addLight(double x, double y, double radius, Colour colour, float intensity);
    void fillRect(double x1, double y1, double x2, double y2, Colour colour);
    // Deterministic 0..1 values: the scene must not change between runs or platforms.
    double random();

    RgbaImage image_;
    double scale_;
    double horizon_;
    std::uint64_t state_ = 0x9E3779B97F4A7C15ull;
};

} // namespace ofxhost
