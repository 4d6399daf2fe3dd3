// halden-render's options as it reads them (every host switch reaches the host profile,
// anything else is a usage error), the names of the frames it writes and the proxy images it
// makes: no plug-in needed.

#include "host/cli/CommandLine.h"
#include "host/cli/FrameFileName.h"
#include "host/cli/RenderCommand.h"
#include "host/cli/RgbaImage.h"

#include "ofx/ofxImageEffect.h"

#include <gtest/gtest.h>

namespace {

using ofxhost::CliOptions;
using ofxhost::CommandLine;
using ofxhost::FrameFileName;
using ofxhost::RenderCommand;
using ofxhost::RgbaImage;
using ofxhost::UsageError;

TEST(RenderOptions, RenderingIsWhatItDoesWithoutDescribe) {
    const CliOptions options = CommandLine::parse({});
    EXPECT_EQ(options.command, CliOptions::Command::Render);
    EXPECT_FALSE(options.input) << "the demo scene";
    EXPECT_EQ(options.demoSize, std::make_pair(960, 540));
    EXPECT_EQ(options.output, "halden-render.png");
    EXPECT_EQ(options.firstFrame, 0);
    EXPECT_EQ(options.lastFrame, 0);
    EXPECT_EQ(options.renderScale, 1.0);
}

TEST(RenderOptions, ReadsTheDescribeOptionsInBothSpellings) {
    const CliOptions options = CommandLine::parse(
        {"--describe", "--bundle", "/tmp/x.ofx.bundle", "--host=nuke", "--context", "general"});
    EXPECT_EQ(options.command, CliOptions::Command::Describe);
    EXPECT_EQ(options.bundle, "/tmp/x.ofx.bundle");
    EXPECT_EQ(options.host, "nuke");
    EXPECT_EQ(options.context, kOfxImageEffectContextGeneral);
    EXPECT_EQ(CommandLine::profile(options).name, "uk.co.thefoundry.nuke");
    // OFX context names are taken as well.
    EXPECT_EQ(CommandLine::contextName(kOfxImageEffectContextFilter), kOfxImageEffectContextFilter);
    EXPECT_EQ(CommandLine::contextName("transition"), kOfxImageEffectContextTransition);
}

TEST(RenderOptions, HostSwitchesOverrideThePreset) {
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
    // Any other host name is a generic host.
    const auto other = CommandLine::profile(CommandLine::parse({"--host", "com.example.app"}));
    EXPECT_EQ(other.name, "com.example.app");
    EXPECT_FALSE(other.cudaRender);
}

TEST(RenderOptions, ReadsEveryRenderingOption) {
    const CliOptions options =
        CommandLine::parse({"-i", "in.exr", "--kernel-map=k.png", "--output", "out.####.exr",
                            "--set", "blur_radius=12", "--set=optical_center=0.2,0.1", "--press",
                            "save_preset", "--frames", "-2-3", "--render-scale", "0.25",
                            "--backend", "cuda", "--device-memory", "--size", "320x180"});
    EXPECT_EQ(options.input, "in.exr");
    EXPECT_EQ(options.kernelMap, "k.png");
    EXPECT_EQ(options.output, "out.####.exr");
    ASSERT_EQ(options.assignments.size(), 2u);
    EXPECT_EQ(options.assignments[0].name, "blur_radius");
    EXPECT_EQ(options.assignments[1].name, "optical_center");
    EXPECT_EQ(options.assignments[1].value, "0.2,0.1") << "split at the first '=' only";
    EXPECT_EQ(options.presses, std::vector<std::string>{"save_preset"});
    EXPECT_EQ(options.firstFrame, -2);
    EXPECT_EQ(options.lastFrame, 3);
    EXPECT_TRUE(options.frameSequence);
    EXPECT_EQ(options.renderScale, 0.25);
    EXPECT_EQ(options.backend, "cuda");
    EXPECT_TRUE(options.deviceMemory);
    EXPECT_EQ(options.demoSize, std::make_pair(320, 180));
}

TEST(RenderOptions, RefusesWhatItDoesNotUnderstandAndValuesThatCannotWork) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--bundle"},
                                               {"--context", "sideways"},
                                               {"--overlays", "maybe"},
                                               {"--max-pages", "3x"},
                                               {"--page-layout", "3"},
                                               {"--describe=yes"},
                                               {"input.exr"},
                                               {"--frames", "4"},
                                               {"--frame", "x"},
                                               {"--size", "0x10"},
                                               {"--size", "640"},
                                               {"--render-scale", "0"},
                                               {"--render-scale", "1.5"},
                                               {"--max-side", "0"},
                                               {"--max-memory", "-1"},
                                               {"--max-memory", "nan"},
                                               {"--backend", "metal"},
                                               {"--set", "blur_radius"},
                                               {"--set", "=3"},
                                               {"-o", ""},
                                               {"--device-memory", "--cuda", "off"},
                                               {"--device-memory=yes"}}) {
        EXPECT_THROW(CommandLine::parse(args), UsageError) << args[0];
    }
    try {
        CommandLine::parse({"--frobnicate"});
        ADD_FAILURE() << "an unknown option was accepted";
    } catch (const UsageError& error) {
        EXPECT_EQ(std::string(error.what()), "unknown option '--frobnicate'");
    }
}

TEST(RenderOptions, OverlaysIsTheHostSwitchOrGivenAJsonFileTheDrawCallsFile) {
    const CliOptions options = CommandLine::parse(
        {"--overlays", "off", "--overlays", "calls.JSON", "--overlay-image", "seen.png"});
    EXPECT_EQ(options.overlays, false);
    EXPECT_EQ(options.overlaysJson, "calls.JSON");
    EXPECT_EQ(options.overlayImage, "seen.png");
    EXPECT_FALSE(CommandLine::parse({}).overlaysJson);
    EXPECT_THROW(CommandLine::parse({"--overlays", "calls.txt"}), UsageError);
    EXPECT_THROW(CommandLine::parse({"--overlay-image", ""}), UsageError);
}

TEST(RenderOptions, TheHelpNamesEveryOption) {
    const std::string help = CommandLine::usage();
    for (const char* option :
         {"--input", "--kernel-map", "--output", "--size", "--set", "--press", "--frame ",
          "--frames", "--render-scale", "--backend", "--device-memory", "--bundle", "--host",
          "--context", "--describe", "--help", "--overlays FILE.json", "--overlay-image"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
}

TEST(FrameFileName, HashRunsBecomeTheZeroPaddedFrameAndOtherwiseANumberBeforeTheExtension) {
    EXPECT_EQ(FrameFileName::forFrame("out.####.exr", 7, true), "out.0007.exr");
    EXPECT_EQ(FrameFileName::forFrame("a#_b##.png", 3, false), "a3_b03.png");
    EXPECT_EQ(FrameFileName::forFrame("out.##.exr", 12345, true), "out.12345.exr");
    EXPECT_EQ(FrameFileName::forFrame("out.###.exr", -4, true), "out.-004.exr");
    EXPECT_EQ(FrameFileName::forFrame("take#2/out.#.exr", 5, true), "take#2/out.5.exr")
        << "folders are left alone";
    EXPECT_EQ(FrameFileName::forFrame("renders/out.exr", 12, true), "renders/out.12.exr");
    EXPECT_EQ(FrameFileName::forFrame("renders/out.exr", 12, false), "renders/out.exr");
}

TEST(ProxyImages, HaveTheScaledSizeRoundedUp) {
    EXPECT_EQ(RenderCommand::scaledSize(960, 0.5), 480);
    EXPECT_EQ(RenderCommand::scaledSize(961, 0.5), 481);
    EXPECT_EQ(RenderCommand::scaledSize(1000, 0.3), 300);
    EXPECT_EQ(RenderCommand::scaledSize(3, 0.1), 1);
}

TEST(ProxyImages, AveragePixelsByTheAreaTheyCover) {
    RgbaImage image(4, 2);
    const float values[4] = {0.0f, 1.0f, 2.0f, 5.0f};
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x) {
            std::fill(image.pixel(x, y), image.pixel(x, y) + 4, values[x] * (y + 1));
        }
    }
    const RgbaImage half = image.resized(2, 1);
    EXPECT_FLOAT_EQ(half.pixel(0, 0)[0], (0.0f + 1.0f + 0.0f + 2.0f) / 4.0f);
    EXPECT_FLOAT_EQ(half.pixel(1, 0)[3], (2.0f + 5.0f + 4.0f + 10.0f) / 4.0f);
    const RgbaImage third = image.resized(3, 2);
    // Each new column covers 4/3 old ones: the first is all of column 0 and a third of 1.
    EXPECT_FLOAT_EQ(third.pixel(0, 0)[0], (0.0f + 1.0f / 3.0f) / (4.0f / 3.0f));
}

TEST(ErrorLines, BytesFromFilesCannotDriveTheTerminal) {
    using ofxhost::printableLine;
    EXPECT_EQ(printableLine("chunk \x1b[2J\x07 in\nline\ttwo\x7f"),
              "chunk \\x1b[2J\\x07 in line two\\x7f");
    // UTF-8 stays; stray bytes, truncated sequences and C1 controls (CSI is U+009B) do not.
    EXPECT_EQ(printableLine("Jos\xc3\xa9 \xe2\x82\xac"), "Jos\xc3\xa9 \xe2\x82\xac");
    EXPECT_EQ(printableLine("\xff\xc3 \xc2\x9b"
                            "2J \xe2\x82"),
              "\\xff\\xc3 \\xc2\\x9b2J \\xe2\\x82");
}

} // namespace
