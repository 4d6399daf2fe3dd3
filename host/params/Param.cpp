#include "host/params/Param.h"

#include "host/params/ParamPropertyCatalog.h"

#include "ofx/ofxParametricParam.h"

#include <algorithm>
#include <cmath>

namespace ofxhost {

namespace {

Interpolation interpolationFor(const ParamTypeInfo& info) {
    return info.interpolated ? Interpolation::Linear : Interpolation::Step;
}

} // namespace

Param::Param(ParamSet& owner, std::string type, std::string name, ParamTypeInfo info)
    : owner_(owner), type_(std::move(type)), name_(std::move(name)), info_(info), instance_(false),
      curve_(ParamValue{}, interpolationFor(info)) {
    ParamPropertyCatalog::addDescriptorProperties(properties_, type_, name_);
}

Param::Param(ParamSet& owner, const Param& descriptor)
    : owner_(owner), type_(descriptor.type_), name_(descriptor.name_), info_(descriptor.info_),
      instance_(true), properties_(descriptor.properties_),
      curve_(descriptor.defaultValue(), interpolationFor(descriptor.info_)),
      curves_(descriptor.curves_) {
    properties_.setString(kOfxPropType, kOfxTypeParameterInstance);
}

Param* Param::fromHandle(OfxParamHandle handle) {
    return objectFromHandle<Param>(handle, HandleTag::ParamKind);
}

ParamValue Param::defaultValue() const {
    ParamValue value;
    switch (info_.storage) {
    case ParamTypeInfo::Storage::Int:
        for (int number : properties_.getInts(kOfxParamPropDefault)) {
            value.numbers.push_back(number);
        }
        break;
    case ParamTypeInfo::Storage::Double:
        value.numbers = properties_.getDoubles(kOfxParamPropDefault);
        break;
    case ParamTypeInfo::Storage::Text:
        value.text = properties_.getString(kOfxParamPropDefault);
        break;
    default:
        break;
    }
    return value;
}

bool Param::animates() const {
    return properties_.has(kOfxParamPropAnimates) && properties_.getInt(kOfxParamPropAnimates) != 0;
}

ParamValue Param::valueAt(OfxTime time) const {
    if (!instance_) {
        return defaultValue();
    }
    std::lock_guard<std::mutex> lock(mutex_);
    return curve_.valueAt(time);
}

const char* Param::textAt(OfxTime time) const {
    if (!instance_) {
        // A descriptor's value is its default: hand out the property's own storage.
        const PropertyValue* value = nullptr;
        auto& props = const_cast<PropertySet&>(properties_);
        if (props.pluginGet(kOfxParamPropDefault, 0, PropertyType::String, &value) != kOfxStatOK) {
            return "";
        }
        return std::get<std::string>(*value).c_str();
    }
    std::lock_guard<std::mutex> lock(mutex_);
    return curve_.storedValueAt(time).text.c_str();
}

ParamValue Param::normalised(ParamValue value) const {
    if (!info_.isNumeric()) {
        return value;
    }
    value.numbers.resize(static_cast<size_t>(info_.dimension), 0.0);
    const bool ranged = properties_.has(kOfxParamPropMin) && properties_.has(kOfxParamPropMax);
    for (size_t i = 0; i < value.numbers.size(); ++i) {
        double& number = value.numbers[i];
        if (info_.storage == ParamTypeInfo::Storage::Int) {
            number = std::round(number);
        }
        if (type_ == kOfxParamTypeBoolean) {
            number = number != 0.0 ? 1.0 : 0.0;
        }
        if (!ranged) {
            continue;
        }
        const int index = static_cast<int>(i);
        if (info_.storage == ParamTypeInfo::Storage::Int) {
            number = std::clamp(number, double(properties_.getInt(kOfxParamPropMin, index)),
                                double(properties_.getInt(kOfxParamPropMax, index)));
        } else {
            number = std::clamp(number, properties_.getDouble(kOfxParamPropMin, index),
                                properties_.getDouble(kOfxParamPropMax, index));
        }
    }
    return value;
}

void Param::setValue(ParamValue value, OfxTime now) {
    value = normalised(std::move(value));
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (curve_.hasKeys()) {
            curve_.setKey(now, std::move(value));
        } else {
            curve_.setStatic(std::move(value));
        }
    }
    refreshAnimating();
}

void Param::setValueAtTime(OfxTime time, ParamValue value) {
    value = normalised(std::move(value));
    const bool keyed = animates();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (keyed) {
            curve_.setKey(time, std::move(value));
        } else {
            curve_.setStatic(std::move(value));
        }
    }
    refreshAnimating();
}

unsigned int Param::keyCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<unsigned int>(curve_.keyCount());
}

std::optional<OfxTime> Param::keyTime(unsigned int nth) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return curve_.keyTime(nth);
}

int Param::keyIndex(OfxTime time, int direction) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return curve_.keyIndex(time, direction);
}

bool Param::deleteKey(OfxTime time) {
    bool deleted = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        deleted = curve_.deleteKey(time);
    }
    refreshAnimating();
    return deleted;
}

void Param::deleteAllKeys(OfxTime now) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        curve_.deleteAllKeys(now);
    }
    refreshAnimating();
}

std::vector<double> Param::derivative(OfxTime time) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return curve_.derivative(time);
}

std::vector<double> Param::integral(OfxTime time1, OfxTime time2) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return curve_.integral(time1, time2);
}

void Param::copyAnimation(const Param& from, OfxTime offset,
                          std::optional<std::pair<OfxTime, OfxTime>> range) {
    if (&from == this) {
        return;
    }
    std::scoped_lock lock(mutex_, from.mutex_);
    curve_.copyFrom(from.curve_, offset, range);
}

ParametricCurves& Param::curves() {
    // The plug-in may set the curve count after defining the parameter.
    if (properties_.has(kOfxParamPropParametricDimension)) {
        const int count = properties_.getInt(kOfxParamPropParametricDimension);
        if (count != curves_.curveCount()) {
            curves_.resize(count);
        }
    }
    return curves_;
}

void Param::refreshAnimating() {
    if (properties_.has(kOfxParamPropIsAnimating)) {
        properties_.setInt(kOfxParamPropIsAnimating, keyCount() > 0 ? 1 : 0);
    }
}

} // namespace ofxhost
