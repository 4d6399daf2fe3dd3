#include "resources/EmbeddedResource.h"

#include "TestEnvironment.h"

#include <gtest/gtest.h>
#include <tinyexr.h>

#include <cstring>
#include <string>

// The silhouette files compiled into the library: the table, its look-up and the file format
// the loader and the kernels rely on.

namespace {

using resources::EMBEDDED_RESOURCE_COUNT;
using resources::EMBEDDED_RESOURCES;
using resources::EmbeddedResource;
using resources::findEmbeddedResource;

const char* const kNames[] = {"branches_dense", "branches_thin", "grass_dense", "grass_sparse_1",
                              "grass_sparse_2"};

// The five silhouettes in occlusion order, each the committed file byte for byte.
TEST(EmbeddedResources, TableHoldsTheCommittedSilhouettesInOcclusionOrder) {
    ASSERT_EQ(EMBEDDED_RESOURCE_COUNT, 5u);
    for (std::size_t i = 0; i < EMBEDDED_RESOURCE_COUNT; ++i) {
        const EmbeddedResource& row = EMBEDDED_RESOURCES[i];
        EXPECT_STREQ(row.name, kNames[i]);
        EXPECT_EQ(row.width, 512) << row.name;
        EXPECT_EQ(row.height, 512) << row.name;
        EXPECT_EQ(row.channels, 3) << row.name;
        const std::string file =
            testenv::readFile(std::string(HALDEN_TEXTURES_DIR) + "/" + row.name + ".exr");
        ASSERT_FALSE(file.empty()) << row.name;
        ASSERT_EQ(row.size, file.size()) << row.name;
        EXPECT_EQ(std::memcmp(row.data, file.data(), file.size()), 0) << row.name;
        // Embedded files stay small enough for the plug-in binary.
        EXPECT_LT(row.size, 1536u * 1024u) << row.name;
    }
}

TEST(EmbeddedResources, LookupMatchesWholeNamesExactlyAndTakesTheFirstRow) {
    EXPECT_EQ(findEmbeddedResource("branches_dense"), &EMBEDDED_RESOURCES[0]);
    EXPECT_EQ(findEmbeddedResource("grass_sparse_2"), &EMBEDDED_RESOURCES[4]);
    EXPECT_EQ(findEmbeddedResource("Grass_Dense"), nullptr);
    EXPECT_EQ(findEmbeddedResource("grass_dense.exr"), nullptr);
    EXPECT_EQ(findEmbeddedResource("grass"), nullptr);
    EXPECT_EQ(findEmbeddedResource(""), nullptr);
    EXPECT_EQ(findEmbeddedResource(std::string("grass_dense\0x", 13)), nullptr);
    // The first of two rows with one name.
    const EmbeddedResource rows[] = {
        {"a", nullptr, 1, 1, 1, 3}, {"b", nullptr, 2, 1, 1, 3}, {"a", nullptr, 3, 1, 1, 3}};
    EXPECT_EQ(findEmbeddedResource("a", rows, 3), &rows[0]);
    EXPECT_EQ(findEmbeddedResource("b", rows, 3), &rows[1]);
    EXPECT_EQ(findEmbeddedResource("c", rows, 3), nullptr);
}

// Single-part scan-line files with the channels B, G, R over (0,0)-(511,511): HALF with RLE,
// except branches_thin, which is FLOAT with ZIP.
TEST(EmbeddedResources, FilesAreScanLineBgrInTheirDeclaredPixelTypeAndCompression) {
    for (const EmbeddedResource& row : EMBEDDED_RESOURCES) {
        SCOPED_TRACE(row.name);
        const bool thin = std::string(row.name) == "branches_thin";
        EXRVersion version;
        ASSERT_EQ(ParseEXRVersionFromMemory(&version, row.data, row.size), TINYEXR_SUCCESS);
        EXPECT_EQ(version.version, 2);
        EXPECT_EQ(version.tiled, 0);
        EXPECT_EQ(version.multipart, 0);
        EXPECT_EQ(version.non_image, 0);

        EXRHeader header;
        InitEXRHeader(&header);
        const char* error = nullptr;
        ASSERT_EQ(ParseEXRHeaderFromMemory(&header, &version, row.data, row.size, &error),
                  TINYEXR_SUCCESS);
        ASSERT_EQ(header.num_channels, 3);
        const char* channels[] = {"B", "G", "R"};
        for (int c = 0; c < 3; ++c) {
            EXPECT_STREQ(header.channels[c].name, channels[c]);
            EXPECT_EQ(header.pixel_types[c],
                      thin ? TINYEXR_PIXELTYPE_FLOAT : TINYEXR_PIXELTYPE_HALF);
        }
        EXPECT_EQ(header.compression_type,
                  thin ? TINYEXR_COMPRESSIONTYPE_ZIP : TINYEXR_COMPRESSIONTYPE_RLE);
        EXPECT_EQ(header.line_order, 0);
        for (const EXRBox2i& box : {header.data_window, header.display_window}) {
            EXPECT_EQ(box.min_x, 0);
            EXPECT_EQ(box.min_y, 0);
            EXPECT_EQ(box.max_x, 511);
            EXPECT_EQ(box.max_y, 511);
        }
        FreeEXRHeader(&header);
    }
}

} // namespace
