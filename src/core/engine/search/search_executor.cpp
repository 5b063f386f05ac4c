#include "core/engine/search/search_executor.h"

#include "core/engine/search/live_search.h"
#include "support/event_report.h"

#include <algorithm>

namespace corvantile::engine {

SearchExecutor::SearchExecutor(unsigned threads) {
    if (threads == 0)
        threads = std::max(1u, std::thread::hardware_concurrency());
    threads_.reserve(threads);
    for (unsigned i = 0; i < threads; ++i)
        threads_.emplace_back([this, i] { work(i); });
}

SearchExecutor::~SearchExecutor() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        for (Entry& entry : entries_)
            entry.job->cancel();
    }
    work_ready_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
}

SearchId SearchExecutor::start(SearchRequest request,
                               const std::function<void(SearchId)>& announce) {
    Query query(request.text, request.match);
    SearchId id = 0;
    SearchReuse reuse;
    {
        std::lock_guard lock(mutex_);
        id = ++last_id_;
        if (id == 0)
            id = ++last_id_;
        reuse.candidates = candidates_;
        reuse.ranked = ranked_;
    }
    std::shared_ptr<SearchJob> job;
    const bool nothing_to_do = query.empty() || query.char_count() < request.min_chars ||
                               (!request.catalog && request.sources.empty());
    if (nothing_to_do) {
        job = std::make_shared<EmptySearch>(id, std::move(request.callbacks));
    } else if (request.catalog) {
        if (reuse.ranked && !reuse.ranked->answers(request))
            reuse.ranked.reset();
        if (reuse.candidates && (reuse.candidates->catalog.lock() != request.catalog ||
                                 !query.narrows(reuse.candidates->query)))
            reuse.candidates.reset();
        reuse.keep_candidates = [this](std::shared_ptr<const CandidateSet> set) {
            keep(candidates_, std::move(set));
        };
        reuse.keep_ranked = [this](std::shared_ptr<const RankedSet> set) {
            keep(ranked_, std::move(set));
        };
        job = std::make_shared<OfflineSearch>(id, std::move(request), std::move(query),
                                              thread_count(), std::move(reuse));
    } else {
        job =
            std::make_shared<LiveSearch>(id, std::move(request), std::move(query), thread_count());
    }
    const std::size_t tasks = job->first_phase_tasks();
    if (announce)
        announce(id);
    {
        std::lock_guard lock(mutex_);
        if (stopping_)
            return id;
        entries_.push_back(Entry{std::move(job), tasks});
        ++posted_;
    }
    work_ready_.notify_all();
    return id;
}

void SearchExecutor::cancel(SearchId id) {
    std::shared_ptr<SearchJob> released;
    {
        std::lock_guard lock(mutex_);
        for (auto entry = entries_.begin(); entry != entries_.end(); ++entry) {
            if (entry->job->id() != id)
                continue;
            entry->job->cancel();
            if (entry->running == 0) {
                released = std::move(entry->job);
                retire(entry);
            }
            break;
        }
    }
    // The job, and whatever its callbacks hold, is freed outside the lock.
}

void SearchExecutor::cancel_all() {
    std::vector<std::shared_ptr<SearchJob>> released;
    std::lock_guard lock(mutex_);
    for (auto entry = entries_.begin(); entry != entries_.end();) {
        const auto next = std::next(entry);
        entry->job->cancel();
        if (entry->running == 0) {
            released.push_back(std::move(entry->job));
            retire(entry);
        }
        entry = next;
    }
}

bool SearchExecutor::wait_idle(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return idle_.wait_for(lock, timeout, [this] { return entries_.empty(); });
}

std::size_t SearchExecutor::active_searches() const {
    std::lock_guard lock(mutex_);
    return entries_.size();
}

template <typename T>
void SearchExecutor::keep(std::shared_ptr<const T>& kept, std::shared_ptr<const T> set) {
    std::shared_ptr<const T> old;
    std::lock_guard lock(mutex_);
    old = std::exchange(kept, std::move(set));
}

SearchExecutor::Entries::iterator SearchExecutor::next_runnable() {
    return std::find_if(entries_.begin(), entries_.end(), [](const Entry& entry) {
        return entry.next_task < entry.task_count && !entry.job->cancelled();
    });
}

void SearchExecutor::retire(Entries::iterator entry) {
    entries_.erase(entry);
    if (entries_.empty())
        idle_.notify_all();
}

void SearchExecutor::work(unsigned worker) {
    std::unique_lock lock(mutex_);
    for (;;) {
        const auto entry = next_runnable();
        if (entry == entries_.end()) {
            if (stopping_)
                return;
            if (!entries_.empty()) {
                // Another worker is ending this phase: the next one is usually ready soon.
                const std::uint64_t seen = posted_.load();
                lock.unlock();
                const auto until = std::chrono::steady_clock::now() + kAwake;
                while (posted_.load() == seen && std::chrono::steady_clock::now() < until)
                    std::this_thread::yield();
                lock.lock();
                if (posted_.load() != seen || stopping_)
                    continue;
            }
            work_ready_.wait(lock);
            continue;
        }
        const std::size_t task = entry->next_task++;
        ++entry->running;
        std::shared_ptr<SearchJob> job = entry->job;
        lock.unlock();
        if (!job->cancelled()) {
            try {
                job->run_task(task, worker);
            } catch (...) {
                support::report_caught("a search task");
                // A task that throws (out of memory) ends the search without results.
                job->cancel();
            }
        }
        lock.lock();
        --entry->running;
        ++entry->done;
        std::size_t next_phase = 0;
        if (!job->cancelled() && entry->done == entry->task_count) {
            // The phase end counts as running, so that cancel() leaves the entry in place.
            ++entry->running;
            lock.unlock();
            try {
                next_phase = job->finish_phase(worker);
            } catch (...) {
                support::report_caught("the end of a search phase");
                job->cancel();
            }
            lock.lock();
            --entry->running;
            if (next_phase > 0 && !job->cancelled()) {
                entry->task_count = next_phase;
                entry->next_task = 0;
                entry->done = 0;
                ++posted_;
                work_ready_.notify_all();
                continue;
            }
            retire(entry);
        } else if (job->cancelled() && entry->running == 0) {
            retire(entry);
        }
        // Let go of the job outside the lock: this worker may hold the last reference.
        lock.unlock();
        job.reset();
        lock.lock();
    }
}

} // namespace corvantile::engine
