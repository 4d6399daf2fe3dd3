#pragma once

#include "host/core/HandleTag.h"
#include "host/properties/Property.h"

#include "ofx/ofxCore.h"

#include <functional>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace ofxhost {

// A bag of named, typed properties in declaration order: what an OfxPropertySetHandle points
// at. The plug-in reaches it through the property suite (OFX statuses, host-only properties
// refused); the host uses the typed helpers, which throw HostError.
class PropertySet {
public:
    PropertySet();
    // Copies the properties (a descriptor's set becomes an instance's); the copy is a new handle.
    PropertySet(const PropertySet& other);
    PropertySet& operator=(const PropertySet&) = delete;
    virtual ~PropertySet() = default;

    static PropertySet* fromHandle(OfxPropertySetHandle handle);
    OfxPropertySetHandle handle() { return reinterpret_cast<OfxPropertySetHandle>(this); }

    // Declares a property, replacing any earlier one of that name. A dimension of -1 takes the
    // number of defaults; 0 declares a variable-size property.
    void add(Property property);
    void addInt(const std::string& name, std::vector<int> defaults, int dimension = -1,
                bool hostOnly = false);
    void addDouble(const std::string& name, std::vector<double> defaults, int dimension = -1,
                   bool hostOnly = false);
    void addString(const std::string& name, std::vector<std::string> defaults, int dimension = -1,
                   bool hostOnly = false);
    void addPointer(const std::string& name, std::vector<void*> defaults, int dimension = -1,
                    bool hostOnly = false);
    // Makes every property host-only (images, action arguments the plug-in must not change).
    void makeHostOnly();

    bool has(const std::string& name) const;
    int dimension(const std::string& name) const;
    // A copy of every property in declaration order, safe to keep.
    std::vector<Property> snapshot() const;
    Property property(const std::string& name) const;

    // Called with the property's name after each write or reset the plug-in makes through the
    // property suite (not by the host's own setters). Not copied with the set.
    void onPluginWrite(std::function<void(const std::string&)> listener);

    // Property suite semantics.
    OfxStatus pluginSet(const char* name, int index, PropertyValue value);
    OfxStatus pluginSetN(const char* name, int count, std::vector<PropertyValue> values);
    // out points into the set's storage: valid until the property is written again.
    OfxStatus pluginGet(const char* name, int index, PropertyType type, const PropertyValue** out);
    OfxStatus pluginGetDimension(const char* name, int* count);
    OfxStatus pluginReset(const char* name);

    // Host-side access; unknown names, wrong types and bad indices throw HostError.
    int getInt(const std::string& name, int index = 0) const;
    double getDouble(const std::string& name, int index = 0) const;
    std::string getString(const std::string& name, int index = 0) const;
    void* getPointer(const std::string& name, int index = 0) const;
    std::vector<int> getInts(const std::string& name) const;
    std::vector<double> getDoubles(const std::string& name) const;
    std::vector<std::string> getStrings(const std::string& name) const;

    void setInt(const std::string& name, int value, int index = 0);
    void setDouble(const std::string& name, double value, int index = 0);
    void setString(const std::string& name, const std::string& value, int index = 0);
    void setPointer(const std::string& name, void* value, int index = 0);
    void setInts(const std::string& name, const std::vector<int>& values);
    void setDoubles(const std::string& name, const std::vector<double>& values);
    void setStrings(const std::string& name, const std::vector<std::string>& values);

private:
    Property* findLocked(const std::string& name);
    const Property* findLocked(const std::string& name) const;
    const Property& typedLocked(const std::string& name, PropertyType type) const;
    const PropertyValue& readLocked(const std::string& name, int index, PropertyType type) const;
    void writeLocked(const std::string& name, int index, PropertyValue value);
    void writeAllLocked(const std::string& name, std::vector<PropertyValue> values);

    void notifyWrite(const char* name) const;

    HandleTag tag_{HandleTag::PropertySetKind, this};
    std::function<void(const std::string&)> writeListener_;
    mutable std::mutex mutex_;
    std::vector<Property> properties_;
    std::unordered_map<std::string, size_t> index_;
};

} // namespace ofxhost
