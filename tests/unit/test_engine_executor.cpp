// Searches on worker threads: results best first in batches, options, reuse of the previous
// matches and usage learning.
#include "core/engine/match/matcher.h"
#include "core/engine/search/search_executor.h"
#include "core/engine/text/text_fold.h"
#include "executor_collector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace corvantile::engine {
namespace {

using namespace executor_test;

TEST(ExecutorResults, BestFirstInBatchesWithPositions) {
    SearchExecutor executor(2);
    Collector collector;
    auto request = offline(catalog_of({"Paint", "IntelliJ IDEA", "Internet Explorer", "Notepad"}),
                           "int", collector);
    request.batch_size = 2;
    const Report report = collector.wait(executor.start(std::move(request)));
    EXPECT_EQ(report.names,
              (std::vector<std::string>{"IntelliJ IDEA", "Internet Explorer", "Paint"}));
    EXPECT_EQ(report.batches, 2u);
    EXPECT_TRUE(std::is_sorted(report.scores.rbegin(), report.scores.rend()));
    EXPECT_EQ(report.positions[2], (std::vector<std::uint32_t>{2, 3, 4}));
    EXPECT_EQ(report.done, 1);
}

TEST(ExecutorResults, TopResultsEqualAFullSortAcrossChunks) {
    const auto names = generated(3 * OfflineSearch::kChunkItems + 17);
    const auto catalog = catalog_of(names);
    SearchExecutor executor(3);
    Collector collector;
    auto all = offline(catalog, "rep", collector);
    all.max_results = 0;
    all.positions = false;
    const Report every = collector.wait(executor.start(std::move(all)));
    auto top = offline(catalog, "rep", collector);
    top.max_results = 25;
    const Report best = collector.wait(executor.start(std::move(top)));
    ASSERT_EQ(best.names.size(), 25u);
    ASSERT_GT(every.names.size(), 1000u);
    EXPECT_TRUE(std::is_sorted(every.scores.rbegin(), every.scores.rend()));
    EXPECT_EQ(best.names, std::vector<std::string>(every.names.begin(), every.names.begin() + 25));
}

// The same few names in many folders: a name scores the same wherever it lies, names that
// differ only in case score apart, and a limited search keeps the best of every copy.
TEST(ExecutorResults, RepeatedNamesScoreAsTheirOwnMatchInEveryFolder) {
    static const char* const kNames[] = {"readme.md",  "ReadMe.md", "README.md",    "remote.exe",
                                         "rename.txt", "frame.png", "remember.doc", "main.c"};
    std::vector<std::string> names, paths;
    for (std::size_t i = 0; i < 3 * OfflineSearch::kChunkItems; ++i) {
        names.emplace_back(kNames[i * 7 % 8]);
        paths.push_back("C:\\" + std::string(i % 3 == 0 ? "readme" : "docs") + "\\d" +
                        std::to_string(i) + "\\" + names.back());
    }
    std::vector<ItemData> items;
    for (std::size_t i = 0; i < names.size(); ++i)
        items.push_back({names[i], paths[i], "", "files", 1});
    const auto catalog = build_snapshot(items);

    for (const std::string query : {"rme", "ReMe", "rdm"}) {
        Matcher matcher(Query(query, {}));
        std::map<std::string, std::int32_t> expected; // by name and path
        std::string folded_name, folded_path;
        for (std::size_t i = 0; i < names.size(); ++i) {
            folded_name.clear();
            folded_path.clear();
            fold_text(names[i], folded_name);
            fold_text(paths[i], folded_path);
            if (const auto match = matcher.match({names[i], paths[i], folded_name, folded_path}))
                expected[paths[i]] = match->score;
        }
        SearchExecutor executor(2);
        std::map<std::string, std::int32_t> found;
        std::vector<std::int32_t> top_scores;
        std::mutex mutex;
        std::condition_variable done;
        int ended = 0;
        const auto run = [&](std::size_t max_results, auto&& on_hit) {
            SearchRequest request;
            request.text = query;
            request.catalog = catalog;
            request.max_results = max_results;
            request.positions = false;
            request.callbacks = {[&, on_hit](SearchId, std::span<const SearchHit> hits) {
                                     std::lock_guard lock(mutex);
                                     for (const SearchHit& hit : hits)
                                         on_hit(hit);
                                 },
                                 [&](SearchId) {
                                     std::lock_guard lock(mutex);
                                     ++ended;
                                     done.notify_all();
                                 }};
            const int before = ended;
            executor.start(std::move(request));
            std::unique_lock lock(mutex);
            ASSERT_TRUE(done.wait_for(lock, kDeadlockGuard, [&] { return ended > before; }));
        };
        run(0, [&](const SearchHit& hit) { found[std::string(hit.item.path)] = hit.score; });
        EXPECT_EQ(found, expected) << query;
        run(40, [&](const SearchHit& hit) { top_scores.push_back(hit.score); });
        std::vector<std::int32_t> all_scores;
        for (const auto& [path, score] : expected)
            all_scores.push_back(score);
        std::sort(all_scores.rbegin(), all_scores.rend());
        all_scores.resize(std::min<std::size_t>(all_scores.size(), 40));
        EXPECT_EQ(top_scores, all_scores) << query;
    }
}

TEST(ExecutorOptions, ShortAndEmptyQueriesReportOnlyTheEnd) {
    SearchExecutor executor(1);
    Collector collector;
    const auto catalog = catalog_of({"ab", "abc"});
    auto short_query = offline(catalog, "ab", collector);
    short_query.min_chars = 3;
    const Report nothing = collector.wait(executor.start(std::move(short_query)));
    EXPECT_EQ(nothing.batches, 0u);
    EXPECT_EQ(nothing.done, 1);
    const Report empty = collector.wait(executor.start(offline(catalog, "   ", collector)));
    EXPECT_EQ(empty.batches, 0u);
    auto enough = offline(catalog, "ab", collector);
    enough.min_chars = 2;
    EXPECT_EQ(collector.wait(executor.start(std::move(enough))).names.size(), 2u);
}

TEST(ExecutorOptions, IdsAreUniqueAndNeverZero) {
    SearchExecutor executor(1);
    Collector collector;
    std::set<SearchId> ids;
    for (int i = 0; i < 50; ++i)
        ids.insert(executor.start(offline(catalog_of({"x"}), "x", collector)));
    EXPECT_EQ(ids.size(), 50u);
    EXPECT_EQ(ids.count(0), 0u);
    EXPECT_TRUE(executor.wait_idle(kDeadlockGuard));
}

TEST(ExecutorOptions, TheIdIsAnnouncedBeforeAnyCallback) {
    SearchExecutor executor(2);
    for (int i = 0; i < 200; ++i) {
        std::atomic<SearchId> published{0};
        std::atomic<bool> consistent{true};
        std::mutex mutex;
        std::condition_variable finished;
        bool done = false;
        SearchRequest request;
        request.text = "a";
        request.catalog = catalog_of({"a", "ab", "abc"});
        request.batch_size = 1;
        request.callbacks.on_batch = [&](SearchId id, std::span<const SearchHit>) {
            consistent = consistent && published == id;
        };
        request.callbacks.on_done = [&](SearchId id) {
            consistent = consistent && published == id;
            std::lock_guard lock(mutex);
            done = true;
            finished.notify_all();
        };
        const SearchId id =
            executor.start(std::move(request), [&](SearchId announced) { published = announced; });
        EXPECT_EQ(id, published.load());
        std::unique_lock lock(mutex);
        ASSERT_TRUE(finished.wait_for(lock, kDeadlockGuard, [&] { return done; }));
        EXPECT_TRUE(consistent.load());
    }
}

TEST(ExecutorOptions, MatchOptionsAndRemovedItems) {
    Catalog catalog;
    const std::vector<ItemData> items{{"Yahoo", "", "", "web", 0},
                                      {"yahoo mail", "", "", "mail", 0},
                                      {"Pay Yahoo", "", "", "web", 0}};
    catalog.add(items);
    SearchExecutor executor(2);
    Collector collector;
    auto cased = offline(catalog.snapshot(), "Yah", collector);
    cased.match.case_sensitive = true;
    EXPECT_EQ(collector.wait(executor.start(std::move(cased))).names.size(), 2u);
    auto start_only = offline(catalog.snapshot(), "yah", collector);
    start_only.match.match_start_only = true;
    EXPECT_EQ(collector.wait(executor.start(std::move(start_only))).names.size(), 2u);
    catalog.remove_source("mail");
    EXPECT_EQ(collector.wait(executor.start(offline(catalog.snapshot(), "yah", collector))).names,
              (std::vector<std::string>{"Yahoo", "Pay Yahoo"}));
}

TEST(ExecutorReuse, TypingOnGivesTheSameResultsAsAFreshSearch) {
    const auto catalog = catalog_of(generated(2 * OfflineSearch::kChunkItems));
    SearchExecutor typing(2);
    Collector collector;
    for (const std::string text :
         {"r", "re", "rep", "rep ", "rep x", "rep 1", "rep 12", "zz", "zzq", "b", "bu d"}) {
        const Report reused = collector.wait(typing.start(offline(catalog, text, collector)));
        SearchExecutor fresh(1);
        Collector separate; // ids of different executors overlap
        const Report full = separate.wait(fresh.start(offline(catalog, text, separate)));
        EXPECT_EQ(reused.names, full.names) << text;
        EXPECT_EQ(reused.scores, full.scores) << text;
    }
}

TEST(ExecutorReuse, ASearchRunAheadIsReportedAsAFreshOneAndNeverWhenStale) {
    const auto catalog = catalog_of(generated(2 * OfflineSearch::kChunkItems));
    SearchExecutor executor(2);
    Collector collector;
    const auto fresh = [](SearchRequest request) {
        SearchExecutor alone(1);
        Collector separate; // ids of different executors overlap
        request.callbacks = separate.callbacks();
        return separate.wait(alone.start(std::move(request)));
    };
    const auto expect_same = [](const Report& got, const Report& want, const char* what) {
        EXPECT_EQ(got.names, want.names) << what;
        EXPECT_EQ(got.scores, want.scores) << what;
        EXPECT_EQ(got.positions, want.positions) << what;
        EXPECT_EQ(got.batches, want.batches) << what;
    };
    // Each search below follows a plain one for "rep", whose results the executor keeps.
    const auto after_plain = [&](SearchRequest request) {
        auto ahead = offline(catalog, "rep", collector);
        ahead.callbacks = {};
        executor.start(std::move(ahead));
        EXPECT_TRUE(executor.wait_idle(kDeadlockGuard));
        return collector.wait(executor.start(std::move(request)));
    };
    const auto plain = offline(catalog, "rep", collector);
    expect_same(after_plain(plain), fresh(plain), "the same search");
    auto fewer = plain;
    fewer.max_results = 3;
    expect_same(after_plain(fewer), fresh(fewer), "fewer results");
    auto cased = plain;
    cased.match.case_sensitive = true;
    expect_same(after_plain(cased), fresh(cased), "case");

    UsageStore usage;
    const UsageTime now{std::chrono::seconds(1'700'000'000)};
    const std::string last = fresh(plain).names.back();
    for (int i = 0; i < 20; ++i)
        usage.record("rep", usage_key({last, "", "", "test", 0}), now);
    auto learnt = plain;
    learnt.boosts = usage.boosts_for("rep", now);
    const Report lifted = after_plain(learnt);
    expect_same(lifted, fresh(learnt), "usage");
    EXPECT_NE(lifted.names, fresh(plain).names) << "the choice made rises";

    std::vector<std::string> names = generated(2 * OfflineSearch::kChunkItems);
    names.push_back("rep");
    const Report after = after_plain(offline(catalog_of(names), "rep", collector));
    ASSERT_FALSE(after.names.empty());
    EXPECT_EQ(after.names.front(), "rep") << "a new index is searched, not the old results";
}

TEST(ExecutorUsage, LearningLiftsAChoiceButNotOverAFarStrongerMatch) {
    // For "pa": a word start, an acronym and a scattered match.
    const auto catalog = catalog_of({"Notepad", "Photo Album", "Paint"});
    SearchExecutor executor(2);
    Collector collector;
    const UsageTime now{std::chrono::seconds(1'700'000'000)};
    const auto search = [&](const UsageStore& usage) {
        auto request = offline(catalog, "pa", collector);
        request.boosts = usage.boosts_for("pa", now);
        return collector.wait(executor.start(std::move(request))).names;
    };
    const auto key = [](const char* name) { return usage_key({name, "", "", "test", 0}); };
    using Names = std::vector<std::string>;
    EXPECT_EQ(search(UsageStore()), (Names{"Paint", "Photo Album", "Notepad"}));

    UsageStore album;
    for (int i = 0; i < 5; ++i)
        album.record("pa", key("Photo Album"), now);
    EXPECT_EQ(search(album), (Names{"Photo Album", "Paint", "Notepad"}));

    UsageStore notepad;
    for (int i = 0; i < 50; ++i)
        notepad.record("pa", key("Notepad"), now);
    EXPECT_EQ(search(notepad), (Names{"Paint", "Notepad", "Photo Album"}))
        << "a scattered match rises over an acronym, never over a word start";
}

} // namespace
} // namespace corvantile::engine
