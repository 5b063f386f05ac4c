// The end of an offline search: the workers' bests gathered (or each worker's share sorted,
// then merged) and reported best first, in batches, with the matched positions when asked.
#include "core/engine/search/offline_search.h"

#include <algorithm>

namespace corvantile::engine {

namespace {

// Merges runs that are each sorted best first into one sorted vector.
std::vector<RankKey> merge_runs(std::vector<std::vector<RankKey>> runs) {
    while (runs.size() > 1) {
        std::vector<std::vector<RankKey>> next;
        for (std::size_t r = 0; r + 1 < runs.size(); r += 2) {
            std::vector<RankKey> merged(runs[r].size() + runs[r + 1].size());
            std::merge(runs[r].begin(), runs[r].end(), runs[r + 1].begin(), runs[r + 1].end(),
                       merged.begin(), RankBefore{});
            next.push_back(std::move(merged));
        }
        if (runs.size() % 2 == 1)
            next.push_back(std::move(runs.back()));
        runs = std::move(next);
    }
    return runs.empty() ? std::vector<RankKey>{} : std::move(runs.front());
}

} // namespace

// True when a match through a path could still enter the results.
bool OfflineSearch::paths_may_rank() const {
    const Floor floor = floor_of(workers_.front());
    return floor.none() ||
           !floor.excludes(tier_score(MatchTier::PathOnly, query_.max_alignment()), 0);
}

bool RankedSet::answers(const SearchRequest& request) const {
    return request.catalog && catalog.lock() == request.catalog && text == request.text &&
           match == request.match && max_results == request.max_results && boosts == request.boosts;
}

std::size_t OfflineSearch::finish_phase(unsigned worker) {
    if (phase_ == Phase::Ready) {
        if (reports())
            report(reuse_.ranked->ranked, state_of(worker));
        return 0;
    }
    if (phase_ == Phase::Names) {
        if (paths_may_rank() && !cancelled()) {
            phase_ = Phase::Paths;
            return chunks_.size();
        }
        return finish_scan(worker);
    }
    if (phase_ == Phase::Paths)
        return finish_scan(worker);
    std::vector<std::vector<RankKey>> runs;
    for (WorkerState& state : workers_)
        runs.push_back(std::move(state.sorted));
    report(merge_runs(std::move(runs)), state_of(worker));
    return 0;
}

std::size_t OfflineSearch::finish_scan(unsigned worker) {
    keep_candidates();
    std::size_t total = 0;
    for (WorkerState& state : workers_)
        total += state.top.size();
    // Every match is wanted: let each worker sort its own share, then merge.
    if (request_.max_results == 0 && total > kChunkItems && workers_.size() > 1) {
        phase_ = Phase::Sort;
        return workers_.size();
    }
    std::vector<RankKey> keys;
    for (WorkerState& state : workers_) {
        std::vector<RankKey> mine = state.top.take();
        keys.insert(keys.end(), mine.begin(), mine.end());
    }
    sort_ranked(keys, request_.max_results);
    keep_ranked(keys);
    if (reports())
        report(std::move(keys), state_of(worker));
    else
        deliver_done();
    return 0;
}

void OfflineSearch::keep_candidates() {
    if (reuse_.keep_candidates && !cancelled())
        reuse_.keep_candidates(std::move(candidates_));
    candidates_.reset();
}

void OfflineSearch::keep_ranked(const std::vector<RankKey>& keys) {
    // A search for every match can rank a good part of the catalog: not worth keeping.
    if (!reuse_.keep_ranked || request_.max_results == 0 || cancelled())
        return;
    auto set = std::make_shared<RankedSet>();
    set->catalog = request_.catalog;
    set->text = request_.text;
    set->match = request_.match;
    set->max_results = request_.max_results;
    set->boosts = request_.boosts;
    set->ranked = keys;
    reuse_.keep_ranked(std::move(set));
}

void OfflineSearch::report(std::vector<RankKey> ranked, WorkerState& state) {
    const CatalogSnapshot& catalog = *request_.catalog;
    const std::size_t batch_size = std::max<std::size_t>(1, request_.batch_size);
    struct Marks {
        std::size_t name_begin, name_end, path_end; // ranges of one hit in `offsets`
    };
    std::vector<SearchHit> hits;
    std::vector<std::uint32_t> offsets;
    std::vector<Marks> marks;
    std::vector<std::pair<std::size_t, std::size_t>> located; // slot and position of each
    std::vector<std::string> paths(batch_size); // the batch's paths the catalog keeps in parts
    for (std::size_t first = 0; first < ranked.size(); first += batch_size) {
        if (cancelled())
            return;
        const std::size_t last = std::min(ranked.size(), first + batch_size);
        hits.clear();
        offsets.clear();
        marks.clear();
        // Results come in score order, scattered over memory: fetch ahead what they need.
        located.clear();
        for (std::size_t r = first; r < last; ++r) {
            located.push_back(catalog.locate(ranked[r].index));
            catalog.slot(located.back().first).segment->prefetch_entries(located.back().second);
        }
        for (const auto& [s, i] : located)
            catalog.slot(s).segment->prefetch_texts(i);
        for (std::size_t r = first; r < last; ++r) {
            const RankKey& key = ranked[r];
            const auto [s, i] = located[r - first];
            const Segment& segment = *catalog.slot(s).segment;
            SearchHit hit;
            hit.item = {segment.name(i), segment.path(i, paths[r - first]), segment.payload(i),
                        catalog.source_name(segment.source(i)), segment.kind(i)};
            hit.index = key.index;
            hit.score = key.score;
            const std::int32_t boost = request_.boosts.empty() ? 0 : boost_of(hit.item);
            hit.tier = MatchTier(std::clamp<std::int32_t>((key.score - boost) / kTierSpan, 0,
                                                          std::int32_t(MatchTier::Exact)));
            Marks mark{offsets.size(), offsets.size(), offsets.size()};
            if (request_.positions) {
                const Segment::FoldedTexts folded = segment.folded_texts(i, state.fold_room);
                const ItemText text{segment.name(i), hit.item.path, folded.name, folded.path};
                if (const auto again = state.matcher->match(text, Floor{}, &state.positions)) {
                    hit.tier = again->tier;
                    const auto& found = state.positions;
                    offsets.insert(offsets.end(), found.name.begin(), found.name.end());
                    mark.name_end = offsets.size();
                    offsets.insert(offsets.end(), found.path.begin(), found.path.end());
                    mark.path_end = offsets.size();
                }
            }
            marks.push_back(mark);
            hits.push_back(hit);
        }
        const std::span<const std::uint32_t> all(offsets);
        for (std::size_t h = 0; h < hits.size(); ++h) {
            const Marks& mark = marks[h];
            hits[h].name_positions = all.subspan(mark.name_begin, mark.name_end - mark.name_begin);
            hits[h].path_positions = all.subspan(mark.name_end, mark.path_end - mark.name_end);
        }
        if (!deliver(hits))
            return;
    }
    deliver_done();
}

} // namespace corvantile::engine
