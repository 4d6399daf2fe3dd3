// OFX::PropertySet's error model against the fake host's property suite.

#include "FakeHost.h"

#include "ofx/support/Exception.h"
#include "ofx/support/HostSuites.h"
#include "ofx/support/PropertySet.h"

#include <gtest/gtest.h>

using fakehost::FakeHost;
using fakehost::PropertyBag;

namespace {

class PropertySetErrors : public testing::Test {
protected:
    void SetUp() override {
        OFX::suites().fetch(host.host());
        bag.values["Size"] = {3, 4};
    }
    void TearDown() override { OFX::suites().fetch(nullptr); }

    OfxStatus statusOf(void (*call)(const OFX::PropertySet&), const OFX::PropertySet& props) {
        try {
            call(props);
        } catch (const OFX::Exception& e) {
            return e.status();
        }
        return kOfxStatOK;
    }

    FakeHost host;
    PropertyBag bag;
};

} // namespace

TEST_F(PropertySetErrors, AFailedCallThrowsWithTheHostsStatus) {
    const OFX::PropertySet props(bag.handle());
    EXPECT_EQ(statusOf([](const OFX::PropertySet& p) { p.getInt("Unheard"); }, props),
              kOfxStatErrUnknown);
    EXPECT_EQ(statusOf([](const OFX::PropertySet& p) { p.getInt("Size", 2); }, props),
              kOfxStatErrBadIndex);
    EXPECT_EQ(statusOf([](const OFX::PropertySet& p) { p.getDouble("Size"); }, props),
              kOfxStatErrValue);
    EXPECT_EQ(props.getIntN("Size"), (std::vector<int>{3, 4}));
}

TEST_F(PropertySetErrors, WithoutThrowingAFailedGetGivesZeroAndTheStatusStaysAvailable) {
    const OFX::PropertySet props(bag.handle(), false);
    EXPECT_EQ(props.getInt("Unheard"), 0);
    EXPECT_EQ(props.getString("Unheard"), "");
    EXPECT_EQ(props.getPointer("Unheard"), nullptr);
    int value = 42;
    EXPECT_EQ(props.tryGetInt("Unheard", value), kOfxStatErrUnknown);
    EXPECT_EQ(value, 42) << "a failed get leaves the caller's value alone";
}

TEST_F(PropertySetErrors, WithoutAHostEveryCallIsAMissingFeatureNotACrash) {
    OFX::suites().fetch(nullptr);
    const OFX::PropertySet props(bag.handle());
    EXPECT_EQ(statusOf([](const OFX::PropertySet& p) { p.setInt("Size", 1); }, props),
              kOfxStatErrMissingHostFeature);
    const OFX::PropertySet nothing(nullptr);
    OFX::suites().fetch(host.host());
    EXPECT_EQ(statusOf([](const OFX::PropertySet& p) { p.getInt("Size"); }, nothing),
              kOfxStatErrBadHandle);
}
