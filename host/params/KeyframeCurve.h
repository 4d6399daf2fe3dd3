#pragma once

#include "host/params/ParamValue.h"

#include "ofx/ofxCore.h"

#include <map>
#include <optional>
#include <vector>

namespace ofxhost {

enum class Interpolation { Linear, Step };

// A parameter's value over time: a static value while there are no keys; with keys, linear
// (or stepped) between them and held constant before the first and after the last.
class KeyframeCurve {
public:
    KeyframeCurve(ParamValue initial, Interpolation interpolation);

    Interpolation interpolation() const { return interpolation_; }
    ParamValue valueAt(OfxTime time) const;
    // The stored value that holds at time, for stepped curves (host-owned string storage).
    const ParamValue& storedValueAt(OfxTime time) const;

    void setStatic(ParamValue value) { static_ = std::move(value); }
    // Adds a key, or replaces the key at that time.
    void setKey(OfxTime time, ParamValue value);
    bool hasKeys() const { return !keys_.empty(); }
    size_t keyCount() const { return keys_.size(); }
    std::optional<OfxTime> keyTime(size_t nth) const;
    // direction 0: the key at time; > 0: the first key after it; < 0: the last key before it.
    // -1 when there is none.
    int keyIndex(OfxTime time, int direction) const;
    bool deleteKey(OfxTime time);
    // The value at keepTime becomes the static value.
    void deleteAllKeys(OfxTime keepTime);

    // Per dimension; zero while the value is constant at time.
    std::vector<double> derivative(OfxTime time) const;
    // Per dimension, the area under the curve from time1 to time2.
    std::vector<double> integral(OfxTime time1, OfxTime time2) const;

    // Replaces this curve's animation with other's, shifted by offset; a range limits the keys
    // copied (by their source time).
    void copyFrom(const KeyframeCurve& other, OfxTime offset,
                  std::optional<std::pair<OfxTime, OfxTime>> range);

private:
    using Keys = std::map<OfxTime, ParamValue>;
    Keys::const_iterator findKey(OfxTime time) const;
    double areaOver(size_t dimension, OfxTime from, OfxTime to) const;

    Interpolation interpolation_;
    ParamValue static_;
    Keys keys_;
};

} // namespace ofxhost
