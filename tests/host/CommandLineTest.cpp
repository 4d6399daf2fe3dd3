// halden-render's option parsing: every switch reaches the host profile; anything else is a
// one-line usage error.

#include "host/cli/CommandLine.h"

#include "ofx/ofxImageEffect.h"

#include <gtest/gtest.h>

namespace {

using ofxhost::CliOptions;
using ofxhost::CommandLine;
using ofxhost::UsageError;

TEST(CommandLine, ReadsTheDescribeOptionsInBothSpellings) {
    const CliOptions options = CommandLine::parse(
        {"--describe", "--bundle", "/tmp/x.ofx.bundle", "--host=nuke", "--context", "general"});
    EXPECT_EQ(options.command, CliOptions::Command::Describe);
    EXPECT_EQ(options.bundle, "/tmp/x.ofx.bundle");
    EXPECT_EQ(options.host, "nuke");
    EXPECT_EQ(options.context, kOfxImageEffectContextGeneral);
    EXPECT_EQ(CommandLine::profile(options).name, "uk.co.thefoundry.nuke");
}

TEST(CommandLine, HostSwitchesOverrideThePreset) {
    const CliOptions options = CommandLine::parse(
        {"--describe", "--host", "resolve", "--overlays", "off", "--draw-suite=off", "--max-pages",
         "3", "--page-layout", "2x7", "--cuda", "off", "--cuda-stream", "off", "--multithread",
         "off", "--threads", "4"});
    const auto profile = CommandLine::profile(options);
    EXPECT_EQ(profile.name, "DaVinciResolve");
    EXPECT_FALSE(profile.supportsOverlays);
    EXPECT_FALSE(profile.drawSuite);
    EXPECT_EQ(profile.maxPages, 3);
    EXPECT_EQ(profile.pageColumns, 2);
    EXPECT_EQ(profile.pageRows, 7);
    EXPECT_FALSE(profile.cudaRender);
    EXPECT_FALSE(profile.cudaStream);
    EXPECT_FALSE(profile.multiThreading);
    EXPECT_EQ(profile.threadCount, 4u);
}

TEST(CommandLine, AnyOtherHostNameIsAGenericHost) {
    const auto profile = CommandLine::profile(CommandLine::parse({"--host", "com.example.app"}));
    EXPECT_EQ(profile.name, "com.example.app");
    EXPECT_FALSE(profile.cudaRender);
}

TEST(CommandLine, RejectsWhatItDoesNotUnderstand) {
    EXPECT_THROW(CommandLine::parse({"--describe", "--frobnicate"}), UsageError);
    EXPECT_THROW(CommandLine::parse({"--bundle"}), UsageError);
    EXPECT_THROW(CommandLine::parse({"--context", "sideways"}), UsageError);
    EXPECT_THROW(CommandLine::parse({"--overlays", "maybe"}), UsageError);
    EXPECT_THROW(CommandLine::parse({"--max-pages", "3x"}), UsageError);
    EXPECT_THROW(CommandLine::parse({"--page-layout", "3"}), UsageError);
    EXPECT_THROW(CommandLine::parse({"--describe=yes"}), UsageError);
    EXPECT_THROW(CommandLine::parse({"input.exr"}), UsageError);
    try {
        CommandLine::parse({"--frobnicate"});
    } catch (const UsageError& error) {
        EXPECT_EQ(std::string(error.what()), "unknown option '--frobnicate'");
    }
}

TEST(CommandLine, AcceptsOfxContextNamesAsWell) {
    EXPECT_EQ(CommandLine::contextName(kOfxImageEffectContextFilter), kOfxImageEffectContextFilter);
    EXPECT_EQ(CommandLine::contextName("transition"), kOfxImageEffectContextTransition);
}

} // namespace
