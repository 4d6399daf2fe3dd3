#include "resources/BundledResourceSet.h"

#include "LogCapture.h"
#include "ResourceFixtures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

// Loading the shipped effect's five silhouettes: what the kernels receive and what the
// instance gives back.

namespace {

using resources::BundledResourceSet;
using resources::LoadedResource;
using resourcetest::shippedDefinitions;

const std::vector<std::string> kShipped = {"branches_dense", "branches_thin", "grass_dense",
                                           "grass_sparse_1", "grass_sparse_2"};

// The five records, and the block the kernels receive from them, in definition order.
TEST(BundledResourceLoad, ShippedDefinitionGivesFiveLinearMirroredTexturesToTheKernels) {
    testenv::LogCapture log(Logger::DEBUG_LEVEL);
    gpu::HostRuntime runtime;
    BundledResourceSet set;
    EXPECT_FALSE(set.loaded());
    EXPECT_TRUE(set.loadBundledResources(shippedDefinitions(), runtime));
    EXPECT_TRUE(set.loaded());

    ASSERT_EQ(resourcetest::namesOf(set.records()), kShipped);
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
        EXPECT_EQ(record.width, 512);
        EXPECT_EQ(record.height, 512);
        EXPECT_EQ(record.channels, 3);
        EXPECT_EQ(record.samplerMode, 0);
        EXPECT_EQ(record.wrapMode, 2);
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
                             std::to_string(resources::EMBEDDED_RESOURCES[1].size) + " bytes"));
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
    gpu::HostRuntime runtime;
    BundledResourceSet set;
    set.loadBundledResources(shippedDefinitions(), runtime);
    ASSERT_EQ(set.records().size(), 5u);
    for (const LoadedResource& record : set.records()) {
        SCOPED_TRACE(record.name);
        double sum = 0.0;
        float darkest = 1.0f;
        std::size_t wrong = 0;
        for (const gpu::Texel& t : resourcetest::readTexels(runtime, record)) {
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
    gpu::HostRuntime runtime;
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

} // namespace
