#include "host/suites/PropertySuite.h"

#include "host/core/StatusGuard.h"
#include "host/properties/PropertySet.h"

#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace ofxhost {

namespace {

template <class Body>
OfxStatus withSet(OfxPropertySetHandle handle, Body&& body) {
    return guardStatus([&]() -> OfxStatus {
        PropertySet* set = PropertySet::fromHandle(handle);
        if (set == nullptr) {
            return kOfxStatErrBadHandle;
        }
        return body(*set);
    });
}

template <class T>
OfxStatus setOne(OfxPropertySetHandle handle, const char* name, int index, T value) {
    return withSet(handle, [&](PropertySet& set) {
        return set.pluginSet(name, index, PropertyValue(std::move(value)));
    });
}

template <class T, class In>
OfxStatus setMany(OfxPropertySetHandle handle, const char* name, int count, const In* values) {
    return withSet(handle, [&](PropertySet& set) {
        if (values == nullptr && count > 0) {
            return kOfxStatErrValue;
        }
        std::vector<PropertyValue> converted;
        for (int i = 0; i < count; ++i) {
            if constexpr (std::is_same_v<T, std::string>) {
                if (values[i] == nullptr) {
                    return kOfxStatErrValue;
                }
            }
            converted.emplace_back(T(values[i]));
        }
        return set.pluginSetN(name, count, std::move(converted));
    });
}

// Copies one stored value out; strings hand out the host-owned storage.
template <class Out>
OfxStatus readInto(const PropertyValue& value, Out* out) {
    if constexpr (std::is_same_v<Out, char*>) {
        *out = const_cast<char*>(std::get<std::string>(value).c_str());
    } else {
        *out = std::get<Out>(value);
    }
    return kOfxStatOK;
}

template <class Out>
OfxStatus getOne(OfxPropertySetHandle handle, const char* name, int index, PropertyType type,
                 Out* out) {
    return withSet(handle, [&](PropertySet& set) {
        if (out == nullptr) {
            return kOfxStatErrValue;
        }
        const PropertyValue* value = nullptr;
        const OfxStatus status = set.pluginGet(name, index, type, &value);
        return status == kOfxStatOK ? readInto(*value, out) : status;
    });
}

template <class Out>
OfxStatus getMany(OfxPropertySetHandle handle, const char* name, int count, PropertyType type,
                  Out* out) {
    return withSet(handle, [&](PropertySet& set) {
        if (out == nullptr && count > 0) {
            return kOfxStatErrValue;
        }
        int size = 0;
        OfxStatus status = set.pluginGetDimension(name, &size);
        if (status != kOfxStatOK) {
            return status;
        }
        if (count < 0 || count > size) {
            return kOfxStatErrBadIndex;
        }
        for (int i = 0; i < count; ++i) {
            const PropertyValue* value = nullptr;
            status = set.pluginGet(name, i, type, &value);
            if (status != kOfxStatOK) {
                return status;
            }
            readInto(*value, &out[i]);
        }
        if (count == 0) {
            // Still report a type mismatch for an empty read.
            const PropertyValue* ignored = nullptr;
            status = set.pluginGet(name, 0, type, &ignored);
            return status == kOfxStatErrBadIndex ? kOfxStatOK : status;
        }
        return kOfxStatOK;
    });
}

OfxStatus propSetPointer(OfxPropertySetHandle h, const char* name, int index, void* value) {
    return setOne(h, name, index, value);
}

OfxStatus propSetString(OfxPropertySetHandle h, const char* name, int index, const char* value) {
    if (value == nullptr) {
        return kOfxStatErrValue;
    }
    return setOne(h, name, index, std::string(value));
}

OfxStatus propSetDouble(OfxPropertySetHandle h, const char* name, int index, double value) {
    return setOne(h, name, index, value);
}

OfxStatus propSetInt(OfxPropertySetHandle h, const char* name, int index, int value) {
    return setOne(h, name, index, value);
}

OfxStatus propSetPointerN(OfxPropertySetHandle h, const char* name, int count,
                          void* const* values) {
    return setMany<void*>(h, name, count, values);
}

OfxStatus propSetStringN(OfxPropertySetHandle h, const char* name, int count,
                         const char* const* values) {
    return setMany<std::string>(h, name, count, values);
}

OfxStatus propSetDoubleN(OfxPropertySetHandle h, const char* name, int count,
                         const double* values) {
    return setMany<double>(h, name, count, values);
}

OfxStatus propSetIntN(OfxPropertySetHandle h, const char* name, int count, const int* values) {
    return setMany<int>(h, name, count, values);
}

OfxStatus propGetPointer(OfxPropertySetHandle h, const char* name, int index, void** value) {
    return getOne(h, name, index, PropertyType::Pointer, value);
}

OfxStatus propGetString(OfxPropertySetHandle h, const char* name, int index, char** value) {
    return getOne(h, name, index, PropertyType::String, value);
}

OfxStatus propGetDouble(OfxPropertySetHandle h, const char* name, int index, double* value) {
    return getOne(h, name, index, PropertyType::Double, value);
}

OfxStatus propGetInt(OfxPropertySetHandle h, const char* name, int index, int* value) {
    return getOne(h, name, index, PropertyType::Int, value);
}

OfxStatus propGetPointerN(OfxPropertySetHandle h, const char* name, int count, void** values) {
    return getMany(h, name, count, PropertyType::Pointer, values);
}

OfxStatus propGetStringN(OfxPropertySetHandle h, const char* name, int count, char** values) {
    return getMany(h, name, count, PropertyType::String, values);
}

OfxStatus propGetDoubleN(OfxPropertySetHandle h, const char* name, int count, double* values) {
    return getMany(h, name, count, PropertyType::Double, values);
}

OfxStatus propGetIntN(OfxPropertySetHandle h, const char* name, int count, int* values) {
    return getMany(h, name, count, PropertyType::Int, values);
}

OfxStatus propReset(OfxPropertySetHandle h, const char* name) {
    return withSet(h, [&](PropertySet& set) { return set.pluginReset(name); });
}

OfxStatus propGetDimension(OfxPropertySetHandle h, const char* name, int* count) {
    return withSet(h, [&](PropertySet& set) {
        return count == nullptr ? kOfxStatErrValue : set.pluginGetDimension(name, count);
    });
}

const OfxPropertySuiteV1 kPropertySuite = {
    propSetPointer, propSetString,  propSetDouble,   propSetInt,     propSetPointerN,
    propSetStringN, propSetDoubleN, propSetIntN,     propGetPointer, propGetString,
    propGetDouble,  propGetInt,     propGetPointerN, propGetStringN, propGetDoubleN,
    propGetIntN,    propReset,      propGetDimension};

} // namespace

const OfxPropertySuiteV1* propertySuiteV1() {
    return &kPropertySuite;
}

} // namespace ofxhost
