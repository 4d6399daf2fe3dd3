#include "host/cli/CoverageMask.h"

#include <algorithm>
#include <cmath>

namespace ofxhost {

namespace {

using Point = CoverageMask::Point;

// Wider lines are drawn this wide: a plug-in's typo must not cost a picture per segment.
constexpr double kMaxLineWidth = 100.0;

bool isFinitePoint(Point p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

Point along(Point a, Point b, double t) {
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
}

// Clamped before the conversion: a double out of int's range does not convert.
int clampToInt(double value, int low, int high) {
    return static_cast<int>(std::clamp(value, double(low), double(high)));
}

// The part [t0, t1] of segment ab inside the box grown by margin (Liang-Barsky); false when
// none of it is.
bool clipSegment(Point a, Point b, double xMax, double yMax, double margin, double& t0,
                 double& t1) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x + margin, xMax + margin - a.x, a.y + margin, yMax + margin - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) {
                return false;
            }
            continue;
        }
        const double r = q[i] / p[i];
        if (p[i] < 0.0) {
            if (r > t1) {
                return false;
            }
            t0 = std::max(t0, r);
        } else {
            if (r < t0) {
                return false;
            }
            t1 = std::min(t1, r);
        }
    }
    return t0 <= t1;
}

bool stippleDraws(std::uint16_t stipple, double distance) {
    const auto bit = static_cast<unsigned>(std::fmod(std::floor(std::max(distance, 0.0)), 16.0));
    return ((stipple >> bit) & 1u) != 0;
}

} // namespace

CoverageMask::CoverageMask(int width, int height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)),
      cells_(static_cast<std::size_t>(width_) * height_, 0), x0_(width_), y0_(height_) {}

void CoverageMask::mark(int x, int y) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return;
    }
    cells_[static_cast<std::size_t>(y) * width_ + x] = 1;
    x0_ = std::min(x0_, x);
    x1_ = std::max(x1_, x);
    y0_ = std::min(y0_, y);
    y1_ = std::max(y1_, y);
}

void CoverageMask::line(Point from, Point to, double width, std::uint16_t stipple, double& phase) {
    const double length = std::hypot(to.x - from.x, to.y - from.y);
    if (!isFinitePoint(from) || !isFinitePoint(to) || !std::isfinite(length) ||
        !std::isfinite(width)) {
        return;
    }
    width = std::min(width, kMaxLineWidth);
    double t0 = 0.0;
    double t1 = 1.0;
    if (clipSegment(from, to, width_, height_, width + 2.0, t0, t1)) {
        const Point a = along(from, to, t0);
        const Point b = along(from, to, t1);
        if (width <= 1.0) {
            thinLine(a, b, stipple, phase + t0 * length);
        } else {
            thickLine(a, b, width, stipple, phase + t0 * length);
        }
    }
    phase += length;
}

void CoverageMask::thinLine(Point from, Point to, std::uint16_t stipple, double phase) {
    // Bresenham between the pixels holding the end points; clipping keeps them near the picture.
    int x = static_cast<int>(std::floor(from.x));
    int y = static_cast<int>(std::floor(from.y));
    const int xEnd = static_cast<int>(std::floor(to.x));
    const int yEnd = static_cast<int>(std::floor(to.y));
    const int dx = std::abs(xEnd - x);
    const int dy = -std::abs(yEnd - y);
    const int stepX = x < xEnd ? 1 : -1;
    const int stepY = y < yEnd ? 1 : -1;
    int error = dx + dy;
    for (int step = 0;; ++step) {
        if (stippleDraws(stipple, phase + step)) {
            mark(x, y);
        }
        if (x == xEnd && y == yEnd) {
            break;
        }
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x += stepX;
        }
        if (twice <= dx) {
            error += dx;
            y += stepY;
        }
    }
}

void CoverageMask::thickLine(Point from, Point to, double width, std::uint16_t stipple,
                             double phase) {
    const double half = width / 2.0;
    const double dx = to.x - from.x;
    const double dy = to.y - from.y;
    const double lengthSquared = dx * dx + dy * dy;
    const double length = std::sqrt(lengthSquared);
    const int xLow = clampToInt(std::floor(std::min(from.x, to.x) - half), 0, width_);
    const int xHigh = clampToInt(std::ceil(std::max(from.x, to.x) + half), -1, width_ - 1);
    const int yLow = clampToInt(std::floor(std::min(from.y, to.y) - half), 0, height_);
    const int yHigh = clampToInt(std::ceil(std::max(from.y, to.y) + half), -1, height_ - 1);
    for (int y = yLow; y <= yHigh; ++y) {
        for (int x = xLow; x <= xHigh; ++x) {
            const double cx = x + 0.5 - from.x;
            const double cy = y + 0.5 - from.y;
            // The nearest point of the segment: round caps at both ends.
            const double t = lengthSquared > 0.0
                                 ? std::clamp((cx * dx + cy * dy) / lengthSquared, 0.0, 1.0)
                                 : 0.0;
            const double ox = cx - t * dx;
            const double oy = cy - t * dy;
            if (ox * ox + oy * oy <= half * half && stippleDraws(stipple, phase + t * length)) {
                mark(x, y);
            }
        }
    }
}

void CoverageMask::polygon(const std::vector<Point>& points) {
    if (points.size() < 3 || !std::all_of(points.begin(), points.end(), isFinitePoint)) {
        return;
    }
    double low = points.front().y;
    double high = low;
    for (const Point& p : points) {
        low = std::min(low, p.y);
        high = std::max(high, p.y);
    }
    const int yLow = clampToInt(std::floor(low), 0, height_);
    const int yHigh = clampToInt(std::ceil(high), -1, height_ - 1);
    std::vector<double> crossings;
    for (int y = yLow; y <= yHigh; ++y) {
        const double centre = y + 0.5;
        crossings.clear();
        for (std::size_t i = 0; i < points.size(); ++i) {
            const Point& a = points[i];
            const Point& b = points[(i + 1) % points.size()];
            if ((a.y <= centre) != (b.y <= centre)) {
                // Written without b - a, which can overflow where a and b do not.
                const double t = (centre - a.y) / (b.y - a.y);
                crossings.push_back(a.x * (1.0 - t) + b.x * t);
            }
        }
        std::sort(crossings.begin(), crossings.end());
        for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
            // Pixels whose centre lies in [crossing, next crossing).
            const int first = clampToInt(std::ceil(crossings[i] - 0.5), 0, width_);
            const int last = clampToInt(std::ceil(crossings[i + 1] - 0.5) - 1, -1, width_ - 1);
            for (int x = first; x <= last; ++x) {
                mark(x, y);
            }
        }
    }
}

void CoverageMask::box(Point a, Point b) {
    const Point low{std::min(a.x, b.x), std::min(a.y, b.y)};
    const Point high{std::max(a.x, b.x), std::max(a.y, b.y)};
    polygon({low, {high.x, low.y}, high, {low.x, high.y}});
}

} // namespace ofxhost
