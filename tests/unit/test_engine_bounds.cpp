// The shortcuts of the search must never change its results: an item is only skipped when it
// provably cannot rank above the floor. Checked against the full match on random items.
#include "core/engine/catalog/catalog.h"
#include "core/engine/match/folder_bound.h"
#include "core/engine/match/matcher.h"
#include "core/engine/search/search_executor.h"
#include "core/engine/text/text_fold.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <random>
#include <string>
#include <vector>

namespace corvantile::engine {
namespace {

// Random texts built from pieces that make word starts, humps, digits, separators, accents
// and stray bytes likely.
std::string random_text(std::mt19937& random, int pieces) {
    static const char* const kPieces[] = {"re",  "Rep",  "port", "a",    "b",          "in",  "vo",
                                          "ice", "_",    " ",    "-",    ".",          "/",   "\\",
                                          "x",   "Q",    "10",   "7",    "é",          "É",   "ж",
                                          "Ж",   "\xFF", "cafe", "CAFE", "StudioCode", "vsc", "ab"};
    std::string text;
    const int count = int(random() % unsigned(pieces)) + 1;
    for (int i = 0; i < count; ++i)
        text += kPieces[random() % (sizeof kPieces / sizeof kPieces[0])];
    return text;
}

TEST(SearchBounds, AFloorAtAnItemsOwnRankNeverExcludesIt) {
    std::mt19937 random(2024);
    std::vector<std::string> names, paths;
    for (int i = 0; i < 600; ++i) {
        names.push_back(random_text(random, 6));
        // Some paths end in the name, as a file's do.
        std::string path = random() % 3 ? random_text(random, 10) : std::string();
        if (!path.empty() && random() % 2)
            path += "\\" + names.back();
        paths.push_back(std::move(path));
    }
    std::vector<ItemData> items;
    for (std::size_t i = 0; i < names.size(); ++i)
        items.push_back({names[i], paths[i], "", "s", 0});
    const auto snapshot = build_snapshot(items);
    const Segment& segment = *snapshot->slot(0).segment;

    int matched = 0;
    std::string room, path_room;
    for (int q = 0; q < 250; ++q) {
        std::string text = random_text(random, 3);
        if (random() % 4 == 0)
            text += " " + random_text(random, 2);
        MatchOptions options;
        options.case_sensitive = random() % 5 == 0;
        options.match_start_only = random() % 7 == 0;
        Matcher matcher(Query(text, options));
        for (std::size_t i = 0; i < segment.size(); ++i) {
            const Segment::FoldedTexts folded = segment.folded_texts(i, room);
            const std::string path(segment.path(i, path_room));
            const ItemText item{segment.name(i), path, folded.name, folded.path,
                                segment.name_mask(i)};
            const auto free = matcher.match(item);
            if (!free)
                continue;
            ++matched;
            const Floor own{free->score, segment.name_length(i)};
            ASSERT_TRUE(matcher.may_reach(segment.head(i), segment.name_mask(i),
                                          segment.name_length(i), own))
                << "query '" << text << "' item '" << segment.name(i) << "' path '" << path << "'";
            const auto bounded = matcher.match(item, own);
            ASSERT_TRUE(bounded) << "query '" << text << "' item '" << segment.name(i) << "' path '"
                                 << path << "'";
            EXPECT_EQ(bounded->score, free->score);
            // A higher floor may skip the item; if it does not, the score is the same.
            if (const auto above = matcher.match(item, Floor{free->score + 1})) {
                EXPECT_EQ(above->score, free->score);
            }
        }
    }
    EXPECT_GT(matched, 1000) << "the random items should match often enough to test anything";
}

// Files as a folder walk lists them: a few to a folder, the folders nested.
std::vector<std::string> folded_all(const std::vector<std::string>& texts) {
    std::vector<std::string> out;
    for (const std::string& text : texts)
        out.push_back(folded(text));
    return out;
}

std::vector<std::string> folder_walk(std::mt19937& random, std::size_t count) {
    static const char* const kFolders[] = {"Docs", "docs",  "src",   "Reports", "rep",  "a_b",
                                           "x-y",  "Music", "in vo", "10",      "Café", "re/port"};
    std::vector<std::string> paths;
    std::string folder = "C:\\Users";
    std::vector<std::size_t> parents; // the folder's length at each level above
    while (paths.size() < count) {
        // Down into a new folder, or back up first (a separator of either kind).
        for (; !parents.empty() && (parents.size() > 4 || random() % 3 == 0); parents.pop_back())
            folder.resize(parents.back());
        parents.push_back(folder.size());
        folder += random() % 4 ? "\\" : "/";
        folder += kFolders[random() % (sizeof kFolders / sizeof kFolders[0])];
        for (unsigned files = random() % 6; files > 0 && paths.size() < count; --files)
            paths.push_back(folder + "\\" + random_text(random, 4));
    }
    return paths;
}

// The best k of a search, with all its shortcuts, against every match ranked by brute force:
// over random items with and without paths, over files listed folder by folder (which the
// search bounds a folder at a time), and over items each alone in its folder, files or not
// (a name inside its path, or glued to the folder without a separator).
TEST(SearchBounds, TopResultsEqualABruteForceRanking) {
    std::mt19937 random(31);
    std::vector<ItemData> mixed, files, alone;
    std::vector<std::string> texts;
    texts.reserve(60000); // the items view these texts: they must not move
    for (int i = 0; i < 20000; ++i) {
        texts.push_back(random_text(random, 5));
        const std::string& name = texts.back();
        texts.push_back(random() % 2 ? random_text(random, 8) : std::string());
        mixed.push_back({name, texts.back(), "", "s", 0});
    }
    for (const std::string& path : folder_walk(random, 6000)) {
        texts.push_back(path);
        const std::string_view whole = texts.back();
        files.push_back({whole.substr(whole.find_last_of("\\/") + 1), whole, "", "s", 0});
    }
    std::vector<std::string> folders = folder_walk(random, 3000);
    for (std::size_t f = 0; f < folders.size(); ++f) {
        const std::string& path = folders[f];
        const std::string folder = path.substr(0, path.find_last_of("\\/"));
        const std::string name = random_text(random, 3);
        texts.push_back(name);
        const std::string_view kept_name = texts.back();
        texts.push_back(f % 3 == 0   ? folder + "\\" + name
                        : f % 3 == 1 ? folder + "\\" + name + "\\" + random_text(random, 2)
                                     : folder + name);
        alone.push_back({kept_name, texts.back(), "", "s", 0});
    }
    SearchExecutor executor(2);
    for (const std::vector<ItemData>* items : {&mixed, &files, &alone}) {
        const auto catalog = build_snapshot(*items);
        for (int q = 0; q < 40; ++q) {
            std::string text = random_text(random, 2) + (q % 3 ? "" : " " + random_text(random, 1));
            // Over the files, queries that need the path: a folder, a separator, a name.
            if (items != &mixed && q % 2)
                text = random_text(random, 2) + (q % 4 == 1 ? "/" : "\\") + random_text(random, 2);
            // Every option, since each changes which items need their path.
            MatchOptions options;
            options.case_sensitive = q % 8 == 1;
            options.match_start_only = q % 8 == 2;
            // Brute force: every item matched without a floor, ranked.
            Matcher matcher(Query(text, options));
            std::vector<RankKey> all;
            std::string room;
            for (std::uint32_t i = 0; i < catalog->capacity(); ++i) {
                const ItemView view = catalog->view(i, room);
                const std::string fn = folded(view.name), fp = folded(view.path);
                if (const auto result = matcher.match({view.name, view.path, fn, fp}))
                    all.push_back({result->score, std::uint32_t(view.name.size()), i});
            }
            sort_ranked(all, 30);
            std::mutex mutex;
            std::condition_variable finished;
            std::vector<std::uint32_t> found;
            bool done = false;
            SearchRequest request;
            request.text = text;
            request.match = options;
            request.catalog = catalog;
            request.max_results = 30;
            request.callbacks.on_batch = [&](SearchId, std::span<const SearchHit> hits) {
                for (const SearchHit& hit : hits)
                    found.push_back(hit.index);
            };
            request.callbacks.on_done = [&](SearchId) {
                std::lock_guard lock(mutex);
                done = true;
                finished.notify_all();
            };
            executor.start(std::move(request));
            std::unique_lock lock(mutex);
            ASSERT_TRUE(finished.wait_for(lock, std::chrono::seconds(60), [&] { return done; }));
            std::vector<std::uint32_t> expected;
            for (const RankKey& key : all)
                expected.push_back(key.index);
            EXPECT_EQ(found, expected) << "query '" << text << "'";
        }
    }
}

// A folder's bounds, from the loosest to the one that reads the name, never fall below what a
// file's match through its path scores, and each is at least as tight as the one before; a
// file is reachable exactly when its own bound is a score.
TEST(SearchBounds, FolderBoundsHoldEveryFilesPathMatch) {
    std::mt19937 random(7);
    const std::vector<std::string> paths = folder_walk(random, 3000);
    const std::vector<std::string> folded_paths = folded_all(paths);
    int checked = 0, scored = 0;
    for (int q = 0; q < 120; ++q) {
        const std::string text = q % 3 ? random_text(random, 2) + "/" + random_text(random, 2)
                                       : random_text(random, 2) + " " + random_text(random, 1);
        const Query query(text, {});
        FolderBound bound(query);
        if (!bound.usable())
            continue;
        Matcher matcher(query);
        // The search reads and aligns the files' folders in the order of the walk, from texts
        // that stay in place (later reads still look at them).
        std::string_view folder;
        for (std::size_t f = 0; f < paths.size(); ++f) {
            const std::string& path = paths[f];
            const std::string& folded_path = folded_paths[f];
            const std::size_t name_at = path.find_last_of("\\/") + 1;
            const std::string name = path.substr(name_at), folded_name = folded(name);
            const std::uint32_t mask = char_mask(folded_name);
            if (std::string_view(path).substr(0, name_at) != folder) {
                folder = std::string_view(path).substr(0, name_at);
                const bool ascii = std::all_of(folder.begin(), folder.end(),
                                               [](char c) { return (c & 0x80) == 0; });
                const bool read = bound.read(folder);
                EXPECT_EQ(read, ascii) << folder;
                if (!read) {
                    folder = {};
                    continue;
                }
                bound.align();
            }
            const auto match = matcher.match({name, path, folded_name, folded_path, mask}, {},
                                             nullptr, PathUse::Needed);
            const std::int32_t in_folder = bound.folder_bound();
            const std::int32_t own =
                bound.file_bound(static_cast<unsigned char>(folded_name[0]), mask);
            const FolderBound::FileReach reach = bound.exact_bound(path, folded_path, mask);
            const std::int32_t exact = reach.bound;
            const std::int32_t by_words = bound.names_bound(mask);
            EXPECT_LE(by_words, in_folder) << text << " in " << path;
            EXPECT_LE(own, by_words) << text << " in " << path;
            EXPECT_LE(exact, own) << text << " in " << path;
            EXPECT_EQ(bound.reachable(mask), own != kNoFloor) << text << " in " << path;
            EXPECT_TRUE(bound.any_reachable() || !bound.reachable(mask)) << text << " in " << path;
            if (match) {
                ++checked;
                ASSERT_LE(match->score, exact) << text << " in " << path;
            }
            // The search takes such a bound for the file's score without matching it.
            if (reach.is_score) {
                ++scored;
                ASSERT_EQ(match ? match->score : kNoFloor, exact) << text << " in " << path;
            }
        }
    }
    EXPECT_GT(checked, 500) << "the random files should match through their paths often enough";
    EXPECT_GT(scored, 500);
}

// A folder's bounds do not depend on the folders read or aligned before it, whose shared start
// the bound takes over, nor on a folder before it that could not be read (not ASCII).
TEST(SearchBounds, FolderBoundsDoNotDependOnTheFoldersBefore) {
    std::mt19937 random(11);
    const std::vector<std::string> paths = folder_walk(random, 1500);
    const std::vector<std::string> folded_paths = folded_all(paths);
    static const char* const kWords[] = {"re", "rep", "docs", "mu", "sic", "src", "a",
                                         "b",  "in",  "vo",   "x",  "10",  "ab",  "repo"};
    const auto word = [&] { return std::string(kWords[random() % std::size(kWords)]); };
    int compared = 0;
    for (int q = 0; q < 40; ++q) {
        const std::string text = q % 3 == 0   ? word() + "/" + word()
                                 : q % 3 == 1 ? word() + " " + word()
                                              : word() + word();
        const Query query(text, {});
        FolderBound walking(query);
        if (!walking.usable())
            continue;
        for (std::size_t p = 0; p < paths.size(); ++p) {
            const std::string& path = paths[p];
            const std::string_view folder =
                std::string_view(path).substr(0, path.find_last_of("\\/") + 1);
            FolderBound fresh(query);
            const std::string& folded_path = folded_paths[p];
            const bool read = walking.read(folder);
            ASSERT_EQ(read, fresh.read(folder)) << text << " in " << path;
            if (!read)
                continue;
            const std::string name = folded_path.substr(folder.size());
            const std::uint32_t mask = char_mask(name);
            EXPECT_EQ(walking.reachable(mask), fresh.reachable(mask)) << text << " in " << path;
            // The search aligns only some of the folders it reads.
            if (random() % 3 == 0)
                continue;
            walking.align();
            fresh.align();
            EXPECT_EQ(walking.folder_bound(), fresh.folder_bound()) << text << " in " << path;
            EXPECT_EQ(walking.file_bound(static_cast<unsigned char>(name[0]), mask),
                      fresh.file_bound(static_cast<unsigned char>(name[0]), mask))
                << text << " in " << path;
            EXPECT_EQ(walking.exact_bound(path, folded_path, mask).bound,
                      fresh.exact_bound(path, folded_path, mask).bound)
                << text << " in " << path;
            ++compared;
        }
    }
    EXPECT_GT(compared, 10000);
}

TEST(SearchBounds, PositionsAreInsideTheTextsAndAscending) {
    std::mt19937 random(99);
    for (int n = 0; n < 3000; ++n) {
        const std::string name = random_text(random, 8), path = random_text(random, 8);
        const std::string query = random_text(random, 2);
        Matcher matcher(Query(query, {}));
        const std::string fn = folded(name), fp = folded(path);
        MatchPositions positions;
        if (!matcher.match({name, path, fn, fp}, {}, &positions))
            continue;
        EXPECT_TRUE(std::is_sorted(positions.name.begin(), positions.name.end()));
        EXPECT_TRUE(std::is_sorted(positions.path.begin(), positions.path.end()));
        for (const std::uint32_t at : positions.name)
            EXPECT_LT(at, name.size());
        for (const std::uint32_t at : positions.path)
            EXPECT_LT(at, path.size());
    }
}

TEST(SearchBounds, VeryLongTextsAndQueriesStayCorrect) {
    std::string name;
    for (int i = 0; i < 400; ++i)
        name += "segment" + std::to_string(i) + "_";
    std::string query;
    for (int i = 0; i < 120; ++i)
        query += "seg"[i % 3];
    Matcher matcher(Query(query, {}));
    const std::string fn = folded(name);
    MatchPositions positions;
    const auto result = matcher.match({name, "", fn, ""}, {}, &positions);
    ASSERT_TRUE(result);
    EXPECT_EQ(positions.name.size(), query.size());
    EXPECT_FALSE(Matcher(Query(query + "q", {})).match({name, "", fn, ""}));
}

} // namespace
} // namespace corvantile::engine
