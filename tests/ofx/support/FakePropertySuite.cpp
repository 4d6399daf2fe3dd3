#include "FakeHost.h"
#include "FakeSuites.h"

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

template <class T>
OfxStatus getOne(OfxPropertySetHandle set, const char* name, int index, T* out) {
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
    const Value& value = found->second[static_cast<size_t>(index)];
    if (!std::holds_alternative<T>(value)) {
        return kOfxStatErrValue;
    }
    *out = std::get<T>(value);
    return kOfxStatOK;
}

OfxStatus propSetPointer(OfxPropertySetHandle s, const char* n, int i, void* v) {
    return setOne<void*>(s, n, i, v);
}
OfxStatus propSetString(OfxPropertySetHandle s, const char* n, int i, const char* v) {
    return setOne<std::string>(s, n, i, v != nullptr ? v : "");
}
OfxStatus propSetDouble(OfxPropertySetHandle s, const char* n, int i, double v) {
    return setOne<double>(s, n, i, v);
}
OfxStatus propSetInt(OfxPropertySetHandle s, const char* n, int i, int v) {
    return setOne<int>(s, n, i, v);
}
OfxStatus propSetPointerN(OfxPropertySetHandle s, const char* n, int c, void* const* v) {
    return setMany<void*>(s, n, c, v);
}
OfxStatus propSetStringN(OfxPropertySetHandle s, const char* n, int c, const char* const* v) {
    return setMany<std::string>(s, n, c, v);
}
OfxStatus propSetDoubleN(OfxPropertySetHandle s, const char* n, int c, const double* v) {
    return setMany<double>(s, n, c, v);
}
OfxStatus propSetIntN(OfxPropertySetHandle s, const char* n, int c, const int* v) {
    return setMany<int>(s, n, c, v);
}
OfxStatus propGetPointer(OfxPropertySetHandle s, const char* n, int i, void** v) {
    return getOne<void*>(s, n, i, v);
}
OfxStatus propGetString(OfxPropertySetHandle s, const char* n, int i, char** v) {
    if (s == nullptr) {
        return kOfxStatErrBadHandle;
    }
    const auto found = bag(s)->values.find(n);
    if (found == bag(s)->values.end()) {
        return kOfxStatErrUnknown;
    }
    if (i < 0 || static_cast<size_t>(i) >= found->second.size()) {
        return kOfxStatErrBadIndex;
    }
    auto* text = std::get_if<std::string>(&found->second[static_cast<size_t>(i)]);
    if (text == nullptr) {
        return kOfxStatErrValue;
    }
    *v = const_cast<char*>(text->c_str());
    return kOfxStatOK;
}
OfxStatus propGetDouble(OfxPropertySetHandle s, const char* n, int i, double* v) {
    return getOne<double>(s, n, i, v);
}
OfxStatus propGetInt(OfxPropertySetHandle s, const char* n, int i, int* v) {
    return getOne<int>(s, n, i, v);
}
OfxStatus propGetPointerN(OfxPropertySetHandle, const char*, int, void**) {
    return kOfxStatErrUnsupported;
}
OfxStatus propGetStringN(OfxPropertySetHandle, const char*, int, char**) {
    return kOfxStatErrUnsupported;
}
OfxStatus propGetDoubleN(OfxPropertySetHandle, const char*, int, double*) {
    return kOfxStatErrUnsupported;
}
OfxStatus propGetIntN(OfxPropertySetHandle, const char*, int, int*) {
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
const OfxPropertySuiteV1 propertySuite = {
    propSetPointer, propSetString,  propSetDouble,   propSetInt,     propSetPointerN,
    propSetStringN, propSetDoubleN, propSetIntN,     propGetPointer, propGetString,
    propGetDouble,  propGetInt,     propGetPointerN, propGetStringN, propGetDoubleN,
    propGetIntN,    propReset,      propGetDimension};

} // namespace fakehost
