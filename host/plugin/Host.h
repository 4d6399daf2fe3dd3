#pragma once

#include "host/plugin/HostProfile.h"
#include "host/properties/PropertySet.h"
#include "host/record/Recorder.h"

#include "ofx/ofxCore.h"

namespace ofxhost {

// The host application as a plug-in sees it: the OfxHost struct with its property set
// (built from a profile) and fetchSuite. It must outlive every bundle loaded through it.
class Host {
public:
    explicit Host(HostProfile profile);
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    const HostProfile& profile() const { return profile_; }
    PropertySet& properties() { return properties_; }
    OfxHost* ofxHost() { return &ofxHost_; }
    Recorder& recorder() { return recorder_; }

    // NULL for a suite or version this host does not offer under its profile.
    const void* fetchSuite(const char* name, int version);

    static Host* fromHandle(OfxPropertySetHandle handle);
    // The most recently created live host (for messages posted with a NULL handle).
    static Host* latest();

private:
    HostProfile profile_;
    PropertySet properties_;
    OfxHost ofxHost_;
    Recorder recorder_;
};

} // namespace ofxhost
