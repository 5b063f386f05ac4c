// Searches on worker threads, as they run: real-time sources, cancellation and many searches
// at once.
#include "core/engine/search/search_executor.h"
#include "executor_collector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace corvantile::engine {
namespace {

using namespace executor_test;

LiveSource source_of(std::vector<std::string> names) {
    return [names](const std::function<void(const ItemData&)>& emit, const CancelToken& token) {
        for (const std::string& name : names) {
            if (token.cancelled())
                return;
            emit({name, "", "", "live", 0});
        }
    };
}

TEST(ExecutorLive, SourcesAreWalkedAndMatchesStreamed) {
    SearchExecutor executor(2);
    Collector collector;
    SearchRequest request;
    request.text = "note";
    request.sources = {source_of({"Notepad", "Paint", "Notes"}), source_of({"Sticky Notes"}),
                       [](const auto&, const CancelToken&) { throw std::runtime_error("gone"); }};
    request.callbacks = collector.callbacks();
    const Report report = collector.wait(executor.start(std::move(request)));
    EXPECT_EQ(std::multiset<std::string>(report.names.begin(), report.names.end()),
              (std::multiset<std::string>{"Notepad", "Notes", "Sticky Notes"}));
}

TEST(ExecutorLive, WalkingStopsOnceEnoughWereFound) {
    SearchExecutor executor(1);
    Collector collector;
    std::atomic<int> emitted{0};
    SearchRequest request;
    request.text = "item";
    request.max_results = 10;
    request.batch_size = 4;
    request.sources = {
        [&](const std::function<void(const ItemData&)>& emit, const CancelToken& token) {
            for (int i = 0; i < 1'000'000 && !token.cancelled(); ++i, ++emitted)
                emit({"item " + std::to_string(i), "", "", "live", 0});
        }};
    request.callbacks = collector.callbacks();
    const Report report = collector.wait(executor.start(std::move(request)));
    EXPECT_EQ(report.names.size(), 10u);
    EXPECT_LT(emitted.load(), 1'000'000);
}

TEST(ExecutorCancel, NoCallbackBeginsAfterCancelReturns) {
    SearchExecutor executor(2);
    std::mutex mutex;
    std::condition_variable changed;
    bool inside = false, release = false;
    std::atomic<int> calls{0}, ends{0};
    Collector unused;
    SearchRequest request = offline(catalog_of(generated(500)), "e", unused);
    request.max_results = 0;
    request.batch_size = 1;
    request.callbacks.on_batch = [&](SearchId, std::span<const SearchHit>) {
        ++calls;
        std::unique_lock lock(mutex);
        inside = true;
        changed.notify_all();
        changed.wait_for(lock, kDeadlockGuard, [&] { return release; });
    };
    request.callbacks.on_done = [&](SearchId) { ++ends; };
    const SearchId id = executor.start(std::move(request));
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, kDeadlockGuard, [&] { return inside; }));
    }
    executor.cancel(id); // returns while the first batch's callback is still running
    const int after_cancel = calls;
    {
        std::lock_guard lock(mutex);
        release = true;
        changed.notify_all();
    }
    ASSERT_TRUE(executor.wait_idle(kDeadlockGuard));
    EXPECT_EQ(after_cancel, 1);
    EXPECT_EQ(calls.load(), 1);
    EXPECT_EQ(ends.load(), 0);
}

TEST(ExecutorCancel, CancelledRealTimeSourceReportsNothing) {
    SearchExecutor executor(2);
    std::mutex mutex;
    std::condition_variable changed;
    bool walking = false, go_on = false;
    std::atomic<int> callbacks{0};
    SearchRequest request;
    request.text = "a";
    request.batch_size = 1;
    request.sources = {[&](const std::function<void(const ItemData&)>& emit, const CancelToken&) {
        {
            std::unique_lock lock(mutex);
            walking = true;
            changed.notify_all();
            changed.wait_for(lock, kDeadlockGuard, [&] { return go_on; });
        }
        // Cancelled by now: whatever is emitted must not be reported.
        for (int i = 0; i < 100; ++i)
            emit({"a" + std::to_string(i), "", "", "live", 0});
    }};
    request.callbacks = {[&](SearchId, std::span<const SearchHit>) { ++callbacks; },
                         [&](SearchId) { ++callbacks; }};
    const SearchId id = executor.start(std::move(request));
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, kDeadlockGuard, [&] { return walking; }));
    }
    executor.cancel(id);
    {
        std::lock_guard lock(mutex);
        go_on = true;
        changed.notify_all();
    }
    ASSERT_TRUE(executor.wait_idle(kDeadlockGuard));
    EXPECT_EQ(callbacks.load(), 0);
}

TEST(ExecutorConcurrency, ThousandsOfOverlappingSearchesLeaveNothingBehind) {
    const auto catalog = catalog_of(generated(3000));
    const std::vector<std::string> texts{"r", "re", "rep", "bud", "x", "main", "in d", "zz"};
    Collector collector;
    std::set<SearchId> cancelled;
    std::vector<SearchId> started;
    {
        SearchExecutor executor(3);
        std::mt19937 random(11);
        std::thread other([&] {
            // A second thread starts and cancels searches too.
            for (int i = 0; i < 300; ++i)
                executor.cancel(
                    executor.start(offline(catalog, texts[i % texts.size()], collector)));
        });
        for (int i = 0; i < 2000; ++i) {
            const SearchId id =
                executor.start(offline(catalog, texts[random() % texts.size()], collector));
            started.push_back(id);
            if (random() % 3 == 0) {
                const SearchId earlier = started[random() % started.size()];
                executor.cancel(earlier);
                cancelled.insert(earlier);
            }
        }
        other.join();
        ASSERT_TRUE(executor.wait_idle(kDeadlockGuard));
        EXPECT_EQ(executor.active_searches(), 0u);
        // Searches still queued when the executor goes are cancelled, and its threads joined.
        for (int i = 0; i < 20; ++i)
            executor.start(offline(catalog, "re", collector));
    }
    const auto reports = collector.all();
    for (const auto& [id, report] : reports)
        EXPECT_LE(report.done, 1) << "search " << id;
    for (const SearchId id : started)
        if (!cancelled.count(id)) {
            const auto found = reports.find(id);
            EXPECT_TRUE(found != reports.end() && found->second.done == 1)
                << "search " << id << " lost";
        }
}

TEST(ExecutorConcurrency, SearchesRunWhileTheCatalogChanges) {
    Catalog catalog;
    std::vector<std::string> names = generated(2000);
    std::vector<ItemData> items;
    for (const auto& name : names)
        items.push_back({name, "", "", "files", 0});
    catalog.add(items);
    SearchExecutor executor(2);
    Collector collector;
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        for (int round = 0; !stop; ++round) {
            catalog.remove_if([&](const ItemView& item) {
                return item.name.size() % 7 == std::size_t(round % 7);
            });
            catalog.replace_source("files", items);
        }
    });
    for (int i = 0; i < 200; ++i)
        collector.wait(
            executor.start(offline(catalog.snapshot(), i % 2 ? "rep" : "re", collector)));
    stop = true;
    writer.join();
}

TEST(ExecutorConcurrency, ThrowingCallbacksDoNotStopTheWorkers) {
    SearchExecutor executor(1);
    Collector collector;
    SearchRequest failing = offline(catalog_of({"abc"}), "a", collector);
    failing.callbacks.on_batch = [](SearchId, std::span<const SearchHit>) {
        throw std::runtime_error("listener failed");
    };
    executor.start(std::move(failing));
    EXPECT_EQ(
        collector.wait(executor.start(offline(catalog_of({"abc"}), "a", collector))).names.size(),
        1u);
}

} // namespace
} // namespace corvantile::engine
