#include "host/params/ParametricCurves.h"

#include <algorithm>

namespace ofxhost {

void ParametricCurves::resize(int curveCount) {
    curves_.resize(static_cast<size_t>(std::max(curveCount, 0)));
}

double ParametricCurves::valueAt(int curve, double position) const {
    const auto& points = curves_.at(static_cast<size_t>(curve));
    if (points.empty()) {
        return 0.0;
    }
    if (position <= points.front().first) {
        return points.front().second;
    }
    if (position >= points.back().first) {
        return points.back().second;
    }
    auto after =
        std::upper_bound(points.begin(), points.end(), position,
                         [](double p, const ControlPoint& point) { return p < point.first; });
    auto before = after - 1;
    const double span = after->first - before->first;
    if (span <= 0.0) {
        return before->second;
    }
    const double amount = (position - before->first) / span;
    return before->second + amount * (after->second - before->second);
}

int ParametricCurves::pointCount(int curve) const {
    return static_cast<int>(curves_.at(static_cast<size_t>(curve)).size());
}

ParametricCurves::ControlPoint ParametricCurves::point(int curve, int nth) const {
    return curves_.at(static_cast<size_t>(curve)).at(static_cast<size_t>(nth));
}

void ParametricCurves::setPoint(int curve, int nth, double position, double value) {
    curves_.at(static_cast<size_t>(curve)).at(static_cast<size_t>(nth)) = {position, value};
    sort(curve);
}

void ParametricCurves::addPoint(int curve, double position, double value) {
    curves_.at(static_cast<size_t>(curve)).emplace_back(position, value);
    sort(curve);
}

void ParametricCurves::deletePoint(int curve, int nth) {
    auto& points = curves_.at(static_cast<size_t>(curve));
    points.at(static_cast<size_t>(nth));
    points.erase(points.begin() + static_cast<long>(nth));
}

void ParametricCurves::deleteAllPoints(int curve) {
    curves_.at(static_cast<size_t>(curve)).clear();
}

void ParametricCurves::sort(int curve) {
    auto& points = curves_[static_cast<size_t>(curve)];
    std::stable_sort(
        points.begin(), points.end(),
        [](const ControlPoint& a, const ControlPoint& b) { return a.first < b.first; });
}

} // namespace ofxhost
