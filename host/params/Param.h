#pragma once

#include "host/core/HandleTag.h"
#include "host/params/KeyframeCurve.h"
#include "host/params/ParamTypeInfo.h"
#include "host/params/ParamValue.h"
#include "host/params/ParametricCurves.h"
#include "host/properties/PropertySet.h"

#include "ofx/ofxParam.h"

#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ofxhost {

class ParamSet;

// A parameter descriptor (defined at describe time) or instance, behind an OfxParamHandle.
// An instance stores its value over time; a descriptor's value is its declared default.
class Param {
public:
    // A descriptor of a known type.
    Param(ParamSet& owner, std::string type, std::string name, ParamTypeInfo info);
    // An instance made from a descriptor: same properties, value = the declared default.
    Param(ParamSet& owner, const Param& descriptor);
    Param(const Param&) = delete;
    Param& operator=(const Param&) = delete;

    static Param* fromHandle(OfxParamHandle handle);
    OfxParamHandle handle() { return reinterpret_cast<OfxParamHandle>(this); }

    const std::string& name() const { return name_; }
    const std::string& type() const { return type_; }
    const ParamTypeInfo& info() const { return info_; }
    bool isInstance() const { return instance_; }
    ParamSet& owner() { return owner_; }
    PropertySet& properties() { return properties_; }
    const PropertySet& properties() const { return properties_; }

    ParamValue defaultValue() const;
    bool animates() const;
    ParamValue valueAt(OfxTime time) const;
    // Host-owned storage for text values, valid until the value changes.
    const char* textAt(OfxTime time) const;

    // Numbers are clamped to the declared range; integer types are rounded.
    ParamValue normalised(ParamValue value) const;
    // The value "now": a key at now when the parameter is already keyed, else the static value.
    void setValue(ParamValue value, OfxTime now);
    // A key at time when the parameter animates, else the static value.
    void setValueAtTime(OfxTime time, ParamValue value);

    unsigned int keyCount() const;
    std::optional<OfxTime> keyTime(unsigned int nth) const;
    int keyIndex(OfxTime time, int direction) const;
    bool deleteKey(OfxTime time);
    void deleteAllKeys(OfxTime now);
    std::vector<double> derivative(OfxTime time) const;
    std::vector<double> integral(OfxTime time1, OfxTime time2) const;
    void copyAnimation(const Param& from, OfxTime offset,
                       std::optional<std::pair<OfxTime, OfxTime>> range);

    // Parametric parameters only; lock curvesMutex() around use from several threads.
    ParametricCurves& curves();
    std::mutex& curvesMutex() { return curvesMutex_; }

private:
    void refreshAnimating();

    HandleTag tag_{HandleTag::ParamKind, this};
    ParamSet& owner_;
    std::string type_;
    std::string name_;
    ParamTypeInfo info_;
    bool instance_;
    PropertySet properties_;
    mutable std::mutex mutex_;
    KeyframeCurve curve_;
    std::mutex curvesMutex_;
    ParametricCurves curves_;
};

} // namespace ofxhost
