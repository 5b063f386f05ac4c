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

// Bookmark files as they may be found: a 50 MB one, nesting far deeper than any browser writes
// (refused whole, without running out of stack), and names that are not UTF-8, which are kept
// as they are without taking the rest of the file with them.
TEST(JsonReader, ReadsHugeDeepAndBrokenBookmarkFiles) {
    const std::string entry = R"({"type":"url","name":"naïve café Фото 2024",)"
                              R"("url":"https://example.org/?a=1&b=2"},)";
    std::string big = R"({"roots":{"bookmark_bar":{"children":[)";
    std::size_t entries = 0;
    for (; big.size() < (50u << 20); ++entries)
        big += entry;
    big.back() = ']';
    big += "}}}";
    const auto value = parse_json(big);
    ASSERT_TRUE(value);
    const JsonValue* children = value->find("roots")->find("bookmark_bar")->find("children");
    ASSERT_TRUE(children && children->is_array());
    ASSERT_EQ(children->items.size(), entries);
    EXPECT_EQ(children->items.back().string_of("name"), "naïve café Фото 2024");

    for (const std::string open : {"[", "{\"a\":", "[{\"children\":"}) {
        const std::string close = open == "[" ? "]" : open.size() == 5 ? "}" : "}]";
        std::string deep;
        for (int i = 0; i < 100000; ++i)
            deep += open;
        deep += "1";
        for (int i = 0; i < 100000; ++i)
            deep += close;
        EXPECT_FALSE(parse_json(deep)) << open;
    }

    const auto broken =
        parse_json("[{\"name\":\"a\xFF\xFE b\xC3\",\"url\":\"u\"},{\"name\":\"\xE2\x82\"}]");
    ASSERT_TRUE(broken);
    ASSERT_EQ(broken->items.size(), 2u);
    EXPECT_EQ(broken->items[0].string_of("name"), "a\xFF\xFE b\xC3");
    EXPECT_EQ(broken->items[0].string_of("url"), "u");
    EXPECT_EQ(broken->items[1].string_of("name"), "\xE2\x82");
}

} // namespace
