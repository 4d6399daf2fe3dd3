#pragma once

#include <cstdint>
#include <vector>

namespace ofxhost {

// Which pixels of a picture one overlay primitive covers, before it is blended in one colour:
// overlapping parts of a primitive then blend once. Coordinates are image pixels, x right and
// y up from the bottom-left corner of pixel (0, 0), as OFX rows count; pixel (x, y) is covered
// when its centre (x + 0.5, y + 0.5) is. Anything outside the picture is clipped away, so any
// coordinate a plug-in sends, huge or not finite, costs at most the picture's size.
class CoverageMask {
public:
    struct Point {
        double x;
        double y;
    };

    CoverageMask(int width, int height);

    // A line of the given width in pixels; up to 1 gives a one-pixel line. Stipple bit i
    // (of 16, low bit first) says whether pixel i along the line is drawn; phase is the length
    // drawn so far by a strip, continued by this segment.
    void line(Point from, Point to, double width, std::uint16_t stipple, double& phase);
    // The pixels inside a polygon (even-odd rule).
    void polygon(const std::vector<Point>& points);
    // The pixels of an axis-aligned box, corners in any order.
    void box(Point a, Point b);

    bool covered(int x, int y) const {
        return cells_[static_cast<std::size_t>(y) * width_ + x] != 0;
    }
    bool empty() const { return x1_ < x0_; }
    // The covered area, inclusive; meaningful unless empty().
    int left() const { return x0_; }
    int right() const { return x1_; }
    int bottom() const { return y0_; }
    int top() const { return y1_; }

private:
    void mark(int x, int y);
    void thinLine(Point from, Point to, std::uint16_t stipple, double phase);
    void thickLine(Point from, Point to, double width, std::uint16_t stipple, double phase);

    int width_;
    int height_;
    std::vector<std::uint8_t> cells_;
    int x0_;
    int x1_ = -1;
    int y0_;
    int y1_ = -1;
};

} // namespace ofxhost
