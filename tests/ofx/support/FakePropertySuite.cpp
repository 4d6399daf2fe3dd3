#include "FakeHost.h"
#include "FakeSuites.h"

#include <type_traits>

namespace fakehost {

namespace {

PropertyBag* bag(OfxPropertySetHandle handle) {
    return reinterpret_cast<PropertyBag*>(handle);
}

template <class T>
OfxStatus setOne(OfxPropertySetHandle set, const char* name, int index, T value) {
    if (set == nullptr) {
        return kOfxStatErrBadHandle;
    }
    if (index < 0) {
        return kOfxStatErrBadIndex;
    }
    std::vector<Value>& values = bag(set)->values[name];
    if (static_cast<size_t>(index) >= values.size()) {
        values.resize(static_cast<size_t>(index) + 1, Value(T()));
    }
    values[static_cast<size_t>(index)] = Value(value);
    return kOfxStatOK;
}

template <class T, class In>
OfxStatus setMany(OfxPropertySetHandle set, const char* name, int count, In values) {
    if (set == nullptr) {
        return kOfxStatErrBadHandle;
    }
    std::vector<Value>& stored = bag(set)->values[name];
    stored.clear();
    for (int i = 0; i < count; ++i) {
        stored.emplace_back(T(values[i]));
    }
    return kOfxStatOK;
}

// Strings are handed out as the bag's own storage.
template <class T, class Out = T>
OfxStatus getOne(OfxPropertySetHandle set, const char* name, int index, Out* out) {
    if (set == nullptr) {
        return kOfxStatErrBadHandle;
    }
    const auto found = bag(set)->values.find(name);
    if (found == bag(set)->values.end()) {
        return kOfxStatErrUnknown;
    }
    if (index < 0 || static_cast<size_t>(index) >= found->second.size()) {
        return kOfxStatErrBadIndex;
    }
    auto* value = std::get_if<T>(&found->second[static_cast<size_t>(index)]);
    if (value == nullptr) {
        return kOfxStatErrValue;
    }
    if constexpr (std::is_same_v<T, std::string>) {
        *out = const_cast<char*>(value->c_str());
    } else {
        *out = *value;
    }
    return kOfxStatOK;
}

OfxStatus propSetString(OfxPropertySetHandle s, const char* n, int i, const char* v) {
    return setOne<std::string>(s, n, i, v != nullptr ? v : "");
}
// The all-at-once getters are not offered.
template <class T>
OfxStatus getMany(OfxPropertySetHandle, const char*, int, T*) {
    return kOfxStatErrUnsupported;
}
OfxStatus propReset(OfxPropertySetHandle s, const char* n) {
    if (s == nullptr) {
        return kOfxStatErrBadHandle;
    }
    bag(s)->values[n].clear();
    return kOfxStatOK;
}
OfxStatus propGetDimension(OfxPropertySetHandle s, const char* n, int* count) {
    if (s == nullptr) {
        return kOfxStatErrBadHandle;
    }
    const auto found = bag(s)->values.find(n);
    if (found == bag(s)->values.end()) {
        return kOfxStatErrUnknown;
    }
    *count = static_cast<int>(found->second.size());
    return kOfxStatOK;
}

} // namespace

// Typed values, with the statuses hosts answer.
const OfxPropertySuiteV1 propertySuite = {setOne<void*>,
                                          propSetString,
                                          setOne<double>,
                                          setOne<int>,
                                          setMany<void*, void* const*>,
                                          setMany<std::string, const char* const*>,
                                          setMany<double, const double*>,
                                          setMany<int, const int*>,
                                          getOne<void*>,
                                          getOne<std::string, char*>,
                                          getOne<double>,
                                          getOne<int>,
                                          getMany<void*>,
                                          getMany<char*>,
                                          getMany<double>,
                                          getMany<int>,
                                          propReset,
                                          propGetDimension};

} // namespace fakehost
