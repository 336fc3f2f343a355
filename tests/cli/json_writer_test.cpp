#include "cli/json_writer.h"

#include <gtest/gtest.h>

#include <limits>

namespace lamivex::cli {
namespace {

TEST(JsonWriterTest, NestedObjectsAndArraysAreSeparatedOnce) {
    JsonWriter json;
    json.beginObject();
    json.integer("n", 2);
    json.beginArray("rows");
    json.beginObject();
    json.number("x", 0.1);
    json.endObject();
    json.beginObject();
    json.number("x", 30.001F);
    json.endObject();
    json.endArray();
    json.beginObject("inner");
    json.boolean("ok", true);
    json.string("name", "Si(111) 7x7 \"DAS\"\t\\");
    json.endObject();
    json.endObject();
    EXPECT_EQ(json.text(),
              "{\"n\":2,\"rows\":[{\"x\":0.1},{\"x\":30.001}],"
              "\"inner\":{\"ok\":true,\"name\":\"Si(111) 7x7 \\\"DAS\\\"\\t\\\\\"}}");
}

TEST(JsonWriterTest, NonFiniteNumbersBecomeNull) {
    JsonWriter json;
    json.beginObject();
    json.number("a", std::numeric_limits<double>::quiet_NaN());
    json.number("b", std::numeric_limits<double>::infinity());
    json.endObject();
    EXPECT_EQ(json.text(), "{\"a\":null,\"b\":null}");
}

TEST(JsonWriterTest, ControlCharactersAreEscaped) {
    EXPECT_EQ(jsonQuoted(std::string("a\x01z")), "\"a\\u0001z\"");
}

TEST(JsonWriterTest, BytesThatAreNotUtf8BecomeReplacementCharacters) {
    const struct {
        std::string in;
        std::string out;
    } kCases[] = {
        {"a\xff", "\"a\xEF\xBF\xBD\""},                       // a stray byte
        {"\xC3\xA5ngstr\xC3\xB6m", "\"\xC3\xA5ngstr\xC3\xB6m\""},  // valid: kept
        {"\xC0\xAF", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},           // an overlong '/'
        {"\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},  // a surrogate
        {"\xE2\x82", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},           // cut short
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(jsonQuoted(c.in), c.out);
    }
}

}  // namespace
}  // namespace lamivex::cli
