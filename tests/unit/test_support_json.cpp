// The JSON reader of the browsers' bookmark files: values, escapes, and what it refuses.
#include <gtest/gtest.h>

#include <string>

#include "support/json_reader.h"

using namespace corvantile::support;

namespace {

TEST(JsonReader, ReadsValuesEscapesAndUnicode) {
    const auto value = parse_json("\xEF\xBB\xBF { \"a\": [1, -2.5e1, true, false, null], \"s\": "
                                  "\"x\\\"\\\\\\/\\n\\u00e9\\ud83d\\ude00\" }");
    ASSERT_TRUE(value);
    ASSERT_TRUE(value->is_object());
    const JsonValue* array = value->find("a");
    ASSERT_TRUE(array && array->is_array());
    ASSERT_EQ(array->items.size(), 5u);
    EXPECT_EQ(array->items[1].number, -25);
    EXPECT_TRUE(array->items[2].boolean);
    EXPECT_EQ(array->items[4].type, JsonValue::Type::Null);
    EXPECT_EQ(value->string_of("s"), "x\"\\/\n\xC3\xA9\xF0\x9F\x98\x80");
    EXPECT_EQ(value->string_of("missing"), "");
    // A lone surrogate becomes the replacement character rather than bad UTF-8.
    EXPECT_EQ(parse_json("\"\\udc00\"")->text, "\xEF\xBF\xBD");
}

TEST(JsonReader, RefusesWhatIsNotJson) {
    for (const char* text :
         {"", "{", "{\"a\":}", "[1,]", "{\"a\" 1}", "tru", "\"open", "01x", "{\"a\":1}}", "[1] [2]",
          "\"tab\there\"", "\"\\x\"", "-", "{a:1}", "\"\\u12\""})
        EXPECT_FALSE(parse_json(text)) << text;
    const std::string deep(100000, '[');
    EXPECT_FALSE(parse_json(deep));
    const std::string fine = std::string(100, '[') + std::string(100, ']');
    EXPECT_TRUE(parse_json(fine));
}

} // namespace
