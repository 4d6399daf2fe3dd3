// Host-memory images: bounds that do not start at 0 and padded rows, addressed as the plug-in
// addresses them (data = lower-left pixel, rows rowBytes apart).

#include "host/effect/HostImage.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using ofxhost::HostImage;

float* addressAsPlugin(const HostImage& image, int x, int y) {
    auto* base = static_cast<unsigned char*>(image.data());
    const OfxRectI b = image.bounds();
    return reinterpret_cast<float*>(base + static_cast<ptrdiff_t>(y - b.y1) * image.rowBytes() +
                                    static_cast<ptrdiff_t>(x - b.x1) * HostImage::kPixelBytes);
}

TEST(HostImage, PixelsAreWhereAPluginComputesThem) {
    HostImage image(OfxRectI{-10, 20, 6, 29}, 24);
    EXPECT_EQ(image.width(), 16);
    EXPECT_EQ(image.height(), 9);
    EXPECT_EQ(image.rowBytes(), 16 * 16 + 24);
    image.pixel(-10, 20)[0] = 1.0f;
    image.pixel(5, 28)[3] = 2.0f;
    EXPECT_EQ(addressAsPlugin(image, -10, 20)[0], 1.0f);
    EXPECT_EQ(addressAsPlugin(image, 5, 28)[3], 2.0f);
    EXPECT_EQ(image.pixel(6, 28), nullptr);
    EXPECT_EQ(image.pixel(-11, 20), nullptr);
    EXPECT_EQ(image.pixel(0, 19), nullptr);
}

TEST(HostImage, NoticesWritesIntoTheRowPadding) {
    HostImage image(OfxRectI{0, 0, 4, 3}, 16);
    image.fill(0.5f, 0.5f, 0.5f, 1.0f);
    EXPECT_TRUE(image.paddingUntouched());
    float* pastRowEnd = addressAsPlugin(image, 4, 1);
    std::memset(pastRowEnd, 0, 4);
    EXPECT_FALSE(image.paddingUntouched());
}

TEST(HostImage, RefusesInvertedBoundsAndPaddingThatMisalignsRows) {
    EXPECT_THROW(HostImage(OfxRectI{0, 0, -1, 1}), std::exception);
    EXPECT_THROW(HostImage(OfxRectI{0, 0, 1, 1}, 6), std::exception);
}

} // namespace
