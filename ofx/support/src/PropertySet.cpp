#include "ofx/support/PropertySet.h"

#include "ofx/support/Exception.h"
#include "ofx/support/HostSuites.h"

namespace OFX {

namespace {

// Every call goes through here so a missing suite or handle reads as a status, not a crash.
template <class Call>
OfxStatus callSuite(OfxPropertySetHandle handle, Call&& call) {
    const OfxPropertySuiteV1* suite = suites().property;
    if (suite == nullptr) {
        return kOfxStatErrMissingHostFeature;
    }
    if (handle == nullptr) {
        return kOfxStatErrBadHandle;
    }
    return call(*suite);
}

} // namespace

void PropertySet::check(OfxStatus status, const char* call, const std::string& name) const {
    if (status != kOfxStatOK && throwOnFailure_) {
        throw Exception(status,
                        std::string(call) + "(\"" + name + "\") failed: " + statusName(status));
    }
}

OfxStatus PropertySet::trySetInt(const std::string& name, int value, int index) const {
    return callSuite(handle_, [&](const OfxPropertySuiteV1& s) {
        return s.propSetInt(handle_, name.c_str(), index, value);
    });
}

OfxStatus PropertySet::trySetDouble(const std::string& name, double value, int index) const {
    return callSuite(handle_, [&](const OfxPropertySuiteV1& s) {
        return s.propSetDouble(handle_, name.c_str(), index, value);
    });
}

OfxStatus PropertySet::trySetString(const std::string& name, const std::string& value,
                                    int index) const {
    return callSuite(handle_, [&](const OfxPropertySuiteV1& s) {
        return s.propSetString(handle_, name.c_str(), index, value.c_str());
    });
}

OfxStatus PropertySet::trySetPointer(const std::string& name, void* value, int index) const {
    return callSuite(handle_, [&](const OfxPropertySuiteV1& s) {
        return s.propSetPointer(handle_, name.c_str(), index, value);
    });
}

OfxStatus PropertySet::tryGetInt(const std::string& name, int& value, int index) const {
    return callSuite(handle_, [&](const OfxPropertySuiteV1& s) {
        return s.propGetInt(handle_, name.c_str(), index, &value);
    });
}

OfxStatus PropertySet::tryGetDouble(const std::string& name, double& value, int index) const {
    return callSuite(handle_, [&](const OfxPropertySuiteV1& s) {
        return s.propGetDouble(handle_, name.c_str(), index, &value);
    });
}

OfxStatus PropertySet::tryGetString(const std::string& name, std::string& value, int index) const {
    return callSuite(handle_, [&](const OfxPropertySuiteV1& s) {
        char* text = nullptr;
        const OfxStatus status = s.propGetString(handle_, name.c_str(), index, &text);
        if (status == kOfxStatOK) {
            // The host owns the text; copy it before the next call may free it.
            value = text != nullptr ? text : "";
        }
        return status;
    });
}

OfxStatus PropertySet::tryGetPointer(const std::string& name, void*& value, int index) const {
    return callSuite(handle_, [&](const OfxPropertySuiteV1& s) {
        return s.propGetPointer(handle_, name.c_str(), index, &value);
    });
}

OfxStatus PropertySet::tryGetDimension(const std::string& name, int& count) const {
    return callSuite(handle_, [&](const OfxPropertySuiteV1& s) {
        return s.propGetDimension(handle_, name.c_str(), &count);
    });
}

void PropertySet::setInt(const std::string& name, int value, int index) const {
    check(trySetInt(name, value, index), "propSetInt", name);
}

void PropertySet::setDouble(const std::string& name, double value, int index) const {
    check(trySetDouble(name, value, index), "propSetDouble", name);
}

void PropertySet::setString(const std::string& name, const std::string& value, int index) const {
    check(trySetString(name, value, index), "propSetString", name);
}

void PropertySet::setPointer(const std::string& name, void* value, int index) const {
    check(trySetPointer(name, value, index), "propSetPointer", name);
}

void PropertySet::setIntN(const std::string& name, const std::vector<int>& values) const {
    check(callSuite(handle_,
                    [&](const OfxPropertySuiteV1& s) {
                        return s.propSetIntN(handle_, name.c_str(), static_cast<int>(values.size()),
                                             values.data());
                    }),
          "propSetIntN", name);
}

void PropertySet::setDoubleN(const std::string& name, const std::vector<double>& values) const {
    check(callSuite(handle_,
                    [&](const OfxPropertySuiteV1& s) {
                        return s.propSetDoubleN(handle_, name.c_str(),
                                                static_cast<int>(values.size()), values.data());
                    }),
          "propSetDoubleN", name);
}

void PropertySet::setStringN(const std::string& name,
                             const std::vector<std::string>& values) const {
    std::vector<const char*> texts;
    texts.reserve(values.size());
    for (const std::string& value : values) {
        texts.push_back(value.c_str());
    }
    check(callSuite(handle_,
                    [&](const OfxPropertySuiteV1& s) {
                        return s.propSetStringN(handle_, name.c_str(),
                                                static_cast<int>(texts.size()), texts.data());
                    }),
          "propSetStringN", name);
}

int PropertySet::getInt(const std::string& name, int index) const {
    int value = 0;
    const OfxStatus status = tryGetInt(name, value, index);
    check(status, "propGetInt", name);
    return status == kOfxStatOK ? value : 0;
}

double PropertySet::getDouble(const std::string& name, int index) const {
    double value = 0.0;
    const OfxStatus status = tryGetDouble(name, value, index);
    check(status, "propGetDouble", name);
    return status == kOfxStatOK ? value : 0.0;
}

std::string PropertySet::getString(const std::string& name, int index) const {
    std::string value;
    check(tryGetString(name, value, index), "propGetString", name);
    return value;
}

void* PropertySet::getPointer(const std::string& name, int index) const {
    void* value = nullptr;
    const OfxStatus status = tryGetPointer(name, value, index);
    check(status, "propGetPointer", name);
    return status == kOfxStatOK ? value : nullptr;
}

std::vector<int> PropertySet::getIntN(const std::string& name) const {
    std::vector<int> values(static_cast<size_t>(getDimension(name)));
    for (size_t i = 0; i < values.size(); ++i) {
        values[i] = getInt(name, static_cast<int>(i));
    }
    return values;
}

std::vector<double> PropertySet::getDoubleN(const std::string& name) const {
    std::vector<double> values(static_cast<size_t>(getDimension(name)));
    for (size_t i = 0; i < values.size(); ++i) {
        values[i] = getDouble(name, static_cast<int>(i));
    }
    return values;
}

std::vector<std::string> PropertySet::getStringN(const std::string& name) const {
    std::vector<std::string> values(static_cast<size_t>(getDimension(name)));
    for (size_t i = 0; i < values.size(); ++i) {
        values[i] = getString(name, static_cast<int>(i));
    }
    return values;
}

int PropertySet::getDimension(const std::string& name) const {
    int count = 0;
    const OfxStatus status = tryGetDimension(name, count);
    check(status, "propGetDimension", name);
    return status == kOfxStatOK && count > 0 ? count : 0;
}

void PropertySet::reset(const std::string& name) const {
    check(
        callSuite(handle_,
                  [&](const OfxPropertySuiteV1& s) { return s.propReset(handle_, name.c_str()); }),
        "propReset", name);
}

} // namespace OFX
