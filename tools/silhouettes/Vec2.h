#pragma once

#include <cmath>

// A point or direction in picture pixels: x to the right, y downwards (top row first).
struct Vec2 {
    float x = 0.0f;
    float y = 0.0f;
};

inline Vec2 operator+(Vec2 a, Vec2 b) {
    return {a.x + b.x, a.y + b.y};
}
inline Vec2 operator-(Vec2 a, Vec2 b) {
    return {a.x - b.x, a.y - b.y};
}
inline Vec2 operator*(Vec2 a, float s) {
    return {a.x * s, a.y * s};
}
inline float dot(Vec2 a, Vec2 b) {
    return a.x * b.x + a.y * b.y;
}
inline float length(Vec2 a) {
    return std::sqrt(dot(a, a));
}
// Unit vector at an angle in radians; 0 points right, pi/2 points down.
inline Vec2 direction(float angle) {
    return {std::cos(angle), std::sin(angle)};
}
