#include "host/cli/DemoScene.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace ofxhost {

namespace {

// Linear-light colours of common night lights.
constexpr float kSodium[3] = {1.0f, 0.52f, 0.16f};
constexpr float kWarmWhite[3] = {1.0f, 0.82f, 0.58f};
constexpr float kCoolWhite[3] = {0.72f, 0.84f, 1.0f};
constexpr float kTailRed[3] = {1.0f, 0.06f, 0.03f};
constexpr float kNeonMagenta[3] = {1.0f, 0.16f, 0.62f};
constexpr float kCyan[3] = {0.18f, 0.78f, 1.0f};
constexpr float kSignalGreen[3] = {0.22f, 1.0f, 0.42f};
constexpr float kAmber[3] = {1.0f, 0.68f, 0.12f};

float mix(float a, float b, double t) {
    return static_cast<float>(a + (b - a) * t);
}

// The overlap of pixel [p, p+1) with [from, to).
double overlap(int p, double from, double to) {
    return std::clamp(std::min(to, p + 1.0) - std::max(from, double(p)), 0.0, 1.0);
}

} // namespace

RgbaImage DemoScene::render(int width, int height) {
    DemoScene scene(width, height);
    scene.paintSky();
    scene.paintWater();
    scene.paintCityLights();
    scene.paintSkyline();
    scene.paintStreet();
    scene.paintForegroundLights();
    scene.paintForegroundBlock();
    return std::move(scene.image_);
}

DemoScene::DemoScene(int width, int height)
    : image_(width, height), scale_(height / 540.0), horizon_(0.62 * height) {}

double DemoScene::random() {
    // splitmix64: tiny, and the same sequence everywhere.
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) / static_cast<double>(1ull << 53);
}

void DemoScene::addLight(double x, double y, double radius, Colour colour, float intensity) {
    const int height = image_.height();
    const int x1 = std::max(0, static_cast<int>(std::floor(x - radius - 1)));
    const int x2 = std::min(image_.width() - 1, static_cast<int>(std::ceil(x + radius + 1)));
    const int y1 = std::max(0, static_cast<int>(std::floor(y - radius - 1)));
    const int y2 = std::min(height - 1, static_cast<int>(std::ceil(y + radius + 1)));
    for (int py = y1; py <= y2; ++py) {
        for (int px = x1; px <= x2; ++px) {
            const double distance = std::hypot(px + 0.5 - x, py + 0.5 - y);
            // One pixel of anti-aliased edge; lights smaller than a pixel keep their energy.
            const double coverage = std::clamp(radius + 0.5 - distance, 0.0, 1.0) *
                                    std::min(1.0, radius * radius * 4.0);
            if (coverage <= 0.0) {
                continue;
            }
            float* p = image_.pixel(px, height - 1 - py);
            const float gain = static_cast<float>(coverage) * intensity;
            p[0] += colour.r * gain;
            p[1] += colour.g * gain;
            p[2] += colour.b * gain;
        }
    }
}

void DemoScene::fillRect(double x1, double y1, double x2, double y2, Colour colour) {
    const int height = image_.height();
    const int px1 = std::max(0, static_cast<int>(std::floor(x1)));
    const int px2 = std::min(image_.width() - 1, static_cast<int>(std::ceil(x2)));
    const int py1 = std::max(0, static_cast<int>(std::floor(y1)));
    const int py2 = std::min(height - 1, static_cast<int>(std::ceil(y2)));
    for (int py = py1; py <= py2; ++py) {
        const double cy = overlap(py, y1, y2);
        for (int px = px1; px <= px2; ++px) {
            const double c = cy * overlap(px, x1, x2);
            float* p = image_.pixel(px, height - 1 - py);
            p[0] = mix(p[0], colour.r, c);
            p[1] = mix(p[1], colour.g, c);
            p[2] = mix(p[2], colour.b, c);
        }
    }
}

void DemoScene::paintSky() {
    const int height = image_.height();
    for (int y = 0; y < height; ++y) {
        const double t = std::min(1.0, (y + 0.5) / horizon_);
        // Deep blue overhead to a dusky glow over the city; the glow rises a little above it.
        const double glow = std::exp(-std::max(0.0, horizon_ - y) / (0.05 * height));
        const float r = mix(0.015f, 0.120f, std::pow(t, 2.2)) + 0.080f * float(glow);
        const float g = mix(0.022f, 0.060f, std::pow(t, 2.2)) + 0.035f * float(glow);
        const float b = mix(0.085f, 0.110f, std::pow(t, 2.2)) + 0.015f * float(glow);
        for (int x = 0; x < image_.width(); ++x) {
            float* p = image_.pixel(x, height - 1 - y);
            p[0] = r;
            p[1] = g;
            p[2] = b;
            p[3] = 1.0f;
        }
    }
}

void DemoScene::paintWater() {
    const int height = image_.height();
    const int top = static_cast<int>(std::ceil(horizon_));
    for (int y = top; y < height; ++y) {
        const double t = std::sqrt((y - horizon_) / (height - horizon_));
        for (int x = 0; x < image_.width(); ++x) {
            float* p = image_.pixel(x, height - 1 - y);
            p[0] = mix(0.070f, 0.010f, t);
            p[1] = mix(0.045f, 0.012f, t);
            p[2] = mix(0.065f, 0.030f, t);
        }
    }
}

void DemoScene::paintCityLights() {
    const double width = image_.width();
    const float* palette[] = {kSodium, kSodium, kWarmWhite, kWarmWhite, kCoolWhite, kTailRed};
    for (int i = 0; i < 220; ++i) {
        const float* c = palette[static_cast<int>(random() * 6) % 6];
        const double x = random() * width;
        const double y = horizon_ - random() * random() * 0.06 * image_.height();
        const float intensity = static_cast<float>(0.8 + 2.4 * random() * random());
        addLight(x, y, (1.4 + 1.2 * random()) * scale_, {c[0], c[1], c[2]}, intensity);
        // A faint reflection in the water straight below.
        if (random() < 0.35) {
            const double depth = horizon_ - y;
            addLight(x, horizon_ + depth + 2.0 * scale_, 0.7 * scale_, {c[0], c[1], c[2]},
                     0.25f * intensity);
        }
    }
}

void DemoScene::paintSkyline() {
    const double width = image_.width();
    const double height = image_.height();
    const Colour silhouette{0.004f, 0.004f, 0.008f};
    double x = -0.01 * width;
    while (x < width) {
        const double w = (0.025 + 0.05 * random()) * width;
        // Taller towers towards the centre-right, like a downtown.
        const double centre = std::exp(-std::pow((x / width - 0.6) / 0.22, 2.0));
        const double h = (0.02 + 0.05 * random() + 0.16 * centre * random()) * height;
        fillRect(x, horizon_ - h, x + w, horizon_ + 0.5, silhouette);
        // Lit windows on a grid, a few of them.
        const double step = 4.0 * scale_;
        for (double wy = horizon_ - h + step; wy < horizon_ - step; wy += step) {
            for (double wx = x + step * 0.7; wx < x + w - step * 0.5; wx += step) {
                if (random() < 0.12) {
                    const float* c = random() < 0.7 ? kWarmWhite : kCoolWhite;
                    addLight(wx, wy, 0.8 * scale_, {c[0], c[1], c[2]},
                             static_cast<float>(0.3 + 0.4 * random()));
                }
            }
        }
        if (h > 0.12 * height) {
            addLight(x + w / 2, horizon_ - h - 1.5 * scale_, 1.2 * scale_,
                     {kTailRed[0], kTailRed[1], kTailRed[2]}, 4.0f);
        }
        x += w + 0.004 * width * random();
    }
}

void DemoScene::paintStreet() {
    const double width = image_.width();
    const double height = image_.height();
    // A waterfront road receding from the right foreground towards the horizon on the left.
    const double nearX = 1.02 * width;
    const double nearY = 0.80 * height;
    const double farX = 0.30 * width;
    const double farY = horizon_ + 0.01 * height;
    for (int i = 0; i < 14; ++i) {
        // Equal steps along the road shrink towards the horizon.
        const double t = 1.0 - std::pow(0.82, i);
        const double depth = 1.0 - 0.85 * t;
        const double x = nearX + (farX - nearX) * t;
        const double y = nearY + (farY - nearY) * t;
        const double lampHeight = 0.30 * height * depth;
        addLight(x, y - lampHeight, 4.5 * scale_ * depth + 0.6 * scale_,
                 {kSodium[0], kSodium[1], kSodium[2]}, 3.0f);
        // Its reflection, broken up by the ripples.
        for (int r = 1; r <= 3; ++r) {
            addLight(x + (random() - 0.5) * 3.0 * scale_, y + lampHeight * 0.35 * r,
                     2.0 * scale_ * depth + 0.5 * scale_, {kSodium[0], kSodium[1], kSodium[2]},
                     0.9f / r);
        }
        // Traffic: tail lights going away, headlights coming.
        const double offset = 0.012 * height * depth;
        const bool away = i % 3 != 1;
        const float* c = away ? kTailRed : kWarmWhite;
        const double carX = x - 0.03 * width * depth + (random() - 0.5) * 0.02 * width;
        for (int side = -1; side <= 1; side += 2) {
            addLight(carX + side * 0.009 * width * depth, y - offset, 1.6 * scale_ * depth + 0.4,
                     {c[0], c[1], c[2]}, away ? 3.0f : 2.5f);
        }
    }
}

void DemoScene::paintForegroundLights() {
    const double width = image_.width();
    const double height = image_.height();
    const float* palette[] = {kNeonMagenta, kCyan,    kSignalGreen, kAmber,
                              kCoolWhite,   kTailRed, kSodium};
    for (int i = 0; i < 34; ++i) {
        const float* c = palette[i % 7];
        const double x = (0.15 + 0.83 * random()) * width;
        const double y = (0.20 + 0.72 * random()) * height;
        const float intensity = static_cast<float>(1.0 + 3.5 * random() * random());
        addLight(x, y, (2.0 + 3.0 * random()) * scale_, {c[0], c[1], c[2]}, intensity);
    }
}

void DemoScene::paintForegroundBlock() {
    const double width = image_.width();
    const double height = image_.height();
    // A dark pillar on the left and a railing along the bottom: hard edges against lights.
    const Colour dark{0.002f, 0.002f, 0.003f};
    fillRect(0.0, 0.22 * height, 0.11 * width, height, dark);
    fillRect(0.0, 0.905 * height, width, 0.925 * height, dark);
    for (double x = 0.16 * width; x < width; x += 0.14 * width) {
        fillRect(x, 0.905 * height, x + 0.012 * width, height, dark);
    }
    // Two warm lamps on the pillar's edge.
    addLight(0.115 * width, 0.40 * height, 2.2 * scale_, {kAmber[0], kAmber[1], kAmber[2]}, 3.0f);
    addLight(0.115 * width, 0.60 * height, 2.2 * scale_, {kAmber[0], kAmber[1], kAmber[2]}, 3.0f);
}

} // namespace ofxhost
