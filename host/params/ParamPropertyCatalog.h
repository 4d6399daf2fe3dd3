#pragma once

#include <string>

namespace ofxhost {

class PropertySet;

// The properties a parameter of each type has, with the defaults a plug-in may rely on.
class ParamPropertyCatalog {
public:
    static void addDescriptorProperties(PropertySet& set, const std::string& type,
                                        const std::string& name);
};

} // namespace ofxhost
