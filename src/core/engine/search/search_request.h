// What a search is asked for and what it reports.
#pragma once

#include "core/engine/catalog/catalog.h"
#include "core/engine/match/query.h"
#include "core/engine/match/ranking.h"
#include "core/engine/search/usage.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace corvantile::engine {

// Identifies a search; never 0.
using SearchId = std::uint32_t;

// One result. The views and spans are valid only during the callback that reports it.
struct SearchHit {
    ItemView item;
    std::uint32_t index = 0; // the item's index in the catalog snapshot (offline searches)
    std::int32_t score = 0;  // higher is better
    MatchTier tier = MatchTier::PathOnly;
    std::span<const std::uint32_t> name_positions; // byte offsets of matched characters
    std::span<const std::uint32_t> path_positions;
};

// Called on the executor's worker threads, never two at once for the same search. Each call is
// decided (the search's flag checked) right before it is made: after cancel(id) has returned no
// further call for that search is begun, while one already under way may still finish. A
// cancelled search gets no on_done.
struct SearchCallbacks {
    std::function<void(SearchId, std::span<const SearchHit>)> on_batch; // best first
    std::function<void(SearchId)> on_done;
};

// Tells a real-time source to stop walking.
class CancelToken {
public:
    CancelToken(const std::atomic<bool>& cancelled, const std::atomic<bool>& satisfied)
        : cancelled_(&cancelled), satisfied_(&satisfied) {}
    bool cancelled() const {
        return cancelled_->load(std::memory_order_relaxed) ||
               satisfied_->load(std::memory_order_relaxed);
    }

private:
    const std::atomic<bool>* cancelled_;
    const std::atomic<bool>* satisfied_;
};

// A real-time source: walks its items, handing each to emit, and returns early once the
// token is cancelled. The ItemData views need only live during the emit call.
using LiveSource =
    std::function<void(const std::function<void(const ItemData&)>& emit, const CancelToken&)>;

struct SearchRequest {
    std::string text;
    MatchOptions match;
    std::size_t min_chars = 1;     // a query with fewer characters reports nothing
    std::size_t max_results = 100; // 0: every match
    std::size_t batch_size = 32;   // results per on_batch call
    bool positions = true;         // report matched character positions

    // Offline search: the catalog snapshot to search. When null, a real-time search walks
    // the sources instead, streaming matches as they are found.
    std::shared_ptr<const CatalogSnapshot> catalog;
    std::vector<LiveSource> sources;

    UsageBoosts boosts; // from UsageStore::boosts_for(text, now)
    SearchCallbacks callbacks;
};

} // namespace corvantile::engine
