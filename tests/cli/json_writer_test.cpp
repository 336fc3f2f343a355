#include "cli/json_writer.h"

#include "cli/json_reader.h"

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
        {"a\xff", "\"a\xEF\xBF\xBD\""},                                // a stray byte
        {"\xC3\xA5ngstr\xC3\xB6m", "\"\xC3\xA5ngstr\xC3\xB6m\""},      // valid: kept
        {"\xC0\xAF", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},                  // an overlong '/'
        {"\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},  // a surrogate
        {"\xE2\x82", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},                  // cut short
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(jsonQuoted(c.in), c.out);
    }
}

TEST(JsonReaderTest, ReadsBackWhatTheWriterWrote) {
    JsonWriter json;
    json.beginObject();
    json.number("third", 1.0 / 3.0);
    json.number("single", 8.42F);
    json.string("text", "a \"quoted\" Å\tline\n");
    json.beginArray("list");
    json.boolean({}, true);
    json.null({});
    json.integer({}, -7);
    json.endArray();
    json.endObject();
    const JsonValue v = parseJson(json.text());
    ASSERT_EQ(v.kind, JsonValue::Kind::Object);
    EXPECT_EQ(std::stod(v.member("third")->text), 1.0 / 3.0);  // to the last bit
    EXPECT_EQ(v.member("single")->text, "8.42");
    EXPECT_EQ(v.member("text")->text, "a \"quoted\" Å\tline\n");
    const JsonValue& list = *v.member("list");
    ASSERT_EQ(list.items.size(), 3U);
    EXPECT_TRUE(list.items[0].boolean);
    EXPECT_TRUE(list.items[1].isNull());
    EXPECT_EQ(list.items[2].text, "-7");
    EXPECT_EQ(v.member("missing"), nullptr);
    // Escapes a writer elsewhere may use: a surrogate pair, an escaped slash.
    EXPECT_EQ(parseJson(R"("\ud83d\ude00\/")").text, "\xF0\x9F\x98\x80/");
}

TEST(JsonReaderTest, RefusesWhatIsNotJsonAndSaysWhere) {
    const struct {
        const char* text;
        const char* where;
    } kCases[] = {
        {"", "line 1, column 1"},          {"{\"a\":1,}", "line 1, column 8"},
        {"{\"a\" 1}", "line 1, column 6"}, {"[1 2]", "line 1, column 4"},
        {"\n\n  01", "line 3, column 4"},  {"1.", "line 1, column 3"},
        {"\"open", "line 1, column 6"},    {"\"\\x\"", "line 1, column 4"},
        {"tru", "line 1, column 1"},       {"{} {}", "line 1, column 4"},
    };
    for (const auto& c : kCases) {
        try {
            (void)parseJson(c.text);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const std::invalid_argument& e) {
            EXPECT_NE(std::string(e.what()).find(c.where), std::string::npos)
                << c.text << ": " << e.what();
        }
    }
    EXPECT_THROW((void)parseJson(std::string(500, '[')), std::invalid_argument);  // too deep
}

}  // namespace
}  // namespace lamivex::cli
