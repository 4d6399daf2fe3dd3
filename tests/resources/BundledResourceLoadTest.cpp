#include "resources/BundledResourceSet.h"

#include "definition/DefinitionRecords.h"
#include "definition/EmbeddedDefinition.h"
#include "definition/XMLEffectDefinition.h"
#include "gpu/DeviceCompat.h"
#include "gpu/EmulatedTexture.h"
#include "gpu/HostRuntime.h"
#include "resources/LoadedResource.h"

#include "LogCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <ostream>
#include <string>
#include <vector>

// Loading the effect's silhouettes: what the kernels receive, what the instance gives back, and
// how loading copes with unusual definitions and with failures: nothing stops the render,
// nothing leaks, and the records that remain are in definition order.

namespace {

using gpu::HostRuntime;
using resources::BundledResourceSet;
using resources::EMBEDDED_RESOURCES;
using resources::EmbeddedResource;
using resources::LoadedResource;

// The textures the shipped effect definition declares.
std::vector<ResourceDef> shippedDefinitions() {
    XMLEffectDefinition definition;
    EXPECT_TRUE(definition.parseEmbedded(embeddedEffectDefinition()));
    return definition.resources();
}

ResourceDef texture(const std::string& name, const std::string& file,
                    const std::string& sampler = "linear", const std::string& wrap = "mirror") {
    ResourceDef def;
    def.name = name;
    def.file = file;
    def.sampler = sampler;
    def.wrap = wrap;
    return def;
}

// Every texel of a loaded texture, rows as the file stores them (top first).
std::vector<gpu::Texel> readTexels(HostRuntime& runtime, const LoadedResource& record) {
    const std::size_t rowBytes = static_cast<std::size_t>(record.width) * gpu::kTexelBytes;
    std::vector<gpu::Texel> texels(static_cast<std::size_t>(record.width) * record.height);
    EXPECT_EQ(runtime.memcpy2DFromArrayAsync(texels.data(), rowBytes, record.array, 0, 0, rowBytes,
                                             record.height, gpu::MemcpyKind::DeviceToHost, 0),
              gpu::Error::Success);
    return texels;
}

std::vector<std::string> namesOf(const std::vector<LoadedResource>& records) {
    std::vector<std::string> names;
    for (const LoadedResource& record : records) {
        names.push_back(record.name);
    }
    return names;
}

const std::vector<std::string> kShipped = {"branches_dense", "branches_thin", "grass_dense",
                                           "grass_sparse_1", "grass_sparse_2"};

// The five records, and the block the kernels receive from them, in definition order.
TEST(BundledResourceLoad, ShippedDefinitionGivesFiveLinearMirroredTexturesToTheKernels) {
    testenv::LogCapture log(Logger::DEBUG_LEVEL);
    HostRuntime runtime;
    BundledResourceSet set;
    EXPECT_FALSE(set.loaded());
    EXPECT_TRUE(set.loadBundledResources(shippedDefinitions(), runtime));
    EXPECT_TRUE(set.loaded());

    ASSERT_EQ(namesOf(set.records()), kShipped);
    kernels::BundledResources block{};
    block.resourceCount = 99;
    set.fill(block);
    ASSERT_EQ(block.resourceCount, 5);
    for (int i = 0; i < 5; ++i) {
        const LoadedResource& record = set.records()[static_cast<std::size_t>(i)];
        const kernels::BundledResource& entry = block.resources[i];
        SCOPED_TRACE(record.name);
        EXPECT_NE(record.textureObject, 0u);
        EXPECT_NE(record.array, 0u);
        // The block is copied from the record: its values check both.
        EXPECT_EQ(entry.textureObject, record.textureObject);
        EXPECT_STREQ(entry.name, kShipped[static_cast<std::size_t>(i)].c_str());
        EXPECT_EQ(entry.width, 512);
        EXPECT_EQ(entry.height, 512);
        EXPECT_EQ(entry.channels, 3);
        EXPECT_EQ(entry.samplerMode, 0);
        EXPECT_EQ(entry.wrapMode, 2);
    }
    EXPECT_EQ(runtime.liveCounts().arrays, 5u);
    EXPECT_EQ(runtime.liveCounts().textures, 5u);
    // Float RGBA: 512 x 512 x 16 bytes per texture.
    EXPECT_EQ(runtime.liveCounts().bytes, 5u * 4194304u);
    EXPECT_TRUE(log.contains("[INFO] Loading 5 bundled resources..."));
    EXPECT_TRUE(log.contains("[INFO] Loading resource 'branches_thin': 512x512, 3 channels, " +
                             std::to_string(EMBEDDED_RESOURCES[1].size) + " bytes"));
    EXPECT_TRUE(log.contains("[INFO] Created CUDA texture for resource 'grass_sparse_2'"));
    EXPECT_TRUE(log.contains("[INFO] Loaded 5/5 bundled resources successfully"));
    EXPECT_TRUE(log.contains(
        "[DEBUG] Populating bundled resource 'grass_dense': samplerMode=0, wrapMode=2"));
}

// HALF (RLE) and FLOAT (ZIP) files alike decode to float texels; three-channel files get
// alpha 1, and the grey pictures hold one value in R, G and B.
TEST(BundledResourceLoad, EveryTexelIsGreyAndOpaqueWithTheSilhouettesMean) {
    const std::map<std::string, double> targetMeans = {{"branches_dense", 0.59},
                                                       {"branches_thin", 0.93},
                                                       {"grass_dense", 0.66},
                                                       {"grass_sparse_1", 0.92},
                                                       {"grass_sparse_2", 0.88}};
    HostRuntime runtime;
    BundledResourceSet set;
    set.loadBundledResources(shippedDefinitions(), runtime);
    ASSERT_EQ(set.records().size(), 5u);
    for (const LoadedResource& record : set.records()) {
        SCOPED_TRACE(record.name);
        double sum = 0.0;
        float darkest = 1.0f;
        std::size_t wrong = 0;
        for (const gpu::Texel& t : readTexels(runtime, record)) {
            wrong += t.w != 1.0f || t.x != t.y || t.y != t.z || t.x < 0.0f || t.x > 1.0f;
            sum += t.x;
            darkest = std::min(darkest, t.x);
        }
        EXPECT_EQ(wrong, 0u);
        EXPECT_NEAR(sum / (512.0 * 512.0), targetMeans.at(record.name), 0.02);
        // Foliage blocks the view: every silhouette has dark parts.
        EXPECT_LT(darkest, 0.2f);
    }
}

TEST(BundledResourceLoad, ASecondLoadUploadsNothingAndReleaseOrDestructionFreesEverything) {
    testenv::LogCapture log(Logger::DEBUG_LEVEL);
    HostRuntime runtime;
    {
        BundledResourceSet set;
        set.loadBundledResources(shippedDefinitions(), runtime);
        const std::vector<LoadedResource> first = set.records();
        EXPECT_TRUE(set.loadBundledResources(shippedDefinitions(), runtime));
        EXPECT_TRUE(log.contains("[DEBUG] [loadBundledResources] Already loaded, returning true"));
        ASSERT_EQ(set.records().size(), first.size());
        for (std::size_t i = 0; i < first.size(); ++i) {
            EXPECT_EQ(set.records()[i].textureObject, first[i].textureObject);
        }
        EXPECT_EQ(runtime.liveCounts().textures, 5u);
        EXPECT_EQ(runtime.liveCounts().arrays, 5u);

        set.release();
        EXPECT_FALSE(set.loaded());
        EXPECT_TRUE(set.records().empty());
        EXPECT_TRUE(log.contains("[DEBUG] Freeing 5 bundled resources"));
        EXPECT_TRUE(runtime.liveCounts().empty());
        kernels::BundledResources block{};
        set.fill(block);
        EXPECT_EQ(block.resourceCount, 0);

        // A fresh load after the release; destroying the set frees that one.
        EXPECT_TRUE(set.loadBundledResources(shippedDefinitions(), runtime));
        EXPECT_EQ(set.records().size(), 5u);
        EXPECT_EQ(runtime.liveCounts().textures, 5u);
    }
    EXPECT_TRUE(runtime.liveCounts().empty());
}

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
    auto red = [v](const LoadedResource& rec, float u) {
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
    EXPECT_TRUE(set.loadBundledResources(shippedDefinitions(), runtime));

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

    EXPECT_TRUE(set.loadBundledResources(shippedDefinitions(), runtime));
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
