// Path splitting for file browsing, and the tokenizer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/path_split.h"
#include "support/tokenizer.h"

using namespace corvantile::support;

namespace {

struct PathCase {
    std::string path;
    std::string drive;
    std::vector<std::string> dirs;
    std::string file_name;
    std::string location;
};

} // namespace

TEST(SupportPathSplit, SplitsTheShapesTheProgramMeets) {
    const PathCase cases[] = {
        {"C:\\", "C:", {}, "", "C:\\"},
        {"C:\\A\\B\\", "C:", {"A", "B"}, "", "C:\\A\\B\\"},
        {"C:\\A\\x.txt", "C:", {"A"}, "x.txt", "C:\\A\\"},
        {"c:\\Win", "c:", {}, "Win", "c:\\"},
        {"c:\\windows\\", "c:", {"windows"}, "", "c:\\windows\\"},
        {"C:\\Pro*", "C:", {}, "Pro*", "C:\\"},
        {"C:\\A\\*", "C:", {"A"}, "*", "C:\\A\\"},
        {"C:\\\\A\\\\\\B\\\\x", "C:", {"A", "B"}, "x", "C:\\A\\B\\"},
        {"C:/Users/Zoë/Übersicht.txt", "C:", {"Users", "Zoë"}, "Übersicht.txt", "C:\\Users\\Zoë\\"},
        {"\\\\server\\share\\dir\\f.txt",
         "\\\\server\\share",
         {"dir"},
         "f.txt",
         "\\\\server\\share\\dir\\"},
        {"//server/share/f.txt", "\\\\server\\share", {}, "f.txt", "\\\\server\\share\\"},
        {"\\\\server\\share", "\\\\server\\share", {}, "", "\\\\server\\share"},
        {"\\\\server", "\\\\server", {}, "", "\\\\server"},
        {"\\Windows\\x", "", {"Windows"}, "x", "\\Windows\\"},
        {"C:", "C:", {}, "", "C:"},
        {"C:x.txt", "C:", {}, "x.txt", "C:"},
        {"docs\\x.txt", "", {"docs"}, "x.txt", "docs\\"},
        {"x.txt", "", {}, "x.txt", ""},
        {"", "", {}, "", ""},
        {"1:\\x", "", {"1:"}, "x", "1:\\"},
    };
    for (const auto& c : cases) {
        const PathParts parts = split_path(c.path);
        EXPECT_EQ(parts.drive, c.drive) << c.path;
        EXPECT_EQ(parts.dirs, c.dirs) << c.path;
        EXPECT_EQ(parts.file_name, c.file_name) << c.path;
        EXPECT_EQ(parts.location(), c.location) << c.path;
    }
}

TEST(SupportPathSplit, AddBackSlashLeavesExactlyOne) {
    EXPECT_EQ(add_back_slash("C:\\Users\\me"), "C:\\Users\\me\\");
    EXPECT_EQ(add_back_slash("C:\\Users\\me\\"), "C:\\Users\\me\\");
    EXPECT_EQ(add_back_slash("C:\\Users\\me\\\\/"), "C:\\Users\\me\\");
    EXPECT_EQ(add_back_slash("C:"), "C:\\");
    EXPECT_EQ(add_back_slash("\\\\"), "\\");
    EXPECT_EQ(add_back_slash(""), "");
}

TEST(SupportTokenizer, SplitsAtEveryDelimiterKeepingEmptyTokens) {
    using Tokens = std::vector<std::string>;
    EXPECT_EQ(split_tokens("1.2.3.4", "."), (Tokens{"1", "2", "3", "4"}));
    EXPECT_EQ(split_tokens("1.2.3.4.5", "."), (Tokens{"1", "2", "3", "4", "5"}));
    EXPECT_EQ(split_tokens("a..b.", "."), (Tokens{"a", "", "b", ""}));
    EXPECT_EQ(split_tokens("a,b;c", ",;"), (Tokens{"a", "b", "c"}));
    EXPECT_EQ(split_tokens("no delimiter", "."), (Tokens{"no delimiter"}));
    EXPECT_EQ(split_tokens("a.b", ""), (Tokens{"a.b"}));
    EXPECT_EQ(split_tokens("", "."), Tokens{});
    // Delimiters are characters: a multi-byte one splits only where it stands whole, and
    // never inside another character that shares bytes with it.
    EXPECT_EQ(split_tokens("a·b·ü", "·"), (Tokens{"a", "b", "ü"}));
    EXPECT_EQ(split_tokens("Ä€Ä", "€"), (Tokens{"Ä", "Ä"}));
    EXPECT_EQ(split_tokens("\xe2\x82\xac", "\xe2"), (Tokens{"\xe2\x82\xac"}));
}
