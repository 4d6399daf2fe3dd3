#pragma once

#include "ofx/ofxCore.h"

#include <string>
#include <vector>

namespace OFX {

// A typed view of one host property set. Failures throw OFX::Exception with the host's status
// (kOfxStatErrUnknown for an unknown name, kOfxStatErrBadIndex past the dimension, ...); with
// throwOnFailure off, getters give 0, 0.0, "" or nullptr and setters do nothing instead. The
// try* forms never throw and return the status.
class PropertySet {
public:
    PropertySet() = default;
    explicit PropertySet(OfxPropertySetHandle handle, bool throwOnFailure = true)
        : handle_(handle), throwOnFailure_(throwOnFailure) {}

    OfxPropertySetHandle handle() const { return handle_; }
    bool isValid() const { return handle_ != nullptr; }
    bool throwsOnFailure() const { return throwOnFailure_; }
    void setThrowOnFailure(bool value) { throwOnFailure_ = value; }

    void setInt(const std::string& name, int value, int index = 0) const;
    void setDouble(const std::string& name, double value, int index = 0) const;
    void setString(const std::string& name, const std::string& value, int index = 0) const;
    void setPointer(const std::string& name, void* value, int index = 0) const;
    // Set all values at once; the dimension becomes values.size() where the host allows it.
    void setIntN(const std::string& name, const std::vector<int>& values) const;
    void setDoubleN(const std::string& name, const std::vector<double>& values) const;
    void setStringN(const std::string& name, const std::vector<std::string>& values) const;

    int getInt(const std::string& name, int index = 0) const;
    double getDouble(const std::string& name, int index = 0) const;
    std::string getString(const std::string& name, int index = 0) const;
    void* getPointer(const std::string& name, int index = 0) const;
    // Every value, as many as the current dimension.
    std::vector<int> getIntN(const std::string& name) const;
    std::vector<double> getDoubleN(const std::string& name) const;
    std::vector<std::string> getStringN(const std::string& name) const;

    int getDimension(const std::string& name) const;
    void reset(const std::string& name) const;

    OfxStatus tryGetInt(const std::string& name, int& value, int index = 0) const;
    OfxStatus tryGetDouble(const std::string& name, double& value, int index = 0) const;
    OfxStatus tryGetString(const std::string& name, std::string& value, int index = 0) const;
    OfxStatus tryGetPointer(const std::string& name, void*& value, int index = 0) const;
    OfxStatus tryGetDimension(const std::string& name, int& count) const;
    OfxStatus trySetInt(const std::string& name, int value, int index = 0) const;
    OfxStatus trySetDouble(const std::string& name, double value, int index = 0) const;
    OfxStatus trySetString(const std::string& name, const std::string& value, int index = 0) const;
    OfxStatus trySetPointer(const std::string& name, void* value, int index = 0) const;

private:
    void check(OfxStatus status, const char* call, const std::string& name) const;

    OfxPropertySetHandle handle_ = nullptr;
    bool throwOnFailure_ = true;
};

} // namespace OFX
