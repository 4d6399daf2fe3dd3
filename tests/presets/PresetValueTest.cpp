#include "presets/PresetValue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(PresetValue, ScalarsConvertAcrossKinds) {
    EXPECT_DOUBLE_EQ(PresetValue::integer(-7).asDouble(), -7.0);
    EXPECT_DOUBLE_EQ(PresetValue::boolean(true).asDouble(), 1.0);
    EXPECT_EQ(PresetValue::number(-2.9).asInt(), -2); // truncated toward zero
    EXPECT_EQ(PresetValue::number(1e12).asInt(), 0);  // does not fit
    EXPECT_EQ(PresetValue::boolean(true).asInt(), 1);
    EXPECT_TRUE(PresetValue::number(std::nan("")).asBool());
    EXPECT_FALSE(PresetValue::number(0.0).asBool());
    EXPECT_TRUE(PresetValue::integer(-1).asBool());
}

TEST(PresetValue, TextIsReadAsItsLeadingNumber) {
    EXPECT_DOUBLE_EQ(PresetValue::text("2.5px").asDouble(), 2.5);
    EXPECT_DOUBLE_EQ(PresetValue::text("abc").asDouble(), 0.0);
    EXPECT_DOUBLE_EQ(PresetValue::text("1e999").asDouble(), 0.0); // overflow
    EXPECT_EQ(PresetValue::text("42 blades").asInt(), 42);
    EXPECT_EQ(PresetValue::text("99999999999").asInt(), 0);
    EXPECT_EQ(PresetValue::text("").asInt(), 0);
    for (const char* no : {"false", "False", "FALSE", "0", ""}) {
        EXPECT_FALSE(PresetValue::text(no).asBool()) << no;
    }
    for (const char* yes : {"true", "TRUE", "1", "yes", "fAlse"}) {
        EXPECT_TRUE(PresetValue::text(yes).asBool()) << yes;
    }
}

TEST(PresetValue, VectorsGiveFloatComponentsAndZeroScalars) {
    const PresetValue v = PresetValue::vec3(0.381, -1.0, 2.0);
    EXPECT_EQ(v.componentCount(), 3);
    EXPECT_EQ(v.asComponents()[0], 0.381f);
    EXPECT_EQ(v.asComponents()[3], 0.0f);
    EXPECT_EQ(v.asDouble(), 0.0);
    EXPECT_EQ(v.asInt(), 0);
    EXPECT_FALSE(v.asBool());
    EXPECT_TRUE(PresetValue::number(1.0).asComponents() == (std::array<float, 4>{}));
}

TEST(PresetValue, TextFormsFollowTheFileConventions) {
    EXPECT_EQ(PresetValue::number(0.15).asText(), "0.150000");
    EXPECT_EQ(PresetValue::integer(-3).asText(), "-3");
    EXPECT_EQ(PresetValue::boolean(false).asText(), "false");
    EXPECT_EQ(PresetValue::vec2(1.0, 0.5).asText(), "(1.000000, 0.500000)");
    EXPECT_EQ(PresetValue::text("Look").asText(), "Look");
}

TEST(PresetValue, EqualityComparesKindAndPayload) {
    EXPECT_EQ(PresetValue::number(1.0), PresetValue::number(1.0));
    EXPECT_NE(PresetValue::number(1.0), PresetValue::integer(1));
    EXPECT_NE(PresetValue::vec2(1, 2), PresetValue::vec2(1, 3));
}

} // namespace
