// What the executor's tests share: a collector of the reports of searches run on the worker
// threads, and small catalogs to search.
#pragma once

#include "core/engine/search/search_executor.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <vector>

namespace corvantile::engine::executor_test {

// Waits that only guard against a hang; no test depends on how long anything takes.
inline constexpr auto kDeadlockGuard = std::chrono::seconds(60);

// What one search reported.
struct Report {
    std::vector<std::string> names;
    std::vector<std::int32_t> scores;
    std::vector<std::vector<std::uint32_t>> positions;
    std::size_t batches = 0;
    int done = 0;
};

// Collects the reports of searches, keyed by id, from the worker threads.
class Collector {
public:
    SearchCallbacks callbacks() {
        return {[this](SearchId id, std::span<const SearchHit> hits) {
                    std::lock_guard lock(mutex_);
                    Report& report = reports_[id];
                    EXPECT_EQ(report.done, 0) << "a batch after the end";
                    ++report.batches;
                    for (const SearchHit& hit : hits) {
                        report.names.emplace_back(hit.item.name);
                        report.scores.push_back(hit.score);
                        report.positions.emplace_back(hit.name_positions.begin(),
                                                      hit.name_positions.end());
                    }
                },
                [this](SearchId id) {
                    std::lock_guard lock(mutex_);
                    ++reports_[id].done;
                    changed_.notify_all();
                }};
    }

    Report wait(SearchId id) {
        std::unique_lock lock(mutex_);
        EXPECT_TRUE(changed_.wait_for(lock, kDeadlockGuard, [&] { return reports_[id].done > 0; }))
            << "search " << id << " never ended";
        return reports_[id];
    }

    std::map<SearchId, Report> all() {
        std::lock_guard lock(mutex_);
        return reports_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<SearchId, Report> reports_;
};

inline std::shared_ptr<const CatalogSnapshot> catalog_of(const std::vector<std::string>& names) {
    std::vector<ItemData> items;
    for (const std::string& name : names)
        items.push_back({name, "", "", "test", 0});
    return build_snapshot(items);
}

// Many generated names, for searches that span several chunks.
inline std::vector<std::string> generated(std::size_t count) {
    static const char* const kWords[] = {"report", "budget", "photo", "invoice", "notes",
                                         "setup",  "main",   "index", "readme",  "player"};
    std::vector<std::string> names;
    std::mt19937 random(7);
    for (std::size_t i = 0; i < count; ++i)
        names.push_back(std::string(kWords[random() % 10]) + "_" + kWords[random() % 10] +
                        std::to_string(random() % 1000) + ".txt");
    return names;
}

inline SearchRequest offline(std::shared_ptr<const CatalogSnapshot> catalog, std::string text,
                             Collector& collector) {
    SearchRequest request;
    request.text = std::move(text);
    request.catalog = std::move(catalog);
    request.callbacks = collector.callbacks();
    return request;
}

} // namespace corvantile::engine::executor_test
