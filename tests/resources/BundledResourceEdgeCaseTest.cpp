#include "resources/BundledResourceSet.h"

#include "gpu/DeviceCompat.h"

#include "LogCapture.h"
#include "ResourceFixtures.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

// How loading copes with unusual definitions and with failures: nothing stops the render,
// nothing leaks, and the records that remain are in definition order.

namespace {

using gpu::HostRuntime;
using resources::BundledResourceSet;
using resources::EMBEDDED_RESOURCES;
using resources::EmbeddedResource;
using resourcetest::namesOf;
using resourcetest::texture;

TEST(BundledResourceEdgeCases, NoDeclaredTexturesLoadNothingButCountAsLoaded) {
    testenv::LogCapture log(Logger::DEBUG_LEVEL);
    HostRuntime runtime;
    BundledResourceSet set;
    EXPECT_TRUE(set.loadBundledResources({}, runtime));
    EXPECT_TRUE(set.loaded());
    EXPECT_TRUE(set.records().empty());
    EXPECT_TRUE(log.contains("[DEBUG] No bundled resources to load"));
    EXPECT_TRUE(runtime.liveCounts().empty());
}

TEST(BundledResourceEdgeCases, LookupKeyIsTheFileNameCutAtItsLastDotInItsExactCase) {
    // A row whose name has a dot of its own, holding the branches_thin file.
    const EmbeddedResource rows[] = {
        EMBEDDED_RESOURCES[0],
        {"thin.v2", EMBEDDED_RESOURCES[1].data, EMBEDDED_RESOURCES[1].size, 512, 512, 3}};
    testenv::LogCapture log(Logger::DEBUG_LEVEL);
    HostRuntime runtime;
    BundledResourceSet set(rows, 2);
    set.loadBundledResources({texture("two dots", "thin.v2.exr"),
                              texture("no dot", "branches_dense"),
                              texture("extension kept", "branches_dense.exr.bak"),
                              texture("other case", "Branches_Dense.exr")},
                             runtime);
    EXPECT_EQ(namesOf(set.records()), (std::vector<std::string>{"two dots", "no dot"}));
    EXPECT_TRUE(log.contains("[DEBUG] [loadBundledResources] Lookup key='thin.v2'"));
    EXPECT_TRUE(log.contains("[DEBUG] [loadBundledResources] Lookup key='branches_dense'"));
    EXPECT_TRUE(log.contains("[ERROR] Bundled resource 'extension kept' (file: "
                             "branches_dense.exr.bak, lookup: branches_dense.exr) not found in "
                             "embedded data"));
    // Names match only in their exact case.
    EXPECT_TRUE(log.contains("[ERROR] Bundled resource 'other case' (file: Branches_Dense.exr, "
                             "lookup: Branches_Dense) not found in embedded data"));
    EXPECT_TRUE(log.contains("[INFO] Loaded 2/4 bundled resources successfully"));
}

// "nearest" alone selects point sampling; "repeat" and "mirror" alone select those wraps, and
// the textures sample accordingly.
TEST(BundledResourceEdgeCases, SamplerAndWrapTextsSelectFilteringAndAddressing) {
    HostRuntime runtime;
    BundledResourceSet set;
    set.loadBundledResources({texture("nearest repeat", "grass_dense.exr", "nearest", "repeat"),
                              texture("linear mirror", "grass_dense.exr", "linear", "mirror"),
                              texture("other clamp", "grass_dense.exr", "cubic", "clamp"),
                              texture("case", "grass_dense.exr", "Nearest", "Mirror"),
                              texture("border", "grass_dense.exr", "", "border")},
                             runtime);
    const auto& r = set.records();
    ASSERT_EQ(r.size(), 5u);
    const int expected[5][2] = {{1, 1}, {0, 2}, {0, 0}, {0, 0}, {0, 0}};
    for (std::size_t i = 0; i < r.size(); ++i) {
        EXPECT_EQ(r[i].samplerMode, expected[i][0]) << r[i].name;
        EXPECT_EQ(r[i].wrapMode, expected[i][1]) << r[i].name;
    }

    // A row near the bottom, where the grass has edges: u outside [0, 1] wraps, mirrors or
    // clamps, and point sampling returns one texel where linear filtering blends two.
    const float v = 480.5f / 512.0f;
    auto red = [v](const resources::LoadedResource& rec, float u) {
        return gpu::texFetch(rec.textureObject, u, v).x;
    };
    bool blends = false;
    for (int x = 1; x < 511; ++x) {
        const float u = (x + 0.25f) / 512.0f;
        EXPECT_EQ(red(r[0], u + 1.0f), red(r[0], u));
        EXPECT_EQ(red(r[1], -u), red(r[1], u));
        EXPECT_EQ(red(r[2], -u), red(r[2], 0.0f));
        const float texel = red(r[0], (x + 0.5f) / 512.0f);
        const float next = red(r[0], (x + 1.5f) / 512.0f);
        EXPECT_EQ(red(r[0], (x + 0.9f) / 512.0f), texel);
        if (texel != next && red(r[1], (x + 1.0f) / 512.0f) != texel) {
            blends = true;
        }
    }
    EXPECT_TRUE(blends);
}

struct InjectedFailure {
    const char* name;
    HostRuntime::Operation operation;
    const char* message;
};

void PrintTo(const InjectedFailure& failure, std::ostream* out) {
    *out << failure.name;
}

class OneFailedUpload : public ::testing::TestWithParam<InjectedFailure> {};

// The third of five textures fails: the others load, in order, and nothing of the failed one
// stays allocated. A later render does not try it again.
TEST_P(OneFailedUpload, LeavesFourRecordsAndNothingAllocatedForTheFailedOne) {
    testenv::LogCapture log(Logger::DEBUG_LEVEL);
    HostRuntime runtime;
    runtime.injectFailure(GetParam().operation, 3, gpu::Error::MemoryAllocation);
    BundledResourceSet set;
    EXPECT_TRUE(set.loadBundledResources(resourcetest::shippedDefinitions(), runtime));

    EXPECT_EQ(namesOf(set.records()),
              (std::vector<std::string>{"branches_dense", "branches_thin", "grass_sparse_1",
                                        "grass_sparse_2"}));
    EXPECT_TRUE(log.contains(std::string("[ERROR] ") + GetParam().message +
                             " for 'grass_dense': out of memory"));
    EXPECT_TRUE(log.contains("[INFO] Loaded 4/5 bundled resources successfully"));
    EXPECT_EQ(runtime.liveCounts().arrays, 4u);
    EXPECT_EQ(runtime.liveCounts().textures, 4u);

    kernels::BundledResources block{};
    set.fill(block);
    EXPECT_EQ(block.resourceCount, 4);
    EXPECT_STREQ(block.resources[2].name, "grass_sparse_1");

    EXPECT_TRUE(set.loadBundledResources(resourcetest::shippedDefinitions(), runtime));
    EXPECT_EQ(set.records().size(), 4u);
    set.release();
    EXPECT_TRUE(runtime.liveCounts().empty());
}

INSTANTIATE_TEST_SUITE_P(
    BundledResourceEdgeCases, OneFailedUpload,
    ::testing::Values(InjectedFailure{"MallocArray", HostRuntime::Operation::MallocArray,
                                      "Failed to allocate CUDA array"},
                      InjectedFailure{"Memcpy2DToArray", HostRuntime::Operation::Memcpy2DToArray,
                                      "Failed to copy data to CUDA array"},
                      InjectedFailure{"CreateTextureObject",
                                      HostRuntime::Operation::CreateTextureObject,
                                      "Failed to create CUDA texture object"}),
    [](const ::testing::TestParamInfo<InjectedFailure>& failure) { return failure.param.name; });

TEST(BundledResourceEdgeCases, UndecodableFilesAreSkippedWithTheDecodersMessage) {
    static const unsigned char notExr[] = "plain text, not an image";
    const EmbeddedResource rows[] = {{"text", notExr, sizeof notExr, 512, 512, 3},
                                     // The header of a real file without its pixels.
                                     {"cut", EMBEDDED_RESOURCES[2].data, 2000, 512, 512, 3},
                                     EMBEDDED_RESOURCES[3]};
    testenv::LogCapture log;
    HostRuntime runtime;
    BundledResourceSet set(rows, 3);
    EXPECT_TRUE(set.loadBundledResources({texture("text", "text.exr"), texture("cut", "cut.exr"),
                                          texture("sparse", "grass_sparse_1.exr")},
                                         runtime));
    EXPECT_EQ(namesOf(set.records()), (std::vector<std::string>{"sparse"}));
    const std::string text = log.text();
    EXPECT_NE(text.find("[ERROR] Failed to decode EXR 'text': "), std::string::npos);
    EXPECT_NE(text.find("[ERROR] Failed to decode EXR 'cut': "), std::string::npos);
    EXPECT_TRUE(log.contains("[INFO] Loaded 1/3 bundled resources successfully"));
    EXPECT_EQ(runtime.liveCounts().arrays, 1u);
}

// The decoded size wins over the table's; the channel count is the table's.
TEST(BundledResourceEdgeCases, RecordsTakeTheirSizeFromTheFileAndChannelsFromTheTable) {
    const EmbeddedResource rows[] = {
        {"odd", EMBEDDED_RESOURCES[1].data, EMBEDDED_RESOURCES[1].size, 256, 128, 4}};
    testenv::LogCapture log(Logger::DEBUG_LEVEL);
    HostRuntime runtime;
    BundledResourceSet set(rows, 1);
    set.loadBundledResources({texture("odd", "odd.exr")}, runtime);
    ASSERT_EQ(set.records().size(), 1u);
    EXPECT_EQ(set.records()[0].width, 512);
    EXPECT_EQ(set.records()[0].height, 512);
    EXPECT_EQ(set.records()[0].channels, 4);
    EXPECT_TRUE(
        log.contains("[DEBUG] Decoded EXR 'odd': 512x512 (expected 256x128 from metadata)"));
    EXPECT_TRUE(log.contains("[INFO] Loading resource 'odd': 256x128, 4 channels, " +
                             std::to_string(EMBEDDED_RESOURCES[1].size) + " bytes"));
}

TEST(BundledResourceEdgeCases, MoreThanSixteenRecordsAreTruncatedWithAWarning) {
    std::vector<ResourceDef> definitions;
    for (int i = 0; i < 17; ++i) {
        definitions.push_back(texture("thin " + std::to_string(i), "branches_thin.exr"));
    }
    testenv::LogCapture log;
    HostRuntime runtime;
    BundledResourceSet set;
    set.loadBundledResources(definitions, runtime);
    ASSERT_EQ(set.records().size(), 17u);

    kernels::BundledResources block{};
    set.fill(block);
    EXPECT_EQ(block.resourceCount, kernels::MAX_BUNDLED_RESOURCES);
    EXPECT_STREQ(block.resources[15].name, "thin 15");
    EXPECT_TRUE(log.contains(
        "[ERROR] WARNING: 17 bundled resources exceed MAX_BUNDLED_RESOURCES (16), truncated"));
}

} // namespace
