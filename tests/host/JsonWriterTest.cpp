// The JSON writer behind `halden-render --describe`: valid documents whatever the text.

#include "host/json/JsonWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

namespace {

using ofxhost::JsonWriter;

TEST(JsonWriter, EscapesQuotesBackslashesAndControlsButNotUtf8) {
    EXPECT_EQ(JsonWriter::quote("say \"hi\"\\"), R"("say \"hi\"\\")");
    EXPECT_EQ(JsonWriter::quote("a\nb\tc\rd\be\ff"), R"("a\nb\tc\rd\be\ff")");
    EXPECT_EQ(JsonWriter::quote(std::string("\x01\x1f\x7f", 3)), R"("\u0001\u001f\u007f")");
    EXPECT_EQ(JsonWriter::quote(std::string("nul\0end", 7)), R"("nul\u0000end")");
    EXPECT_EQ(JsonWriter::quote("Fl\xc3\xa4"
                                "che \xe2\x86\x92 \xf0\x9f\x94\xb5"),
              "\"Fl\xc3\xa4"
              "che \xe2\x86\x92 \xf0\x9f\x94\xb5\"");
}

TEST(JsonWriter, WritesNumbersThatReadBackExactly) {
    EXPECT_EQ(JsonWriter::number(1.0), "1");
    EXPECT_EQ(JsonWriter::number(0.1), "0.1");
    EXPECT_EQ(JsonWriter::number(-2.5e-7), "-2.5e-07");
    EXPECT_EQ(std::stod(JsonWriter::number(1.0 / 3.0)), 1.0 / 3.0);
    EXPECT_EQ(std::stod(JsonWriter::number(-std::numeric_limits<double>::max())),
              -std::numeric_limits<double>::max());
    EXPECT_EQ(JsonWriter::number(std::nan("")), "null");
    EXPECT_EQ(JsonWriter::number(std::numeric_limits<double>::infinity()), "null");
}

TEST(JsonWriter, IndentsObjectsAndKeepsInlineArraysOnOneLine) {
    JsonWriter json;
    json.beginObject();
    json.key("name").value("gain");
    json.key("range").beginArray(JsonWriter::Layout::Inline).value(0).value(10.5).endArray();
    json.key("on").value(true);
    json.key("parent").null();
    json.key("empty").beginArray().endArray();
    json.endObject();
    EXPECT_TRUE(json.complete());
    EXPECT_EQ(json.text(), "{\n"
                           "  \"name\": \"gain\",\n"
                           "  \"range\": [0, 10.5],\n"
                           "  \"on\": true,\n"
                           "  \"parent\": null,\n"
                           "  \"empty\": []\n"
                           "}");
}

TEST(JsonWriter, RefusesMalformedDocuments) {
    JsonWriter valueWithoutKey;
    valueWithoutKey.beginObject();
    EXPECT_THROW(valueWithoutKey.value(1), std::logic_error);

    JsonWriter keyInArray;
    keyInArray.beginArray();
    EXPECT_THROW(keyInArray.key("k"), std::logic_error);
    EXPECT_THROW(keyInArray.endObject(), std::logic_error);

    JsonWriter secondRoot;
    secondRoot.value(1);
    EXPECT_THROW(secondRoot.value(2), std::logic_error);
}

} // namespace
