#pragma once

#include "ofx/ofxImageEffect.h"
#include "ofx/ofxInteract.h"

#include <atomic>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <variant>
#include <vector>

namespace fakehost {

// A minimal in-memory OFX host for the support layer's tests: just enough of the property,
// image-effect, parameter, message and multithread suites to describe, instantiate and render
// the test plug-in. Handles are pointers to the structs below. One FakeHost at a time.

using Value = std::variant<int, double, std::string, void*>;

struct PropertyBag {
    std::map<std::string, std::vector<Value>> values;

    OfxPropertySetHandle handle() { return reinterpret_cast<OfxPropertySetHandle>(this); }
    void* getPointer(const std::string& name, size_t index = 0) const;
};

struct FakeParam {
    std::string name;
    std::string type;
    PropertyBag props;
    std::vector<Value> value; // one entry per component
};

struct FakeImage {
    PropertyBag props;
    std::vector<float> storage;
};

struct FakeClip {
    std::string name;
    PropertyBag props;
    FakeImage* image = nullptr; // not owned
};

// An effect descriptor or instance; its param set handle is the effect itself.
struct FakeEffect {
    PropertyBag props;
    std::vector<std::unique_ptr<FakeParam>> params; // in definition order
    std::vector<std::unique_ptr<FakeClip>> clips;   // in definition order

    OfxImageEffectHandle handle() { return reinterpret_cast<OfxImageEffectHandle>(this); }
    FakeParam* param(const std::string& name);
    FakeClip* clip(const std::string& name);
};

// An interact descriptor or instance; its handle is the struct itself.
struct FakeInteract {
    PropertyBag props;

    OfxInteractHandle handle() { return reinterpret_cast<OfxInteractHandle>(this); }
};

class FakeHost {
public:
    FakeHost();
    ~FakeHost();
    FakeHost(const FakeHost&) = delete;
    FakeHost& operator=(const FakeHost&) = delete;

    static FakeHost& current();

    OfxHost* host() { return &host_; }
    // fetchSuite answers NULL for this suite name from now on.
    void withholdSuite(const std::string& name) { withheld_.insert(name); }

    // An effect descriptor, or an instance in context built from a described one: clips
    // connected with float RGBA, parameters at their defaults.
    std::unique_ptr<FakeEffect> newDescriptor();
    std::unique_ptr<FakeEffect> newInstance(FakeEffect& described, const char* context);

    // A float RGBA image with the given bounds and rowFloats floats per row (>= 4 x width).
    std::unique_ptr<FakeImage> newImage(const OfxRectI& bounds, int rowFloats);

    PropertyBag hostProps;
    unsigned int cpuCount = 4;
    bool refuseMultiThread = false;
    std::atomic<int> multiThreadCalls{0};
    std::atomic<unsigned int> largestThreadCount{0};
    std::atomic<int> releasedImages{0};

private:
    static const void* fetchSuite(OfxPropertySetHandle host, const char* name, int version);

    OfxHost host_;
    std::set<std::string> withheld_;
};

} // namespace fakehost
