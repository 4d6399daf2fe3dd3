#include "host/params/KeyframeCurve.h"

#include <cmath>
#include <iterator>

namespace ofxhost {

namespace {

// Key times closer than this are the same key (frames are whole or half numbers in practice).
constexpr double kTimeTolerance = 1e-9;

double number(const ParamValue& value, size_t dimension) {
    return dimension < value.numbers.size() ? value.numbers[dimension] : 0.0;
}

} // namespace

KeyframeCurve::KeyframeCurve(ParamValue initial, Interpolation interpolation)
    : interpolation_(interpolation), static_(std::move(initial)) {}

const ParamValue& KeyframeCurve::storedValueAt(OfxTime time) const {
    if (keys_.empty()) {
        return static_;
    }
    auto after = keys_.upper_bound(time + kTimeTolerance);
    if (after == keys_.begin()) {
        return after->second;
    }
    return std::prev(after)->second;
}

ParamValue KeyframeCurve::valueAt(OfxTime time) const {
    if (keys_.empty() || interpolation_ == Interpolation::Step) {
        return storedValueAt(time);
    }
    auto after = keys_.upper_bound(time);
    if (after == keys_.begin()) {
        return after->second;
    }
    auto before = std::prev(after);
    if (after == keys_.end() || std::abs(before->first - time) < kTimeTolerance) {
        return before->second;
    }
    const double amount = (time - before->first) / (after->first - before->first);
    ParamValue result = before->second;
    for (size_t i = 0; i < result.numbers.size(); ++i) {
        result.numbers[i] += amount * (number(after->second, i) - result.numbers[i]);
    }
    return result;
}

KeyframeCurve::Keys::const_iterator KeyframeCurve::findKey(OfxTime time) const {
    auto candidate = keys_.lower_bound(time - kTimeTolerance);
    if (candidate != keys_.end() && std::abs(candidate->first - time) < kTimeTolerance) {
        return candidate;
    }
    return keys_.end();
}

void KeyframeCurve::setKey(OfxTime time, ParamValue value) {
    auto existing = findKey(time);
    if (existing != keys_.end()) {
        keys_.erase(existing);
    }
    keys_.emplace(time, std::move(value));
}

std::optional<OfxTime> KeyframeCurve::keyTime(size_t nth) const {
    if (nth >= keys_.size()) {
        return std::nullopt;
    }
    return std::next(keys_.begin(), static_cast<long>(nth))->first;
}

int KeyframeCurve::keyIndex(OfxTime time, int direction) const {
    Keys::const_iterator found = keys_.end();
    if (direction == 0) {
        found = findKey(time);
    } else if (direction > 0) {
        found = keys_.upper_bound(time + kTimeTolerance);
    } else {
        auto atOrAfter = keys_.lower_bound(time - kTimeTolerance);
        if (atOrAfter != keys_.begin()) {
            found = std::prev(atOrAfter);
        }
    }
    return found == keys_.end() ? -1 : static_cast<int>(std::distance(keys_.begin(), found));
}

bool KeyframeCurve::deleteKey(OfxTime time) {
    auto found = findKey(time);
    if (found == keys_.end()) {
        return false;
    }
    if (keys_.size() == 1) {
        static_ = found->second;
    }
    keys_.erase(found);
    return true;
}

void KeyframeCurve::deleteAllKeys(OfxTime keepTime) {
    if (!keys_.empty()) {
        static_ = valueAt(keepTime);
        keys_.clear();
    }
}

std::vector<double> KeyframeCurve::derivative(OfxTime time) const {
    const ParamValue current = valueAt(time);
    std::vector<double> slopes(current.numbers.size(), 0.0);
    if (interpolation_ == Interpolation::Step || keys_.size() < 2) {
        return slopes;
    }
    // Inside a segment, or at a key, the slope of the segment that starts there.
    auto after = keys_.upper_bound(time + kTimeTolerance);
    if (after == keys_.begin() || after == keys_.end()) {
        return slopes;
    }
    auto before = std::prev(after);
    const double span = after->first - before->first;
    for (size_t i = 0; i < slopes.size(); ++i) {
        slopes[i] = (number(after->second, i) - number(before->second, i)) / span;
    }
    return slopes;
}

double KeyframeCurve::areaOver(size_t dimension, OfxTime from, OfxTime to) const {
    if (keys_.empty()) {
        return (to - from) * number(static_, dimension);
    }
    // Break points: the key times inside (from, to), then integrate piece by piece.
    std::vector<OfxTime> cuts{from};
    for (const auto& key : keys_) {
        if (key.first > from && key.first < to) {
            cuts.push_back(key.first);
        }
    }
    cuts.push_back(to);
    double area = 0.0;
    for (size_t i = 0; i + 1 < cuts.size(); ++i) {
        const double width = cuts[i + 1] - cuts[i];
        if (interpolation_ == Interpolation::Step) {
            area += width * number(storedValueAt(cuts[i]), dimension);
        } else {
            // Exact for a piece that is linear or constant between the cuts.
            area += width * 0.5 *
                    (number(valueAt(cuts[i]), dimension) + number(valueAt(cuts[i + 1]), dimension));
        }
    }
    return area;
}

std::vector<double> KeyframeCurve::integral(OfxTime time1, OfxTime time2) const {
    const size_t dimensions = valueAt(time1).numbers.size();
    std::vector<double> result(dimensions, 0.0);
    const double sign = time2 < time1 ? -1.0 : 1.0;
    const OfxTime from = std::min(time1, time2);
    const OfxTime to = std::max(time1, time2);
    for (size_t i = 0; i < dimensions; ++i) {
        result[i] = sign * areaOver(i, from, to);
    }
    return result;
}

void KeyframeCurve::copyFrom(const KeyframeCurve& other, OfxTime offset,
                             std::optional<std::pair<OfxTime, OfxTime>> range) {
    keys_.clear();
    static_ = other.static_;
    for (const auto& key : other.keys_) {
        if (range && (key.first < range->first || key.first > range->second)) {
            continue;
        }
        keys_.emplace(key.first + offset, key.second);
    }
}

} // namespace ofxhost
