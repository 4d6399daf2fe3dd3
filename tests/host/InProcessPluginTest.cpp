// The host's parameter store and change notifications, and the rules a strict host enforces,
// driven by a tiny plug-in compiled into the test (an OfxPlugin with its own entry point; no
// bundle needed).

#include "host/core/HostError.h"
#include "host/plugin/Host.h"
#include "host/plugin/Plugin.h"
#include "host/suites/MemorySuite.h"

#include "ofx/ofxGPURender.h"
#include "ofx/ofxImageEffect.h"
#include "ofx/ofxProgress.h"
#include "ofx/ofxTimeLine.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace {

using ofxhost::EffectInstance;
using ofxhost::Host;
using ofxhost::HostProfile;
using ofxhost::ParamValue;
using ofxhost::Plugin;
using ofxhost::RenderArgs;

// What the plug-in saw, in order.
struct Seen {
    std::string action;
    std::string name;
    std::string reason;
    int depth;
};

OfxHost* gHost = nullptr;
const OfxPropertySuiteV1* gProps = nullptr;
const OfxImageEffectSuiteV1* gEffects = nullptr;
const OfxParameterSuiteV1* gParams = nullptr;
std::vector<Seen> gSeen;
thread_local int gDepth = 0;

// What the plug-in does in describe and render, for the strict host's rules.
struct Behaviour {
    // Declared in describe when set.
    const char* threadSafety = nullptr;
    bool writeInRender = false;
    bool leaveEditBlockOpen = false;
    // A render waits (up to a limit) for this many renders to be under way at once.
    int awaitRenders = 0;
};
Behaviour gBehaviour;
std::atomic<int> gRendering{0};
std::atomic<int> gMostRendering{0};
std::atomic<OfxStatus> gCudaEnabledStatus{kOfxStatOK};

void setHost(OfxHost* host) {
    gHost = host;
}

OfxParamHandle param(const void* effect, const char* name) {
    OfxParamSetHandle set = nullptr;
    gEffects->getParamSet(static_cast<OfxImageEffectHandle>(const_cast<void*>(effect)), &set);
    OfxParamHandle handle = nullptr;
    gParams->paramGetHandle(set, name, &handle, nullptr);
    return handle;
}

void defineParams(OfxImageEffectHandle effect) {
    OfxParamSetHandle set = nullptr;
    gEffects->getParamSet(effect, &set);
    OfxPropertySetHandle props = nullptr;
    gParams->paramDefine(set, kOfxParamTypeDouble, "amount", &props);
    gProps->propSetDouble(props, kOfxParamPropDefault, 0, 0.5);
    gProps->propSetDouble(props, kOfxParamPropMin, 0, 0.0);
    gProps->propSetDouble(props, kOfxParamPropMax, 0, 1.0);
    gParams->paramDefine(set, kOfxParamTypeInteger, "count", &props);
    gProps->propSetInt(props, kOfxParamPropDefault, 0, 3);
    gParams->paramDefine(set, kOfxParamTypeString, "label", &props);
    gProps->propSetString(props, kOfxParamPropDefault, 0, "start");
    gParams->paramDefine(set, kOfxParamTypeRGB, "colour", &props);
    gParams->paramDefine(set, kOfxParamTypePushButton, "button", &props);
}

OfxStatus onChanged(const void* effect, OfxPropertySetHandle in) {
    char* name = nullptr;
    char* reason = nullptr;
    gProps->propGetString(in, kOfxPropName, 0, &name);
    gProps->propGetString(in, kOfxPropChangeReason, 0, &reason);
    gSeen.push_back({kOfxActionInstanceChanged, name, reason, gDepth});
    const std::string changed = name;
    // A chain of edits: the button sets amount, which in turn sets count.
    if (changed == "button") {
        gParams->paramSetValue(param(effect, "amount"), 0.25);
    } else if (changed == "amount" && std::string(reason) == kOfxChangePluginEdited) {
        gParams->paramSetValue(param(effect, "count"), 7);
    }
    return kOfxStatOK;
}

OfxStatus onRender(const void* effect, OfxPropertySetHandle in) {
    const int now = ++gRendering;
    int most = gMostRendering;
    while (now > most && !gMostRendering.compare_exchange_weak(most, now)) {
    }
    const auto limit = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    while (gRendering < gBehaviour.awaitRenders && std::chrono::steady_clock::now() < limit) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    int enabled = 0;
    gCudaEnabledStatus = gProps->propGetInt(in, kOfxImageEffectPropCudaEnabled, 0, &enabled);
    if (gBehaviour.writeInRender) {
        gParams->paramSetValue(param(effect, "amount"), 0.75);
    }
    if (gBehaviour.leaveEditBlockOpen) {
        OfxParamSetHandle set = nullptr;
        gEffects->getParamSet(static_cast<OfxImageEffectHandle>(const_cast<void*>(effect)), &set);
        gParams->paramEditBegin(set, "drag");
    }
    --gRendering;
    return kOfxStatOK;
}

OfxStatus mainEntry(const char* action, const void* handle, OfxPropertySetHandle in,
                    OfxPropertySetHandle) {
    const std::string what = action;
    if (what == kOfxActionLoad) {
        gProps = static_cast<const OfxPropertySuiteV1*>(
            gHost->fetchSuite(gHost->host, kOfxPropertySuite, 1));
        gEffects = static_cast<const OfxImageEffectSuiteV1*>(
            gHost->fetchSuite(gHost->host, kOfxImageEffectSuite, 1));
        gParams = static_cast<const OfxParameterSuiteV1*>(
            gHost->fetchSuite(gHost->host, kOfxParameterSuite, 1));
        return gProps && gEffects && gParams ? kOfxStatOK : kOfxStatErrMissingHostFeature;
    }
    auto effect = static_cast<OfxImageEffectHandle>(const_cast<void*>(handle));
    if (what == kOfxActionDescribe) {
        OfxPropertySetHandle props = nullptr;
        gEffects->getPropertySet(effect, &props);
        gProps->propSetString(props, kOfxImageEffectPropSupportedContexts, 0,
                              kOfxImageEffectContextFilter);
        if (gBehaviour.threadSafety != nullptr) {
            gProps->propSetString(props, kOfxImageEffectPluginRenderThreadSafety, 0,
                                  gBehaviour.threadSafety);
        }
        return kOfxStatOK;
    }
    if (what == kOfxImageEffectActionDescribeInContext) {
        OfxPropertySetHandle clip = nullptr;
        gEffects->clipDefine(effect, kOfxImageEffectSimpleSourceClipName, &clip);
        gEffects->clipDefine(effect, kOfxImageEffectOutputClipName, &clip);
        defineParams(effect);
        return kOfxStatOK;
    }
    if (what == kOfxActionDestroyInstance || what == kOfxActionUnload) {
        gSeen.push_back({what, "", "", gDepth});
        return kOfxStatOK;
    }
    ++gDepth;
    OfxStatus status = kOfxStatReplyDefault;
    if (what == kOfxActionInstanceChanged) {
        status = onChanged(handle, in);
    } else if (what == kOfxImageEffectActionRender) {
        status = onRender(handle, in);
    } else if (what == kOfxActionBeginInstanceChanged || what == kOfxActionEndInstanceChanged) {
        char* reason = nullptr;
        gProps->propGetString(in, kOfxPropChangeReason, 0, &reason);
        gSeen.push_back({what, "", reason, gDepth});
    }
    --gDepth;
    return status;
}

OfxPlugin gPlugin = {kOfxImageEffectPluginApi, 1, "org.halden.inprocess", 1, 0, setHost, mainEntry};

class InProcessPlugin : public ::testing::Test {
protected:
    InProcessPlugin() {
        // What an earlier test in this process asked of the plug-in does not carry over.
        gBehaviour = Behaviour{};
        gSeen.clear();
        instance = &plugin.createInstance(kOfxImageEffectContextFilter);
        gSeen.clear();
    }

    OfxParamHandle handle(const char* name) { return param(instance->handle(), name); }

    Host host{HostProfile::generic("org.halden.tests")};
    Plugin plugin{host, gPlugin, "/nowhere"};
    EffectInstance* instance = nullptr;
};

TEST_F(InProcessPlugin, VariadicValuesFollowTheParameterType) {
    double amount = 0.0;
    int count = 0;
    char* label = nullptr;
    double rgb[3] = {-1.0, -1.0, -1.0};
    EXPECT_EQ(gParams->paramGetValue(handle("amount"), &amount), kOfxStatOK);
    EXPECT_EQ(gParams->paramGetValue(handle("count"), &count), kOfxStatOK);
    EXPECT_EQ(gParams->paramGetValue(handle("label"), &label), kOfxStatOK);
    EXPECT_EQ(gParams->paramGetValue(handle("colour"), &rgb[0], &rgb[1], &rgb[2]), kOfxStatOK);
    EXPECT_DOUBLE_EQ(amount, 0.5);
    EXPECT_EQ(count, 3);
    EXPECT_STREQ(label, "start");
    EXPECT_DOUBLE_EQ(rgb[2], 0.0);

    EXPECT_EQ(gParams->paramSetValue(handle("label"), "changed"), kOfxStatOK);
    EXPECT_EQ(gParams->paramSetValue(handle("colour"), 0.1, 0.2, 0.3), kOfxStatOK);
    EXPECT_EQ(instance->value("label").text, "changed");
    EXPECT_EQ(instance->value("colour").numbers, (std::vector<double>{0.1, 0.2, 0.3}));
    EXPECT_EQ(gParams->paramGetValue(handle("button")), kOfxStatErrUnsupported);
}

TEST_F(InProcessPlugin, SettingAtTimesMakesKeysOnlyForAnimatingParameters) {
    gParams->paramSetValueAtTime(handle("amount"), 0.0, 0.0);
    gParams->paramSetValueAtTime(handle("amount"), 10.0, 1.0);
    unsigned int keys = 0;
    gParams->paramGetNumKeys(handle("amount"), &keys);
    EXPECT_EQ(keys, 2u);
    double value = 0.0;
    gParams->paramGetValueAtTime(handle("amount"), 2.5, &value);
    EXPECT_DOUBLE_EQ(value, 0.25);
    double slope = 0.0;
    double area = 0.0;
    gParams->paramGetDerivative(handle("amount"), 5.0, &slope);
    gParams->paramGetIntegral(handle("amount"), 0.0, 10.0, &area);
    EXPECT_DOUBLE_EQ(slope, 0.1);
    EXPECT_DOUBLE_EQ(area, 5.0);
    int index = 0;
    EXPECT_EQ(gParams->paramGetKeyIndex(handle("amount"), 5.0, 1, &index), kOfxStatOK);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(gParams->paramGetKeyIndex(handle("amount"), 5.0, 0, &index), kOfxStatFailed);
    EXPECT_EQ(index, -1);

    // Strings do not animate: the last value set holds everywhere.
    gParams->paramSetValueAtTime(handle("label"), 0.0, "early");
    gParams->paramSetValueAtTime(handle("label"), 10.0, "late");
    gParams->paramGetNumKeys(handle("label"), &keys);
    EXPECT_EQ(keys, 0u);
    EXPECT_EQ(instance->valueAt("label", 0.0).text, "late");
}

TEST_F(InProcessPlugin, ValuesAreClampedToTheDeclaredRange) {
    gParams->paramSetValue(handle("amount"), 7.0);
    EXPECT_DOUBLE_EQ(instance->value("amount").numbers.at(0), 1.0);
    instance->setValue("amount", ParamValue::of(-3.0));
    EXPECT_DOUBLE_EQ(instance->value("amount").numbers.at(0), 0.0);
}

TEST_F(InProcessPlugin, UserEditsAreBracketedByBeginAndEndInstanceChanged) {
    EXPECT_EQ(instance->setValueAtTime("count", 4.0, ParamValue::of(9.0)), kOfxStatOK);
    ASSERT_EQ(gSeen.size(), 3u);
    EXPECT_EQ(gSeen[0].action, kOfxActionBeginInstanceChanged);
    EXPECT_EQ(gSeen[1].action, kOfxActionInstanceChanged);
    EXPECT_EQ(gSeen[1].name, "count");
    EXPECT_EQ(gSeen[1].reason, kOfxChangeUserEdited);
    EXPECT_EQ(gSeen[2].action, kOfxActionEndInstanceChanged);
    const auto changes = host.recorder().instanceChanges();
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].time, 4.0);
    EXPECT_EQ(changes[0].type, kOfxTypeParameter);
}

TEST_F(InProcessPlugin, PluginEditsAreNotifiedAfterTheActionThatMadeThem) {
    instance->pressButton("button");
    std::vector<std::string> changed;
    for (const auto& seen : gSeen) {
        if (seen.action == kOfxActionInstanceChanged) {
            changed.push_back(seen.name + ":" + seen.reason);
        }
        // Never re-entered: each notification waits for the previous action to return.
        EXPECT_EQ(seen.depth, 1) << seen.action << " " << seen.name;
    }
    EXPECT_EQ(changed, (std::vector<std::string>{"button:" kOfxChangeUserEdited,
                                                 "amount:" kOfxChangePluginEdited,
                                                 "count:" kOfxChangePluginEdited}));
    EXPECT_DOUBLE_EQ(instance->value("amount").numbers.at(0), 0.25);
    EXPECT_DOUBLE_EQ(instance->value("count").numbers.at(0), 7.0);

    const auto values = host.recorder().valueChanges();
    ASSERT_EQ(values.size(), 2u);
    EXPECT_TRUE(values[0].byPlugin);
    EXPECT_EQ(values[0].param, "amount");
    EXPECT_EQ(values[1].param, "count");
}

TEST_F(InProcessPlugin, DescriptorsKeepWhatThePluginDeclaredInOrder) {
    const auto& params = plugin.contextDescriptor(kOfxImageEffectContextFilter).params().params();
    std::vector<std::string> names;
    for (const auto& each : params) {
        names.push_back(each->name());
    }
    EXPECT_EQ(names, (std::vector<std::string>{"amount", "count", "label", "colour", "button"}));
    EXPECT_TRUE(params[0]->properties().property(kOfxParamPropMax).setByPlugin());
    EXPECT_FALSE(params[0]->properties().property(kOfxParamPropDigits).setByPlugin());
}

template <class Suite>
const Suite* fetchSuite(const char* name, int version) {
    return static_cast<const Suite*>(gHost->fetchSuite(gHost->host, name, version));
}

TEST_F(InProcessPlugin, ProgressTimelineAndAbortAnswerForTheInstance) {
    void* effect = instance->handle();
    auto progress = fetchSuite<OfxProgressSuiteV2>(kOfxProgressSuite, 2);
    EXPECT_EQ(progress->progressStart(effect, "Baking", "bake"), kOfxStatOK);
    EXPECT_EQ(progress->progressUpdate(effect, 0.5), kOfxStatOK);
    instance->requestAbort(true);
    // The host's cancel reaches the plug-in through both channels.
    EXPECT_EQ(progress->progressUpdate(effect, 0.75), kOfxStatReplyNo);
    EXPECT_EQ(gEffects->abort(instance->handle()), 1);
    EXPECT_EQ(progress->progressEnd(effect), kOfxStatOK);
    const auto events = host.recorder().progress();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].label, "Baking");
    EXPECT_EQ(events[2].progress, 0.75);

    auto timeline = fetchSuite<OfxTimeLineSuiteV1>(kOfxTimeLineSuite, 1);
    double time = -1.0;
    EXPECT_EQ(timeline->gotoTime(effect, 12.0), kOfxStatOK);
    EXPECT_EQ(timeline->getTime(effect, &time), kOfxStatOK);
    EXPECT_EQ(time, 12.0);
    double first = -1.0;
    double last = -1.0;
    EXPECT_EQ(timeline->getTimeBounds(effect, &first, &last), kOfxStatOK);
    EXPECT_EQ(first, instance->project().firstFrame);
    EXPECT_EQ(last, instance->project().lastFrame);
    // "Now" for values set without a time follows the timeline.
    instance->setValueAtTime("amount", 0.0, ParamValue::of(0.0));
    instance->setValueAtTime("amount", 20.0, ParamValue::of(1.0));
    double amount = 0.0;
    gParams->paramGetValue(handle("amount"), &amount);
    EXPECT_DOUBLE_EQ(amount, 0.6);
}

TEST_F(InProcessPlugin, MemoryComesAlignedAndLocksNest) {
    auto memory = fetchSuite<OfxMemorySuiteV1>(kOfxMemorySuite, 1);
    void* block = nullptr;
    ASSERT_EQ(memory->memoryAlloc(instance->handle(), 100, &block), kOfxStatOK);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % 16, 0u);
    EXPECT_EQ(ofxhost::liveMemoryBlocks(), 1);
    EXPECT_EQ(memory->memoryFree(block), kOfxStatOK);
    EXPECT_EQ(memory->memoryFree(block), kOfxStatErrBadHandle) << "freed twice";
    EXPECT_EQ(ofxhost::liveMemoryBlocks(), 0);

    OfxImageMemoryHandle image = nullptr;
    ASSERT_EQ(gEffects->imageMemoryAlloc(nullptr, 64, &image), kOfxStatOK);
    void* first = nullptr;
    void* second = nullptr;
    EXPECT_EQ(gEffects->imageMemoryLock(image, &first), kOfxStatOK);
    EXPECT_EQ(gEffects->imageMemoryLock(image, &second), kOfxStatOK);
    EXPECT_EQ(first, second);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(first) % 16, 0u);
    EXPECT_EQ(gEffects->imageMemoryUnlock(image), kOfxStatOK);
    EXPECT_EQ(gEffects->imageMemoryUnlock(image), kOfxStatOK);
    EXPECT_EQ(gEffects->imageMemoryUnlock(image), kOfxStatErrValue);
    EXPECT_EQ(gEffects->imageMemoryFree(image), kOfxStatOK);
    EXPECT_EQ(gEffects->imageMemoryFree(image), kOfxStatErrBadHandle) << "freed twice";
}

TEST_F(InProcessPlugin, PersistentMessagesAreSetAndClearedOnTheInstance) {
    auto messages = fetchSuite<OfxMessageSuiteV2>(kOfxMessageSuite, 2);
    EXPECT_EQ(messages->setPersistentMessage(instance->handle(), kOfxMessageError, "e1",
                                             "missing %s in %d frames", "input", 3),
              kOfxStatOK);
    ASSERT_TRUE(instance->persistentMessage().has_value());
    EXPECT_EQ(instance->persistentMessage()->text, "missing input in 3 frames");
    EXPECT_EQ(messages->clearPersistentMessage(instance->handle()), kOfxStatOK);
    EXPECT_FALSE(instance->persistentMessage().has_value());
    // Persistent messages belong to instances; questions get no from a headless host.
    auto descriptor = plugin.descriptor().handle();
    EXPECT_EQ(messages->setPersistentMessage(descriptor, kOfxMessageError, "", "x"),
              kOfxStatErrBadHandle);
    EXPECT_EQ(messages->message(nullptr, kOfxMessageQuestion, "q", "Continue?"), kOfxStatReplyNo);
    EXPECT_EQ(host.recorder().messages().back().text, "Continue?");
}

TEST_F(InProcessPlugin, ContextsThePluginDoesNotListAreNeverDescribed) {
    EXPECT_EQ(plugin.describeInContext(kOfxImageEffectContextGeneral), kOfxStatErrUnsupported);
    EXPECT_THROW(plugin.createInstance(kOfxImageEffectContextGeneral), ofxhost::HostError);
    EXPECT_EQ(plugin.instances().size(), 1u) << "only the fixture's instance";
}

TEST(InProcessPluginLifetime, InstancesAreDestroyedBeforeThePluginUnloads) {
    Host host(HostProfile::generic("org.halden.tests"));
    {
        Plugin plugin(host, gPlugin, "/nowhere");
        plugin.createInstance(kOfxImageEffectContextFilter);
        plugin.createInstance(kOfxImageEffectContextFilter);
        gSeen.clear();
    }
    std::vector<std::string> actions;
    for (const auto& seen : gSeen) {
        actions.push_back(seen.action);
    }
    EXPECT_EQ(actions, (std::vector<std::string>{kOfxActionDestroyInstance,
                                                 kOfxActionDestroyInstance, kOfxActionUnload}));
}

// The least forgiving host: breaches of the OFX rules are recorded, here and process-wide.
class StrictHost : public ::testing::Test {
protected:
    StrictHost() {
        gBehaviour = Behaviour{};
        gBehaviour.threadSafety = kOfxImageEffectRenderInstanceSafe;
        Host::clearProcessViolations();
    }

    EffectInstance& instance() { return plugin.createInstance(kOfxImageEffectContextFilter); }

    static std::vector<std::string> lines(const std::vector<ofxhost::Violation>& violations) {
        std::vector<std::string> result;
        for (const auto& violation : violations) {
            result.push_back(violation.action + ": " + violation.description);
        }
        return result;
    }

    Host host{HostProfile::forName("strict")};
    Plugin plugin{host, gPlugin, "/nowhere"};
};

TEST_F(StrictHost, AWriteFromRenderIsRecordedAndNotifiedInsideRender) {
    EffectInstance& effect = instance();
    gSeen.clear();
    gBehaviour.writeInRender = true;
    RenderArgs args;
    args.cudaEnabled = true;
    EXPECT_EQ(effect.render(args), kOfxStatOK);
    // Still written, and told before render returned; the write the plug-in then makes in
    // instance-changed is allowed and nests one level deeper.
    EXPECT_DOUBLE_EQ(effect.value("amount").numbers.at(0), 0.75);
    std::vector<std::string> heard;
    for (const auto& seen : gSeen) {
        heard.push_back(seen.action + ":" + seen.name + ":" + seen.reason + "@" +
                        std::to_string(seen.depth));
    }
    const std::string begin = kOfxActionBeginInstanceChanged "::" kOfxChangePluginEdited "@";
    const std::string changed = kOfxActionInstanceChanged ":";
    const std::string end = kOfxActionEndInstanceChanged "::" kOfxChangePluginEdited "@";
    EXPECT_EQ(heard, (std::vector<std::string>{
                         begin + "2", changed + "amount:" kOfxChangePluginEdited "@2", begin + "3",
                         changed + "count:" kOfxChangePluginEdited "@3", end + "3", end + "2"}));
    EXPECT_EQ(lines(host.violations()),
              (std::vector<std::string>{"render: parameter 'amount' written"}));
    EXPECT_EQ(lines(Host::processViolations()), lines(host.violations()));
    // The host without GPU rendering gives no CUDA arguments, whatever the render asked for.
    EXPECT_EQ(gCudaEnabledStatus, kOfxStatErrUnknown);
}

TEST_F(StrictHost, EditBlocksMustBalanceAndRenderThreadSafetyMustBeDeclared) {
    EffectInstance& effect = instance();
    gBehaviour.leaveEditBlockOpen = true;
    effect.render(RenderArgs{});
    EXPECT_EQ(effect.params().editDepth(), 0) << "the host closes what render left open";
    OfxParamSetHandle set = nullptr;
    gEffects->getParamSet(effect.handle(), &set);
    EXPECT_EQ(gParams->paramEditEnd(set), kOfxStatFailed);
    gParams->paramEditBegin(set, "outer");
    gParams->paramEditBegin(set, "inner");
    gParams->paramEditEnd(set);
    gParams->paramEditEnd(set);

    gBehaviour.threadSafety = nullptr;
    Plugin undeclared(host, gPlugin, "/nowhere");
    EXPECT_EQ(undeclared.describe(), kOfxStatOK);
    EXPECT_EQ(
        lines(host.violations()),
        (std::vector<std::string>{
            "render: edit block 'drag' left open", "no action: edit block ended without a begin",
            "no action: edit block 'inner' begun inside another",
            "describe: render thread safety (" kOfxImageEffectPluginRenderThreadSafety
            ") not declared"}));
}

TEST_F(StrictHost, InstanceSafeRendersOfOneInstanceAreSerialisedWhileInstancesRunSideBySide) {
    gBehaviour.awaitRenders = 2;
    EffectInstance& first = instance();
    EffectInstance& second = instance();
    auto mostAtOnce = [](EffectInstance& one, EffectInstance& other) {
        gMostRendering = 0;
        std::thread thread([&] { one.render(RenderArgs{}); });
        other.render(RenderArgs{});
        thread.join();
        return gMostRendering.load();
    };
    EXPECT_EQ(mostAtOnce(first, first), 1);
    EXPECT_EQ(mostAtOnce(first, second), 2);
    EXPECT_TRUE(host.violations().empty());
}

} // namespace
