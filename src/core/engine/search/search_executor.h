// Runs searches on a pool of worker threads.
//
// start() returns at once with the search's id; the work is cut into tasks (chunks of the
// catalog, or real-time sources) that idle workers take in turn, so one search uses every
// core and several searches share them. cancel() only sets the search's flag: it never waits
// for a worker, and once it returns no new callback of that search is begun (see
// SearchCallbacks). Callbacks may come before start() has returned. The executor keeps the
// candidates of the last completed offline search, so a query that extends it (the user typed
// one more letter) looks only at the items that could still match, and its best results, so
// that the same search again (one run ahead while the typing delay ran) is only reported.
#pragma once

#include "core/engine/search/offline_search.h"
#include "core/engine/search/search_request.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace corvantile::engine {

class SearchExecutor {
public:
    // threads 0: one per hardware thread.
    explicit SearchExecutor(unsigned threads = 0);
    // Cancels every search and joins the workers (a callback under way is let finish).
    ~SearchExecutor();
    SearchExecutor(const SearchExecutor&) = delete;
    SearchExecutor& operator=(const SearchExecutor&) = delete;

    // Starts a search and returns its id. When given, announce is called with the id before
    // any worker can run the search, so that the caller can publish the id first (callbacks
    // may otherwise come before start() returns).
    SearchId start(SearchRequest request, const std::function<void(SearchId)>& announce = nullptr);
    void cancel(SearchId id);
    void cancel_all();

    // Waits until no search is queued or running; false on timeout.
    bool wait_idle(std::chrono::milliseconds timeout);
    std::size_t active_searches() const;
    unsigned thread_count() const { return unsigned(threads_.size()); }

private:
    struct Entry {
        std::shared_ptr<SearchJob> job;
        std::size_t task_count = 0;
        std::size_t next_task = 0;
        std::size_t running = 0; // tasks (or a phase end) being run by workers
        std::size_t done = 0;
    };
    using Entries = std::list<Entry>;

    void work(unsigned worker);
    Entries::iterator next_runnable();
    void retire(Entries::iterator entry);
    // Replaces what the executor keeps from the last completed search (the old one is freed
    // outside the lock).
    template <typename T> void keep(std::shared_ptr<const T>& kept, std::shared_ptr<const T> set);

    // While a search runs, a worker without a task waits for its next phase a little while
    // awake (being woken costs more than such a wait); posted_ counts the tasks made ready.
    static constexpr std::chrono::microseconds kAwake{250};
    std::atomic<std::uint64_t> posted_{0};
    mutable std::mutex mutex_;
    std::condition_variable work_ready_;
    std::condition_variable idle_;
    Entries entries_;
    bool stopping_ = false;
    SearchId last_id_ = 0;
    std::shared_ptr<const CandidateSet> candidates_;
    std::shared_ptr<const RankedSet> ranked_;
    std::vector<std::thread> threads_;
};

} // namespace corvantile::engine
