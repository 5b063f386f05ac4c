// The raw screen lets the filter skip lines before they are folded and stored: it must never
// drop a line the matcher would match, and must split the input into the same lines as a
// plain split on "\n".
#include "core/engine/match/matcher.h"
#include "core/engine/match/raw_screen.h"
#include "core/engine/text/text_fold.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace corvantile::engine {
namespace {

std::string random_line(std::mt19937& random) {
    static const char* const kPieces[] = {
        "re", "Rep",  "port", "a",    "B",    "_",    " ",  "-",
        ".",  "/",    "\\",   "x",    "Q",    "10",   "é",  "É",
        "ж",  "\xFF", "cafe", "CAFE", "Docs", "main", "\t", "src/util/parser.c"};
    std::string line;
    const int count = int(random() % 12);
    for (int i = 0; i < count; ++i)
        line += kPieces[random() % (sizeof kPieces / sizeof kPieces[0])];
    return line;
}

std::vector<std::string> split_lines(const std::string& input) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    while (from < input.size()) {
        const std::size_t end = std::min(input.find('\n', from), input.size());
        lines.push_back(input.substr(from, end - from));
        from = end + 1;
    }
    return lines;
}

std::vector<std::string> screened_lines(const RawScreen& screen, const std::string& input) {
    std::vector<std::string> lines;
    std::string_view line;
    for (std::size_t from = 0; screen.next_line(input, from, line);)
        lines.emplace_back(line);
    return lines;
}

TEST(RawScreen, NeverDropsALineTheMatcherMatches) {
    std::mt19937 random(77);
    const char* const queries[] = {"rep",     "RP",  "docs/main",       "d\\m", "cafe",  "x q",
                                   "port re", "10.", "src/util/parser", "zz",   "a b c", "_-"};
    std::vector<std::string> lines;
    for (int i = 0; i < 3000; ++i)
        lines.push_back(random_line(random));
    int kept = 0, dropped = 0;
    for (const char* text : queries)
        for (const bool case_sensitive : {false, true})
            for (const bool start_only : {false, true}) {
                const Query query(text, {case_sensitive, start_only});
                const RawScreen screen(query);
                ASSERT_TRUE(screen.active()) << text;
                Matcher matcher(query);
                for (const std::string& line : lines) {
                    const std::string folded_line = folded(line);
                    const bool matches = matcher.match({line, {}, folded_line, {}}).has_value();
                    const bool may = screen.may_match(line);
                    if (matches) {
                        EXPECT_TRUE(may) << "query " << text << ", line " << line;
                    }
                    (may ? kept : dropped)++;
                }
            }
    // The screen must also be worth having: it drops a good share of the lines here.
    EXPECT_GT(dropped, kept / 2);
}

TEST(RawScreen, SplitsInputAsPlainLinesAndKeepsTheirOrder) {
    std::mt19937 random(5);
    for (int round = 0; round < 200; ++round) {
        std::string input;
        const int count = int(random() % 40);
        for (int i = 0; i < count; ++i)
            input += random_line(random) + "\n";
        if (random() % 2)
            input += random_line(random); // maybe a last line without its newline
        for (const char* text : {"re", "docs/main", "a b", ""}) {
            const Query query(text, {});
            const RawScreen screen(query);
            std::vector<std::string> expected;
            for (const std::string& line : split_lines(input))
                if (screen.may_match(line))
                    expected.push_back(line);
            EXPECT_EQ(screened_lines(screen, input), expected) << "query '" << text << "'";
        }
    }
}

TEST(RawScreen, StandsAsideForQueriesItCannotJudge) {
    EXPECT_FALSE(RawScreen(Query("", {})).active());
    EXPECT_FALSE(RawScreen(Query("жар", {})).active());
    const RawScreen accented(Query("Café", {}));
    EXPECT_TRUE(accented.active()); // "é" folds to "e"
    EXPECT_TRUE(accented.may_match("CAFE"));
    EXPECT_TRUE(accented.may_match("caf\xC3\xA9")); // not ASCII: left to the matcher
    EXPECT_FALSE(accented.may_match("cave"));
    // A word that ends past the first chunk of a long line, and one found in no line.
    const std::string input = std::string(40, 'x') + "q\n" + std::string(70, 'y') + "\n";
    const RawScreen screen(Query("xq", {}));
    std::size_t from = 0;
    std::string_view line;
    ASSERT_TRUE(screen.next_line(input, from, line));
    EXPECT_EQ(line.size(), 41u);
    EXPECT_FALSE(screen.next_line(input, from, line));
}

} // namespace
} // namespace corvantile::engine
