// The message suite and plug-in edits: pressing "reset" makes the plug-in set gain back to 1
// and post a message; both reach the host. The host's ordering of notifications is tested in
// tests/host with a plug-in of its own.

#include "TestPluginSession.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using ofxhost::EffectInstance;
using ofxhost::MessageRecord;
using ofxhost::ParamValue;
using teste2e::TestPluginSession;

TEST(Messages, PressingResetPostsAMessageAndResetsGain) {
    TestPluginSession session;
    EffectInstance& instance = session.instance();
    instance.setValue("gain", ParamValue::of(3.0));
    session.host.recorder().clear();

    EXPECT_EQ(instance.pressButton("reset"), kOfxStatOK);

    const auto messages = session.host.recorder().messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].kind, MessageRecord::Kind::Message);
    EXPECT_EQ(messages[0].type, kOfxMessageMessage);
    EXPECT_EQ(messages[0].id, "reset");
    EXPECT_EQ(messages[0].text, "Gain reset");
    EXPECT_EQ(messages[0].effect, instance.handle());

    EXPECT_EQ(instance.value("gain").numbers, (std::vector<double>{1.0}));
    const auto values = session.host.recorder().valueChanges();
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].param, "gain");
    EXPECT_TRUE(values[0].byPlugin);
    EXPECT_EQ(values[0].value.numbers, (std::vector<double>{1.0}));

    // The plug-in's own edit is notified back, after the press, as plug-in edited.
    std::vector<std::string> changes;
    for (const auto& change : session.host.recorder().instanceChanges()) {
        changes.push_back(change.name + ":" + change.reason);
        EXPECT_EQ(change.type, kOfxTypeParameter);
        EXPECT_EQ(change.status == kOfxStatOK || change.status == kOfxStatReplyDefault, true);
    }
    EXPECT_EQ(changes, (std::vector<std::string>{"reset:" kOfxChangeUserEdited,
                                                 "gain:" kOfxChangePluginEdited}));
}

} // namespace
