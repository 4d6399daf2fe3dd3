#pragma once

#include "FakeHost.h"

#include "ofx/ofxImageEffect.h"

#include <memory>

namespace fakehost {

// The test plug-in's binary, opened once per test process and driven through its C entry
// points only, as a host does.
class PluginSession {
public:
    // Gives the plug-in host's suites (OfxPlugin::setHost); nothing else.
    explicit PluginSession(FakeHost& host);
    // Destroys a live instance and unloads when loaded.
    ~PluginSession();
    PluginSession(const PluginSession&) = delete;
    PluginSession& operator=(const PluginSession&) = delete;

    static int pluginCount();
    static OfxPlugin* plugin(int index);

    OfxStatus action(const char* name, const void* handle = nullptr, PropertyBag* inArgs = nullptr,
                     PropertyBag* outArgs = nullptr);

    // Load, Describe and DescribeInContext(filter); each must answer OK.
    void describe();
    // CreateInstance in the filter context from what describe defined; destroys the previous
    // instance first.
    FakeEffect& createInstance();

    FakeEffect& descriptor() { return *descriptor_; }
    FakeEffect& contextDescriptor() { return *contextDescriptor_; }

    // Render action arguments for a window at time 0, render scale 1.
    static PropertyBag renderArgs(const OfxRectI& window);

private:
    FakeHost& host_;
    bool loaded_ = false;
    std::unique_ptr<FakeEffect> descriptor_;
    std::unique_ptr<FakeEffect> contextDescriptor_;
    std::unique_ptr<FakeEffect> instance_;
};

} // namespace fakehost
