// Orders of results a user expects, query by query.
#include "core/engine/match/matcher.h"
#include "core/engine/text/text_fold.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace corvantile::engine {
namespace {

struct Entry {
    std::string name;
    std::string path;
};

struct Ranked {
    std::string name;
    MatchResult result;
};

// An item's texts with their folded forms, kept alive for the matcher.
struct Texts {
    Texts(std::string item_name, std::string item_path)
        : name(std::move(item_name)), path(std::move(item_path)), folded_name(folded(name)),
          folded_path(folded(path)) {}
    ItemText item() const { return {name, path, folded_name, folded_path}; }
    std::string name, path, folded_name, folded_path;
};

std::vector<Ranked> rank(const std::string& query, const std::vector<Entry>& entries,
                         MatchOptions options = {}) {
    Matcher matcher(Query(query, options));
    std::vector<RankKey> keys;
    std::vector<Ranked> found;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Texts texts(entries[i].name, entries[i].path);
        if (const auto result = matcher.match(texts.item())) {
            keys.push_back({result->score, std::uint32_t(texts.name.size()), std::uint32_t(i)});
            found.push_back({texts.name, *result});
        }
    }
    std::vector<Ranked> ranked;
    std::sort(keys.begin(), keys.end(), RankBefore{});
    for (const RankKey& key : keys)
        for (const Ranked& r : found)
            if (r.name == entries[key.index].name)
                ranked.push_back(r);
    return ranked;
}

std::vector<std::string> names(const std::string& query, const std::vector<std::string>& items,
                               MatchOptions options = {}) {
    std::vector<Entry> entries;
    for (const auto& item : items)
        entries.push_back({item, ""});
    std::vector<std::string> out;
    for (const auto& r : rank(query, entries, options))
        out.push_back(r.name);
    return out;
}

MatchPositions positions(const std::string& query, const std::string& name,
                         const std::string& path = "", MatchOptions options = {}) {
    Matcher matcher(Query(query, options));
    const Texts texts(name, path);
    MatchPositions out;
    EXPECT_TRUE(matcher.match(texts.item(), Floor{}, &out)) << query;
    return out;
}

using Names = std::vector<std::string>;
using Offsets = std::vector<std::uint32_t>;

TEST(RankingWordStarts, WordStartBeatsMidWord) {
    EXPECT_EQ(names("int", {"Paint", "IntelliJ IDEA"}), (Names{"IntelliJ IDEA", "Paint"}));
    EXPECT_EQ(names("pad", {"Notepad", "Pad Thai Recipes"}),
              (Names{"Pad Thai Recipes", "Notepad"}));
}

TEST(RankingWordStarts, StartOfNameBeatsLaterWord) {
    EXPECT_EQ(names("code", {"Visual Studio Code", "Codec Pack"}),
              (Names{"Codec Pack", "Visual Studio Code"}));
}

TEST(RankingWordStarts, CamelHumpsDigitsAndSeparatorsStartWords) {
    EXPECT_EQ(names("shot", {"Snapshot", "ScreenShot"}), (Names{"ScreenShot", "Snapshot"}));
    EXPECT_EQ(names("10", {"x100", "Windows 10", "2100"}), (Names{"Windows 10", "x100", "2100"}));
    EXPECT_EQ(names("main", {"domain.txt", "src/main.cpp", "my_main.c"})[2], "domain.txt");
}

TEST(RankingAcronyms, AcronymMatchesInitials) {
    EXPECT_EQ(names("vsc", {"Avast Scanner Console", "Visual Studio Code"}),
              (Names{"Visual Studio Code", "Avast Scanner Console"}));
    EXPECT_EQ(positions("vsc", "Visual Studio Code").name, (Offsets{0, 7, 14}));
}

TEST(RankingAcronyms, PrefixBeatsAcronymBeatsScattered) {
    EXPECT_EQ(names("gim", {"Get Info Manager", "GIMP 2.10", "Pilgrim"}),
              (Names{"GIMP 2.10", "Get Info Manager", "Pilgrim"}));
}

TEST(RankingExact, ExactNameComesFirst) {
    EXPECT_EQ(names("code", {"Visual Studio Code", "Xcode", "Codec Pack", "Code"}),
              (Names{"Code", "Codec Pack", "Visual Studio Code", "Xcode"}));
    EXPECT_EQ(names("calc", {"Calculator", "calc.exe"}), (Names{"calc.exe", "Calculator"}));
}

TEST(RankingLength, ShorterBeatsLongerAtEqualQuality) {
    EXPECT_EQ(names("note", {"Notepad++", "Notes", "Notebook Manager"}),
              (Names{"Notes", "Notepad++", "Notebook Manager"}));
}

TEST(RankingScattered, BestPlacementIsChosenNotTheFirst) {
    // The first 'm' and 'a' are mid-word; the best placement uses the word "main".
    const auto found = positions("main", "amazing_main.c");
    EXPECT_EQ(found.name, (Offsets{8, 9, 10, 11}));
    // Scattered: each letter where it scores best ("fb" -> "Foo Bar", not "Foo baz fob").
    EXPECT_EQ(positions("fob", "xfoo_bar").name, (Offsets{1, 2, 5}));
}

TEST(RankingScattered, RunsBeatGaps) {
    EXPECT_EQ(names("abc", {"a_b_c_d", "xabcx"}), (Names{"a_b_c_d", "xabcx"}))
        << "three word starts outrank a run mid-word";
    EXPECT_EQ(names("abc", {"xaxxbxxcx", "xxabcxxx"}), (Names{"xxabcxxx", "xaxxbxxcx"}));
}

TEST(RankingOptions, CaseSensitiveNarrowsMatches) {
    const MatchOptions cased{.case_sensitive = true};
    EXPECT_EQ(names("yah", {"Yahoo", "yahoo mail"}, cased), (Names{"yahoo mail"}));
    EXPECT_EQ(names("Yah", {"Yahoo", "yahoo mail"}, cased), (Names{"Yahoo"}));
    EXPECT_EQ(names("yah", {"Yahoo", "yahoo mail"}).size(), 2u);
    EXPECT_EQ(names("Cafe", {"Café", "café"}, cased), (Names{"Café"}));
}

TEST(RankingOptions, StartOfStringOnly) {
    const MatchOptions start{.match_start_only = true};
    EXPECT_TRUE(names("aho", {"Yahoo"}, start).empty());
    EXPECT_EQ(names("yah", {"Yahoo", "Pay Yahoo"}, start), (Names{"Yahoo"}));
    EXPECT_EQ(names("vis code", {"Visual Studio Code", "Code Visualiser"}, start),
              (Names{"Visual Studio Code"}));
    EXPECT_TRUE(names("vsc", {"Visual Studio Code"}, start).empty());
}

TEST(RankingMultiWord, AllWordsInAnyOrder) {
    const Names items{"Visual Studio Code", "Visual Studio", "Code Blocks"};
    EXPECT_EQ(names("studio code", items), (Names{"Visual Studio Code"}));
    EXPECT_EQ(names("code studio", items), (Names{"Visual Studio Code"}));
    EXPECT_EQ(names("  visual   studio ", items), (Names{"Visual Studio", "Visual Studio Code"}));
    EXPECT_EQ(positions("code vis", "Visual Studio Code").name, (Offsets{0, 1, 2, 14, 15, 16, 17}));
}

TEST(RankingNonAscii, AccentsAndCaseFold) {
    EXPECT_EQ(names("cafe", {"Café Racer", "Cabinet"}), (Names{"Café Racer"}));
    EXPECT_EQ(names("café", {"CAFE", "Cafeteria"}), (Names{"CAFE", "Cafeteria"}));
    EXPECT_EQ(names("zurich", {"Zürich Hbf"}), (Names{"Zürich Hbf"}));
    EXPECT_EQ(names("łodz", {"Łódź"}), (Names{"Łódź"}));
    EXPECT_EQ(names("москва", {"Москва", "Moskva"}), (Names{"Москва"}));
    EXPECT_EQ(names("αθηνα", {"ΑΘΉΝΑ"}), (Names{"ΑΘΉΝΑ"}));
}

TEST(RankingNonAscii, PositionsAreByteOffsetsInTheName) {
    // "é" takes two bytes: "f" is at 2, "é" at 3, " " at 5, "R" at 6.
    EXPECT_EQ(positions("fer", "Café Racer").name, (Offsets{2, 3, 6}));
    EXPECT_EQ(positions("мос", "Москва").name, (Offsets{0, 2, 4}));
}

TEST(RankingPaths, NameMatchesBeatPathOnlyMatches) {
    const std::vector<Entry> entries{
        {"budget.xlsx", "C:\\Users\\me\\Reports\\budget.xlsx"},
        {"report.pdf", "C:\\Users\\me\\Documents\\report.pdf"},
    };
    const auto ranked = rank("report", entries);
    ASSERT_EQ(ranked.size(), 2u);
    EXPECT_EQ(ranked[0].name, "report.pdf");
    EXPECT_EQ(ranked[1].result.tier, MatchTier::PathOnly);
}

TEST(RankingPaths, WordsMaySplitBetweenNameAndPath) {
    const auto found =
        positions("docs report", "report.pdf", "C:\\Users\\me\\Documents\\report.pdf");
    EXPECT_EQ(found.name, (Offsets{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(found.path.size(), 4u);
    EXPECT_EQ(found.path.front(), 12u); // the "D" of "Documents"
    // A slash in the query matches either separator.
    EXPECT_EQ(rank("me/docu", {{"report.pdf", "C:\\Users\\me\\Documents\\report.pdf"}}).size(), 1u);
}

// A folder typed, then a file: the file whose name holds the last part comes before files
// in a folder that merely holds it too.
TEST(RankingPaths, AFolderThenAFileFindsTheFileByItsName) {
    const std::vector<Entry> entries{
        {"app.h", "C:\\Users\\bob\\Documents\\Reports\\app.h"},
        {"report.pdf", "C:\\Users\\bob\\Documents\\report.pdf"},
        {"notes.txt", "C:\\Users\\bob\\Desktop\\Reports\\notes.txt"},
    };
    const auto ranked = rank("docs\\rep", entries);
    ASSERT_EQ(ranked.size(), 2u);
    EXPECT_EQ(ranked[0].name, "report.pdf");
    EXPECT_EQ(ranked[1].name, "app.h");
    EXPECT_EQ(positions("docs/rep", "report.pdf", "C:\\Users\\bob\\Documents\\report.pdf").path,
              (Offsets{13, 14, 15, 21, 22, 23, 24, 25}));
}

TEST(RankingFloor, ItemsBelowTheFloorAreSkippedButOthersScoreTheSame) {
    Matcher matcher(Query("int", {}));
    const Texts idea("IntelliJ IDEA", ""), paint("Paint", "");
    const auto free = matcher.match(idea.item());
    ASSERT_TRUE(free);
    EXPECT_EQ(matcher.match(idea.item(), Floor{free->score})->score, free->score);
    EXPECT_FALSE(matcher.match(idea.item(), Floor{free->score + 1}));
    EXPECT_TRUE(matcher.match(paint.item()));
    EXPECT_FALSE(matcher.match(paint.item(), Floor{tier_score(MatchTier::WordStart, 0)}));
}

} // namespace
} // namespace corvantile::engine
