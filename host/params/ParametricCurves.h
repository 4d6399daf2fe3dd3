#pragma once

#include <utility>
#include <vector>

namespace ofxhost {

// The curves of a parametric parameter: per curve, control points (position, value) kept in
// position order and read with linear interpolation, held flat outside the first and last.
class ParametricCurves {
public:
    using ControlPoint = std::pair<double, double>;

    void resize(int curveCount);
    int curveCount() const { return static_cast<int>(curves_.size()); }
    bool validCurve(int curve) const { return curve >= 0 && curve < curveCount(); }

    // A curve without points reads 0.
    double valueAt(int curve, double position) const;
    int pointCount(int curve) const;
    ControlPoint point(int curve, int nth) const;
    // Points are re-sorted after every change, so indices follow position order.
    void setPoint(int curve, int nth, double position, double value);
    void addPoint(int curve, double position, double value);
    void deletePoint(int curve, int nth);
    void deleteAllPoints(int curve);

private:
    void sort(int curve);
    std::vector<std::vector<ControlPoint>> curves_;
};

} // namespace ofxhost
