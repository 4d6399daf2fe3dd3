#pragma once

#include "host/plugin/HostProfile.h"
#include "host/properties/PropertySet.h"
#include "host/record/Recorder.h"

#include "ofx/ofxCore.h"

#include <string>
#include <vector>

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

    // Rule enforcement: the profile's strict flag, or HALDEN_HOST_STRICT=1 in the environment
    // when the host was created (then profile().strict is set too).
    bool strict() const { return profile_.strict; }
    // Records a breach of the OFX rules in the action the calling thread is inside (action
    // overrides it), here and process-wide.
    void addViolation(const std::string& description, const char* action = nullptr);
    std::vector<Violation> violations() const { return recorder_.violations(); }
    // Every violation any host of the process recorded since the last clear, in order; kept
    // after the hosts are gone.
    static std::vector<Violation> processViolations();
    static void clearProcessViolations();
    // "OfxImageEffectActionRender" -> "render", "OfxInteractActionPenDown" -> "penDown";
    // nullptr -> "no action".
    static std::string actionName(const char* action);

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
