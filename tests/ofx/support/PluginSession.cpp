#include "PluginSession.h"

#include "DynamicLibrary.h"

#include <gtest/gtest.h>

namespace fakehost {

namespace {

const DynamicLibrary& library() {
    static const DynamicLibrary binary(HALDEN_TEST_PLUGIN_BINARY);
    return binary;
}

} // namespace

PluginSession::PluginSession(FakeHost& host) : host_(host) {
    plugin(0)->setHost(host_.host());
}

PluginSession::~PluginSession() {
    if (instance_ != nullptr) {
        action(kOfxActionDestroyInstance, instance_->handle());
    }
    if (loaded_) {
        action(kOfxActionUnload);
    }
}

int PluginSession::pluginCount() {
    return library().function<int()>("OfxGetNumberOfPlugins")();
}

OfxPlugin* PluginSession::plugin(int index) {
    return library().function<OfxPlugin*(int)>("OfxGetPlugin")(index);
}

OfxStatus PluginSession::action(const char* name, const void* handle, PropertyBag* inArgs,
                                PropertyBag* outArgs) {
    return plugin(0)->mainEntry(name, handle, inArgs != nullptr ? inArgs->handle() : nullptr,
                                outArgs != nullptr ? outArgs->handle() : nullptr);
}

void PluginSession::describe() {
    ASSERT_EQ(action(kOfxActionLoad), kOfxStatOK);
    loaded_ = true;
    descriptor_ = host_.newDescriptor();
    ASSERT_EQ(action(kOfxActionDescribe, descriptor_->handle()), kOfxStatOK);
    contextDescriptor_ = host_.newDescriptor();
    PropertyBag inArgs;
    inArgs.values[kOfxImageEffectPropContext] = {std::string(kOfxImageEffectContextFilter)};
    ASSERT_EQ(action(kOfxImageEffectActionDescribeInContext, contextDescriptor_->handle(), &inArgs),
              kOfxStatOK);
}

FakeEffect& PluginSession::createInstance() {
    if (instance_ != nullptr) {
        EXPECT_EQ(action(kOfxActionDestroyInstance, instance_->handle()), kOfxStatOK);
    }
    instance_ = host_.newInstance(*contextDescriptor_, kOfxImageEffectContextFilter);
    EXPECT_EQ(action(kOfxActionCreateInstance, instance_->handle()), kOfxStatOK);
    return *instance_;
}

PropertyBag PluginSession::renderArgs(const OfxRectI& window) {
    PropertyBag args;
    args.values[kOfxPropTime] = {0.0};
    args.values[kOfxImageEffectPropRenderScale] = {1.0, 1.0};
    args.values[kOfxImageEffectPropRenderWindow] = {window.x1, window.y1, window.x2, window.y2};
    args.values[kOfxImageEffectPropFieldToRender] = {std::string(kOfxImageFieldNone)};
    return args;
}

} // namespace fakehost
