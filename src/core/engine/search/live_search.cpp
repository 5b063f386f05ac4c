#include "core/engine/search/live_search.h"

#include "core/engine/text/text_fold.h"
#include "support/event_report.h"

#include <algorithm>

namespace corvantile::engine {

LiveSearch::LiveSearch(SearchId id, SearchRequest request, Query query, unsigned workers)
    : SearchJob(id, std::move(request.callbacks)), request_(std::move(request)),
      query_(std::move(query)), workers_(std::max(1u, workers)) {}

std::size_t LiveSearch::first_phase_tasks() {
    return std::max<std::size_t>(1, request_.sources.size());
}

void LiveSearch::run_task(std::size_t task, unsigned worker) {
    if (task >= request_.sources.size() || !request_.sources[task])
        return;
    WorkerState& state = workers_[worker % workers_.size()];
    if (!state.matcher)
        state.matcher.emplace(query_);
    const CancelToken token(cancelled_, satisfied_);
    std::vector<Found> pending;
    const std::function<void(const ItemData&)> emit = [&](const ItemData& item) {
        if (token.cancelled())
            return;
        consider(item, state, pending);
        if (pending.size() >= std::max<std::size_t>(1, request_.batch_size))
            flush(pending);
    };
    try {
        request_.sources[task](emit, token);
    } catch (...) {
        support::report_caught("a live search source");
        // A failing source ends its own walk; the others go on.
    }
    flush(pending);
}

void LiveSearch::consider(const ItemData& item, WorkerState& state, std::vector<Found>& pending) {
    state.folded_name.clear();
    state.folded_path.clear();
    fold_text(item.name, state.folded_name);
    fold_text(item.path, state.folded_path);
    const std::uint32_t name_mask = char_mask(state.folded_name);
    const std::uint32_t mask = name_mask | char_mask(state.folded_path);
    if ((mask & query_.mask()) != query_.mask())
        return;
    const ItemText text{item.name, item.path, state.folded_name, state.folded_path, name_mask};
    const auto result =
        state.matcher->match(text, Floor{}, request_.positions ? &state.positions : nullptr);
    if (!result)
        return;
    Found found{std::string(item.name),
                std::string(item.path),
                std::string(item.payload),
                std::string(item.source),
                item.kind,
                result->score,
                result->tier,
                {},
                {}};
    if (!request_.boosts.empty())
        found.score += request_.boosts.boost(
            usage_key_hash(ItemView{item.name, item.path, item.payload, item.source, item.kind}));
    if (request_.positions) {
        found.name_positions = state.positions.name;
        found.path_positions = state.positions.path;
    }
    pending.push_back(std::move(found));
}

std::size_t LiveSearch::claim(std::size_t n) {
    const std::size_t limit = request_.max_results;
    if (limit == 0)
        return n;
    std::size_t reported = reported_.load();
    std::size_t take = 0;
    do {
        take = std::min(n, limit - std::min(limit, reported));
    } while (!reported_.compare_exchange_weak(reported, reported + take));
    if (reported + take >= limit)
        satisfied_.store(true);
    return take;
}

void LiveSearch::flush(std::vector<Found>& pending) {
    if (pending.empty())
        return;
    std::stable_sort(pending.begin(), pending.end(), [](const Found& a, const Found& b) {
        if (a.score != b.score)
            return a.score > b.score;
        return a.name.size() < b.name.size();
    });
    pending.resize(claim(pending.size()));
    std::vector<SearchHit> hits;
    hits.reserve(pending.size());
    for (const Found& found : pending) {
        SearchHit hit;
        hit.item = ItemView{found.name, found.path, found.payload, found.source, found.kind};
        hit.score = found.score;
        hit.tier = found.tier;
        hit.name_positions = found.name_positions;
        hit.path_positions = found.path_positions;
        hits.push_back(hit);
    }
    if (!hits.empty())
        deliver(hits);
    pending.clear();
}

std::size_t LiveSearch::finish_phase(unsigned) {
    deliver_done();
    return 0;
}

} // namespace corvantile::engine
