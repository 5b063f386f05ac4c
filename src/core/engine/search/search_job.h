// A search as the executor runs it: phases of independent tasks handed out to worker
// threads, and the guarded delivery of its results.
#pragma once

#include "core/engine/search/search_request.h"

#include <atomic>
#include <cstddef>
#include <mutex>
#include <span>

namespace corvantile::engine {

class SearchJob {
public:
    SearchJob(SearchId id, SearchCallbacks callbacks);
    virtual ~SearchJob() = default;
    SearchJob(const SearchJob&) = delete;
    SearchJob& operator=(const SearchJob&) = delete;

    SearchId id() const { return id_; }

    // Number of tasks of the first phase (at least 1).
    virtual std::size_t first_phase_tasks() = 0;
    // Runs one task of the current phase on worker thread `worker`.
    virtual void run_task(std::size_t task, unsigned worker) = 0;
    // Called once, on one worker, after every task of the phase has run. Returns the number
    // of tasks of the next phase, or 0 when the search is over.
    virtual std::size_t finish_phase(unsigned worker) = 0;

    void cancel() { cancelled_.store(true, std::memory_order_seq_cst); }
    bool cancelled() const { return cancelled_.load(std::memory_order_acquire); }

protected:
    // False when the search has no callbacks: it is run only for what it leaves behind.
    bool reports() const { return callbacks_.on_batch || callbacks_.on_done; }
    // Reports a batch unless the search was cancelled; false when it was.
    bool deliver(std::span<const SearchHit> hits);
    // Reports the end of the search unless it was cancelled.
    void deliver_done();

    std::atomic<bool> cancelled_{false};

private:
    SearchId id_;
    SearchCallbacks callbacks_;
    std::mutex delivery_mutex_; // one callback at a time per search
};

// A search with nothing to do: it only reports its end.
class EmptySearch final : public SearchJob {
public:
    using SearchJob::SearchJob;
    std::size_t first_phase_tasks() override { return 1; }
    void run_task(std::size_t, unsigned) override {}
    std::size_t finish_phase(unsigned) override {
        deliver_done();
        return 0;
    }
};

} // namespace corvantile::engine
