#include "core/engine/search/search_job.h"

#include "support/event_report.h"

namespace corvantile::engine {

SearchJob::SearchJob(SearchId id, SearchCallbacks callbacks)
    : id_(id), callbacks_(std::move(callbacks)) {}

bool SearchJob::deliver(std::span<const SearchHit> hits) {
    std::lock_guard lock(delivery_mutex_);
    // Checked under the lock, right before the call: once cancel() has stored the flag, no
    // later delivery gets past this point.
    if (cancelled_.load(std::memory_order_seq_cst))
        return false;
    if (!hits.empty() && callbacks_.on_batch) {
        try {
            callbacks_.on_batch(id_, hits);
        } catch (...) {
            support::report_caught("the delivery of search results");
            // A listener's failure must not take a worker thread down.
        }
    }
    return true;
}

void SearchJob::deliver_done() {
    std::lock_guard lock(delivery_mutex_);
    if (cancelled_.load(std::memory_order_seq_cst) || !callbacks_.on_done)
        return;
    try {
        callbacks_.on_done(id_);
    } catch (...) {
        support::report_caught("the end of a search");
    }
}

} // namespace corvantile::engine
