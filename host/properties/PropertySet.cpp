#include "host/properties/PropertySet.h"

#include "host/core/HostError.h"

#include <utility>

namespace ofxhost {

namespace {

template <class T>
std::vector<PropertyValue> toValues(std::vector<T> values) {
    std::vector<PropertyValue> result;
    result.reserve(values.size());
    for (auto& value : values) {
        result.emplace_back(std::move(value));
    }
    return result;
}

int declaredDimension(int dimension, size_t defaults) {
    return dimension < 0 ? static_cast<int>(defaults) : dimension;
}

} // namespace

PropertySet::PropertySet() = default;

PropertySet::PropertySet(const PropertySet& other) {
    std::lock_guard<std::mutex> lock(other.mutex_);
    properties_ = other.properties_;
    index_ = other.index_;
}

PropertySet* PropertySet::fromHandle(OfxPropertySetHandle handle) {
    return objectFromHandle<PropertySet>(handle, HandleTag::PropertySetKind);
}

void PropertySet::add(Property property) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = index_.find(property.name());
    if (found != index_.end()) {
        properties_[found->second] = std::move(property);
        return;
    }
    index_.emplace(property.name(), properties_.size());
    properties_.push_back(std::move(property));
}

void PropertySet::addInt(const std::string& name, std::vector<int> defaults, int dimension,
                         bool hostOnly) {
    const int dim = declaredDimension(dimension, defaults.size());
    add(Property(name, PropertyType::Int, dim, toValues(std::move(defaults)), hostOnly));
}

void PropertySet::addDouble(const std::string& name, std::vector<double> defaults, int dimension,
                            bool hostOnly) {
    const int dim = declaredDimension(dimension, defaults.size());
    add(Property(name, PropertyType::Double, dim, toValues(std::move(defaults)), hostOnly));
}

void PropertySet::addString(const std::string& name, std::vector<std::string> defaults,
                            int dimension, bool hostOnly) {
    const int dim = declaredDimension(dimension, defaults.size());
    add(Property(name, PropertyType::String, dim, toValues(std::move(defaults)), hostOnly));
}

void PropertySet::addPointer(const std::string& name, std::vector<void*> defaults, int dimension,
                             bool hostOnly) {
    const int dim = declaredDimension(dimension, defaults.size());
    add(Property(name, PropertyType::Pointer, dim, toValues(std::move(defaults)), hostOnly));
}

void PropertySet::makeHostOnly() {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto& property : properties_) {
        property = Property(property.name(), property.type(), property.dimension(),
                            property.values(), true);
    }
}

bool PropertySet::has(const std::string& name) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return findLocked(name) != nullptr;
}

int PropertySet::dimension(const std::string& name) const {
    std::lock_guard<std::mutex> lock(mutex_);
    const Property* property = findLocked(name);
    if (property == nullptr) {
        throw HostError(kOfxStatErrUnknown, "unknown property " + name);
    }
    return property->size();
}

std::vector<Property> PropertySet::snapshot() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return properties_;
}

Property PropertySet::property(const std::string& name) const {
    std::lock_guard<std::mutex> lock(mutex_);
    const Property* property = findLocked(name);
    if (property == nullptr) {
        throw HostError(kOfxStatErrUnknown, "unknown property " + name);
    }
    return *property;
}

Property* PropertySet::findLocked(const std::string& name) {
    auto found = index_.find(name);
    return found == index_.end() ? nullptr : &properties_[found->second];
}

const Property* PropertySet::findLocked(const std::string& name) const {
    auto found = index_.find(name);
    return found == index_.end() ? nullptr : &properties_[found->second];
}

void PropertySet::onPluginWrite(std::function<void(const std::string&)> listener) {
    writeListener_ = std::move(listener);
}

void PropertySet::notifyWrite(const char* name) const {
    if (writeListener_) {
        writeListener_(name);
    }
}

OfxStatus PropertySet::pluginSet(const char* name, int index, PropertyValue value) {
    if (name == nullptr) {
        return kOfxStatErrUnknown;
    }
    std::unique_lock<std::mutex> lock(mutex_);
    Property* property = findLocked(name);
    if (property == nullptr) {
        return kOfxStatErrUnknown;
    }
    if (property->hostOnly() || !property->holds(value)) {
        return kOfxStatErrValue;
    }
    // A variable-size property grows by one when written just past its end.
    const int limit = property->isVariable() ? property->size() + 1 : property->dimension();
    if (index < 0 || index >= limit) {
        return kOfxStatErrBadIndex;
    }
    auto& values = property->values();
    if (index == static_cast<int>(values.size())) {
        values.push_back(std::move(value));
    } else {
        values[static_cast<size_t>(index)] = std::move(value);
    }
    property->markSetByPlugin();
    lock.unlock();
    notifyWrite(name);
    return kOfxStatOK;
}

OfxStatus PropertySet::pluginSetN(const char* name, int count, std::vector<PropertyValue> values) {
    if (name == nullptr) {
        return kOfxStatErrUnknown;
    }
    std::unique_lock<std::mutex> lock(mutex_);
    Property* property = findLocked(name);
    if (property == nullptr) {
        return kOfxStatErrUnknown;
    }
    if (property->hostOnly()) {
        return kOfxStatErrValue;
    }
    for (const auto& value : values) {
        if (!property->holds(value)) {
            return kOfxStatErrValue;
        }
    }
    if (count < 0 || (!property->isVariable() && count > property->dimension())) {
        return kOfxStatErrBadIndex;
    }
    if (property->isVariable()) {
        property->values() = std::move(values);
    } else {
        for (size_t i = 0; i < values.size(); ++i) {
            property->values()[i] = std::move(values[i]);
        }
    }
    property->markSetByPlugin();
    lock.unlock();
    notifyWrite(name);
    return kOfxStatOK;
}

OfxStatus PropertySet::pluginGet(const char* name, int index, PropertyType type,
                                 const PropertyValue** out) {
    if (name == nullptr) {
        return kOfxStatErrUnknown;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    const Property* property = findLocked(name);
    if (property == nullptr) {
        return kOfxStatErrUnknown;
    }
    if (property->type() != type) {
        return kOfxStatErrValue;
    }
    if (index < 0 || index >= property->size()) {
        return kOfxStatErrBadIndex;
    }
    *out = &property->values()[static_cast<size_t>(index)];
    return kOfxStatOK;
}

OfxStatus PropertySet::pluginGetDimension(const char* name, int* count) {
    if (name == nullptr) {
        return kOfxStatErrUnknown;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    const Property* property = findLocked(name);
    if (property == nullptr) {
        return kOfxStatErrUnknown;
    }
    *count = property->size();
    return kOfxStatOK;
}

OfxStatus PropertySet::pluginReset(const char* name) {
    if (name == nullptr) {
        return kOfxStatErrUnknown;
    }
    std::unique_lock<std::mutex> lock(mutex_);
    Property* property = findLocked(name);
    if (property == nullptr) {
        return kOfxStatErrUnknown;
    }
    if (property->hostOnly()) {
        return kOfxStatErrValue;
    }
    property->reset();
    lock.unlock();
    notifyWrite(name);
    return kOfxStatOK;
}

const Property& PropertySet::typedLocked(const std::string& name, PropertyType type) const {
    const Property* property = findLocked(name);
    if (property == nullptr) {
        throw HostError(kOfxStatErrUnknown, "unknown property " + name);
    }
    if (property->type() != type) {
        throw HostError(kOfxStatErrValue,
                        "property " + name + " is of type " + propertyTypeName(property->type()));
    }
    return *property;
}

const PropertyValue& PropertySet::readLocked(const std::string& name, int index,
                                             PropertyType type) const {
    const Property& property = typedLocked(name, type);
    if (index < 0 || index >= property.size()) {
        throw HostError(kOfxStatErrBadIndex,
                        "index " + std::to_string(index) + " out of range for " + name);
    }
    return property.values()[static_cast<size_t>(index)];
}

void PropertySet::writeLocked(const std::string& name, int index, PropertyValue value) {
    Property* property = findLocked(name);
    if (property == nullptr) {
        throw HostError(kOfxStatErrUnknown, "unknown property " + name);
    }
    if (!property->holds(value)) {
        throw HostError(kOfxStatErrValue, "wrong value type for property " + name);
    }
    auto& values = property->values();
    if (index < 0 || (!property->isVariable() && index >= property->dimension())) {
        throw HostError(kOfxStatErrBadIndex,
                        "index " + std::to_string(index) + " out of range for " + name);
    }
    if (index >= static_cast<int>(values.size())) {
        values.resize(static_cast<size_t>(index) + 1, value);
    }
    values[static_cast<size_t>(index)] = std::move(value);
}

void PropertySet::writeAllLocked(const std::string& name, std::vector<PropertyValue> values) {
    Property* property = findLocked(name);
    if (property == nullptr) {
        throw HostError(kOfxStatErrUnknown, "unknown property " + name);
    }
    for (const auto& value : values) {
        if (!property->holds(value)) {
            throw HostError(kOfxStatErrValue, "wrong value type for property " + name);
        }
    }
    if (!property->isVariable() && static_cast<int>(values.size()) != property->dimension()) {
        throw HostError(kOfxStatErrBadIndex, "property " + name + " holds " +
                                                 std::to_string(property->dimension()) + " values");
    }
    property->values() = std::move(values);
}

int PropertySet::getInt(const std::string& name, int index) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::get<int>(readLocked(name, index, PropertyType::Int));
}

double PropertySet::getDouble(const std::string& name, int index) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::get<double>(readLocked(name, index, PropertyType::Double));
}

std::string PropertySet::getString(const std::string& name, int index) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::get<std::string>(readLocked(name, index, PropertyType::String));
}

void* PropertySet::getPointer(const std::string& name, int index) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::get<void*>(readLocked(name, index, PropertyType::Pointer));
}

namespace {

template <class T>
std::vector<T> fromValues(const std::vector<PropertyValue>& values) {
    std::vector<T> result;
    result.reserve(values.size());
    for (const auto& value : values) {
        result.push_back(std::get<T>(value));
    }
    return result;
}

} // namespace

std::vector<int> PropertySet::getInts(const std::string& name) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return fromValues<int>(typedLocked(name, PropertyType::Int).values());
}

std::vector<double> PropertySet::getDoubles(const std::string& name) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return fromValues<double>(typedLocked(name, PropertyType::Double).values());
}

std::vector<std::string> PropertySet::getStrings(const std::string& name) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return fromValues<std::string>(typedLocked(name, PropertyType::String).values());
}

void PropertySet::setInt(const std::string& name, int value, int index) {
    std::lock_guard<std::mutex> lock(mutex_);
    writeLocked(name, index, value);
}

void PropertySet::setDouble(const std::string& name, double value, int index) {
    std::lock_guard<std::mutex> lock(mutex_);
    writeLocked(name, index, value);
}

void PropertySet::setString(const std::string& name, const std::string& value, int index) {
    std::lock_guard<std::mutex> lock(mutex_);
    writeLocked(name, index, value);
}

void PropertySet::setPointer(const std::string& name, void* value, int index) {
    std::lock_guard<std::mutex> lock(mutex_);
    writeLocked(name, index, value);
}

void PropertySet::setInts(const std::string& name, const std::vector<int>& values) {
    std::lock_guard<std::mutex> lock(mutex_);
    writeAllLocked(name, toValues(values));
}

void PropertySet::setDoubles(const std::string& name, const std::vector<double>& values) {
    std::lock_guard<std::mutex> lock(mutex_);
    writeAllLocked(name, toValues(values));
}

void PropertySet::setStrings(const std::string& name, const std::vector<std::string>& values) {
    std::lock_guard<std::mutex> lock(mutex_);
    writeAllLocked(name, toValues(values));
}

} // namespace ofxhost
