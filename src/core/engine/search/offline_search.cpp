#include "core/engine/search/offline_search.h"

#include <algorithm>
#include <bit>

namespace corvantile::engine {

namespace {

// A floor as one number that grows as the floor rises: the score first, then the shortness of
// the name. 0 is no floor.
std::uint64_t pack_floor(Floor floor) {
    if (floor.none())
        return 0;
    return std::uint64_t(std::uint32_t(floor.score) ^ 0x80000000u) << 32 |
           (0xFFFFFFFFu - floor.length);
}

Floor unpack_floor(std::uint64_t packed) {
    if (packed == 0)
        return {};
    return {std::int32_t(std::uint32_t(packed >> 32) ^ 0x80000000u),
            0xFFFFFFFFu - std::uint32_t(packed)};
}

} // namespace

OfflineSearch::OfflineSearch(SearchId id, SearchRequest request, Query query, unsigned workers,
                             SearchReuse reuse)
    : SearchJob(id, std::move(request.callbacks)), request_(std::move(request)),
      query_(std::move(query)), reuse_(std::move(reuse)), workers_(std::max(1u, workers)),
      shared_top_(request_.max_results) {
    if (reuse_.ranked) {
        phase_ = Phase::Ready;
        return;
    }
    for (WorkerState& state : workers_)
        state.top = TopK(request_.max_results);
    const CatalogSnapshot& catalog = *request_.catalog;
    candidates_ = std::make_shared<CandidateSet>();
    candidates_->catalog = request_.catalog;
    candidates_->query = query_;
    candidates_->bits.resize(catalog.slot_count());
    for (std::size_t s = 0; s < catalog.slot_count(); ++s) {
        const std::size_t size = catalog.slot(s).segment->size();
        candidates_->bits[s].assign((size + 63) / 64, 0);
        for (std::size_t begin = 0; begin < size; begin += kChunkItems)
            chunks_.push_back({std::uint32_t(s), std::uint32_t(begin),
                               std::uint32_t(std::min(size, begin + kChunkItems))});
    }
    if (chunks_.empty())
        chunks_.push_back({0, 0, 0});
}

std::size_t OfflineSearch::first_phase_tasks() {
    return phase_ == Phase::Ready ? 1 : chunks_.size();
}

OfflineSearch::WorkerState& OfflineSearch::state_of(unsigned worker) {
    WorkerState& state = workers_[worker % workers_.size()];
    if (!state.matcher)
        state.matcher.emplace(query_);
    return state;
}

void OfflineSearch::run_task(std::size_t task, unsigned worker) {
    if (phase_ == Phase::Ready)
        return;
    if (phase_ == Phase::Sort) {
        WorkerState& share = workers_[task];
        share.sorted = share.top.take();
        std::sort(share.sorted.begin(), share.sorted.end(), RankBefore{});
        return;
    }
    const Chunk& chunk = chunks_[task];
    if (chunk.end > chunk.begin)
        scan(chunk, state_of(worker));
}

Floor OfflineSearch::floor_of(const WorkerState& state) const {
    Floor floor = state.top.floor();
    if (const std::uint64_t shared = shared_floor_.load(std::memory_order_relaxed);
        shared > pack_floor(floor))
        floor = unpack_floor(shared);
    if (!floor.none() && !request_.boosts.empty())
        floor = {floor.score - request_.boosts.max()};
    return floor;
}

// Looks at the items of a chunk (those left by the previous search, when reusing it), 64 at
// a time, in the pass of the search's phase. The steps of a pass are inlined into its loop.
void OfflineSearch::scan(const Chunk& chunk, WorkerState& state) {
    if (phase_ == Phase::Paths)
        scan_paths(chunk, state);
    else
        scan_names(chunk, state);
}

// Which of the found items of a 64 are left once only names that begin like the query can
// enter: the others then go four at a time.
[[gnu::always_inline]] inline std::uint64_t
OfflineSearch::left_by_first_byte(const Segment& segment, std::uint32_t word, std::uint32_t count,
                                  std::uint64_t found, Floor floor, const Matcher& matcher) {
    if (found && matcher.other_first_bound() < floor.score)
        found &= segment.beginning_with(word * 64, count, matcher.first_byte());
    return found;
}

// The names pass marks in the candidate bits each item whose masks admit the query (the paths
// pass reads those bits back), picks among those whose names hold the query's characters the
// ones that might still rank high enough from what is known without their text, fetches
// their texts together, then matches their names.
void OfflineSearch::scan_names(const Chunk& chunk, WorkerState& state) {
    const SegmentSlot& slot = request_.catalog->slot(chunk.slot);
    const Segment& segment = *slot.segment;
    const std::uint64_t* previous =
        reuse_.candidates ? reuse_.candidates->bits[chunk.slot].data() : nullptr;
    std::uint64_t* kept = candidates_->bits[chunk.slot].data();
    const std::uint32_t mask = query_.mask();
    for (std::uint32_t word = chunk.begin / 64; word * 64 < chunk.end; ++word) {
        const std::uint32_t count = std::min<std::uint32_t>(64, chunk.end - word * 64);
        std::uint64_t todo = previous ? previous[word] : ~std::uint64_t{0};
        if (count < 64)
            todo &= (std::uint64_t{1} << count) - 1;
        std::uint64_t by_name = 0;
        std::uint64_t found = todo ? todo & segment.admitted(word * 64, count, mask, &by_name) : 0;
        if (slot.removed != nullptr)
            found &= ~(*slot.removed)[word];
        kept[word] = found;
        // The names pass looks only at the items whose names hold the query's characters.
        const Floor floor = floor_of(state);
        found = left_by_first_byte(segment, word, count, found & by_name, floor, *state.matcher);
        match_names(segment, chunk, word, found, floor, state);
        if (word % 16 == 0 && cancelled())
            return;
    }
}

// Matches the names of the found items of a 64 that may still rank above the floor.
[[gnu::always_inline]] inline void
OfflineSearch::match_names(const Segment& segment, const Chunk& chunk, std::uint32_t word,
                           std::uint64_t found, Floor floor, WorkerState& state) {
    std::uint32_t picked[64];
    std::size_t picked_count = 0;
    for (std::uint64_t left = found; left != 0;) {
        const std::uint32_t i = word * 64 + std::uint32_t(std::countr_zero(left));
        left &= left - 1;
        if (!state.matcher->may_reach(segment.head(i), segment.name_mask(i), segment.name_length(i),
                                      floor))
            continue;
        segment.prefetch_item(i);
        picked[picked_count++] = i;
    }
    if (picked_count == 0)
        return;
    const std::uint32_t start = request_.catalog->slot_start(chunk.slot);
    if (state.memo_off) {
        for (std::size_t k = 0; k < picked_count; ++k) {
            const std::uint32_t i = picked[k];
            enter(segment, i, start + i, matched_name_score(segment, i, state), state);
        }
        return;
    }
    // The names' memo slots are fetched together, before any is read.
    NameMemo& memo = memo_of(state);
    std::uint64_t keys[64];
    for (std::size_t k = 0; k < picked_count; ++k) {
        keys[k] = NameMemo::key_of(segment.name(picked[k]));
        memo.prefetch(keys[k]);
    }
    for (std::size_t k = 0; k < picked_count; ++k) {
        const std::uint32_t i = picked[k];
        enter(segment, i, start + i, name_score(segment, i, keys[k], state), state);
    }
    // After a fair trial, a memo that knows fewer than one name in sixteen is left off.
    constexpr std::uint32_t kTrial = 4096;
    if (state.memo_asked >= kTrial && state.memo_known < state.memo_asked / 16)
        state.memo_off = true;
}

// The paths pass looks at the candidates the names pass marked, bounds their files folder by
// folder, and matches those that may rank, best bound first: when many wait, and at the
// chunk's end.
void OfflineSearch::scan_paths(const Chunk& chunk, WorkerState& state) {
    const Segment& segment = *request_.catalog->slot(chunk.slot).segment;
    if (!segment.has_paths())
        return;
    const std::uint32_t start = request_.catalog->slot_start(chunk.slot);
    const std::uint64_t* kept = candidates_->bits[chunk.slot].data();
    for (std::uint32_t word = chunk.begin / 64; word < chunk.begin / 64 + kFetchAhead; ++word)
        fetch_folders(segment, word, kept, state);
    for (std::uint32_t word = chunk.begin / 64; word * 64 < chunk.end; ++word) {
        fetch_folders(segment, word + kFetchAhead, kept, state);
        const std::uint32_t count = std::min<std::uint32_t>(64, chunk.end - word * 64);
        const Floor floor = floor_of(state);
        queue_files(segment, word,
                    left_by_first_byte(segment, word, count, kept[word], floor, *state.matcher),
                    floor, state);
        if (state.waiting.size() >= kMostWaiting)
            match_waiting(segment, start, state);
        if (word % 16 == 0 && cancelled()) {
            state.waiting.clear();
            return;
        }
    }
    match_waiting(segment, start, state);
}

// Files of a 64 that may rank wait, with their bounds, to be matched best first. Once the
// floor reaches the most a match through a path can score, only shorter names can enter, and
// then none.
[[gnu::always_inline]] inline void OfflineSearch::queue_files(const Segment& segment,
                                                              std::uint32_t word,
                                                              std::uint64_t found, Floor floor,
                                                              WorkerState& state) {
    const std::int32_t most = state.matcher->path_only_bound();
    if (floor.score > most)
        return;
    const bool by_length = floor.score == most;
    for (std::uint64_t left = found; left != 0;) {
        const std::uint32_t i = word * 64 + std::uint32_t(std::countr_zero(left));
        left &= left - 1;
        if (!segment.has_path(i) || (by_length && floor.excludes(most, segment.name_length(i))))
            continue;
        if (const FolderBound::FileReach reach = folder_bound_of(segment, i, left, floor, state);
            reach.bound != kNoFloor)
            state.waiting.push_back({reach, i});
    }
}

// The files that wait are matched from the highest bound down: the best of them raise the
// floor first, and the rest then mostly fall below it without being matched. A file whose
// bound is its score needs no match.
void OfflineSearch::match_waiting(const Segment& segment, std::uint32_t start, WorkerState& state) {
    auto& waiting = state.waiting;
    std::sort(waiting.begin(), waiting.end(),
              [](const Waiting& a, const Waiting& b) { return a.reach.bound > b.reach.bound; });
    const Matcher& matcher = *state.matcher;
    constexpr std::size_t kAhead = 4;
    const auto fetch = [&](const Waiting& file) {
        if (!file.reach.is_score)
            segment.prefetch_item(file.item);
    };
    for (std::size_t k = 0; k < std::min(kAhead, waiting.size()); ++k)
        fetch(waiting[k]);
    for (std::size_t k = 0; k < waiting.size(); ++k) {
        if (k + kAhead < waiting.size())
            fetch(waiting[k + kAhead]);
        const std::uint32_t i = waiting[k].item;
        const FolderBound::FileReach reach = waiting[k].reach;
        if (floor_of(state).excludes(reach.bound, segment.name_length(i)))
            continue;
        if (reach.is_score) {
            enter(segment, i, start + i, reach.bound, state);
            continue;
        }
        // Most paths that the masks let through still lack the query in order: reading them
        // once, 16 bytes at a time, is cheaper than preparing them for matching.
        if (matcher.path_may_hold(segment.folded_path(i, state.fold_room), segment.name_mask(i)))
            enter(segment, i, start + i, path_score(segment, i, state), state);
    }
    waiting.clear();
}

inline std::uint64_t OfflineSearch::starts_of(const Segment& segment, std::uint32_t first,
                                              FolderStarts& starts) {
    FolderStarts::Known& known = starts.known[first / 64 % starts.known.size()];
    if (known.segment != &segment || known.word != first) [[unlikely]]
        known = {&segment, first,
                 segment.folder_starts(first, std::min<std::size_t>(64, segment.size() - first))};
    return known.bits;
}

inline std::uint32_t OfflineSearch::next_folder(const Segment& segment, std::uint32_t from,
                                                FolderStarts& starts) {
    const auto size = static_cast<std::uint32_t>(segment.size());
    while (from < size) {
        const std::uint32_t word = from / 64 * 64;
        if (const std::uint64_t bits = starts_of(segment, word, starts) >> (from - word); bits != 0)
            return from + std::uint32_t(std::countr_zero(bits));
        from = word + 64;
    }
    return size;
}

// A folder is read from its first candidate's texts: those of the folders that begin in a 64
// are fetched while the 64s before it are looked at.
void OfflineSearch::fetch_folders(const Segment& segment, std::uint32_t word,
                                  const std::uint64_t* kept, WorkerState& state) {
    const std::uint32_t first = word * 64;
    if (first >= segment.size())
        return;
    const std::uint64_t candidates = kept[word];
    if (candidates == 0)
        return;
    std::uint64_t starts = starts_of(segment, first, state.starts);
    while (starts != 0) {
        const auto start = std::uint32_t(std::countr_zero(starts));
        starts &= starts - 1;
        const std::uint64_t on = candidates & (~std::uint64_t{0} << start);
        // The folder's first candidate, when it lies before the next folder.
        if (on != 0 && (starts == 0 || std::countr_zero(on) < std::countr_zero(starts))) {
            const std::uint32_t i = first + std::uint32_t(std::countr_zero(on));
            segment.prefetch_entries(i);
            segment.prefetch_item(i);
        }
    }
}

FolderBound::FileReach OfflineSearch::folder_bound_of(const Segment& segment, std::uint32_t i,
                                                      std::uint64_t& left, Floor floor,
                                                      WorkerState& state) {
    if (!state.folders)
        state.folders.emplace(query_);
    FolderBound& folders = *state.folders;
    const FolderBound::FileReach unknown{state.matcher->path_only_bound()};
    const FolderBound::FileReach none{};
    // A name with a separator of its own could hold a separator of the query.
    if (!folders.usable() || (segment.name_mask(i) & kSeparatorMaskBit))
        return unknown;
    FolderRun& run = state.run;
    if (!run.covers(segment, i)) {
        // Files that share a folder are marked as such; an item alone in its folder must be
        // a file (its name ends its path, after a separator) to be bounded by it.
        if (!segment.same_folder(i) && (i + 1 >= segment.size() || !segment.same_folder(i + 1)) &&
            !is_file(segment, i, state.path_room))
            return unknown;
        run = {&segment, i, next_folder(segment, i + 1, state.starts)};
        run.folder = segment.folder(i);
        run.read = folders.read(run.folder);
        run.excluded = run.read && !folders.any_reachable();
    }
    if (!run.read)
        return unknown;
    // The files of the folder among those left in i's 64.
    const std::uint32_t block = i / 64 * 64;
    const std::uint32_t upto = std::min(run.end, block + 64);
    const std::uint64_t in_run = (~std::uint64_t{0} >> (64 - (upto - i))) << (i - block);
    if (run.excluded) {
        left &= ~in_run;
        return none;
    }
    // Which of them can be reached at all is read off their name masks, together: after the
    // first one ruled out, or once the folder as a whole is not.
    const auto screen = [&] {
        run.screened_to = upto;
        std::uint64_t ruled_out = 0;
        for (std::uint64_t todo = left & in_run; todo != 0; todo &= todo - 1) {
            const auto j = block + std::uint32_t(std::countr_zero(todo));
            const std::uint32_t mask = segment.name_mask(j);
            if (!(mask & kSeparatorMaskBit) && !folders.reachable(mask))
                ruled_out |= todo & -todo;
        }
        left &= ~ruled_out;
    };
    if (run.screened_to <= i && !folders.reachable(segment.name_mask(i))) {
        screen();
        return none;
    }
    if (!run.aligned) {
        folders.align();
        run.aligned = true;
        run.bound = folders.folder_bound();
    }
    // The floor only rises: a folder ruled out stays so (whatever its files' name lengths).
    if (run.bound == kNoFloor || floor.excludes(run.bound, 0)) {
        run.excluded = true;
        left &= ~in_run;
        return none;
    }
    if (run.screened_to <= i)
        screen();
    const std::uint32_t length = segment.name_length(i);
    if (floor.excludes(run.bound, length))
        return none;
    // With several words, which of them the name can hold tells much of what it can reach.
    if (query_.words().size() > 1 &&
        floor.excludes(folders.names_bound(segment.name_mask(i)), length))
        return none;
    const std::int32_t own = folders.file_bound(static_cast<unsigned char>(segment.head(i).first()),
                                                segment.name_mask(i));
    if (own == kNoFloor || floor.excludes(own, length))
        return none;
    const FolderBound::FileReach exact = folders.exact_bound(
        segment.path(i, run.folder, state.path_room),
        segment.folded_path(i, run.folder, state.fold_room), segment.name_mask(i));
    return exact.bound != kNoFloor && !floor.excludes(exact.bound, length) ? exact : none;
}

bool OfflineSearch::is_file(const Segment& segment, std::uint32_t i, std::string& room) {
    const std::string_view path = segment.path(i, room), name = segment.name(i);
    if (name.empty() || name.size() >= path.size())
        return false;
    const char before = path[path.size() - name.size() - 1];
    return (before == '\\' || before == '/') && path.ends_with(name);
}

NameMemo& OfflineSearch::memo_of(WorkerState& state) const {
    if (!state.memo)
        state.memo.emplace(std::clamp<std::size_t>(request_.catalog->size() / 16, 256, 65536));
    return *state.memo;
}

std::int32_t OfflineSearch::path_score(const Segment& segment, std::size_t i, WorkerState& state) {
    const Segment::FoldedTexts folded = segment.folded_texts(i, state.fold_room);
    const ItemText text{segment.name(i), segment.path(i, state.path_room), folded.name, folded.path,
                        segment.name_mask(i)};
    const auto result = state.matcher->match(text, floor_of(state), nullptr, PathUse::Needed);
    return result ? result->score : kNoFloor;
}

// The names pass looks for matches without the path, so a name that came up before (in
// another folder) has the outcome it had then.
std::int32_t OfflineSearch::name_score(const Segment& segment, std::size_t i, std::uint64_t key,
                                       WorkerState& state) {
    NameMemo& memo = *state.memo;
    ++state.memo_asked;
    if (const NameMemo::Recall recall = memo.recall(key);
        recall.outcome != NameMemo::Outcome::Unknown) {
        ++state.memo_known;
        return recall.outcome == NameMemo::Outcome::Matched ? recall.score : kNoFloor;
    }
    const std::int32_t score = matched_name_score(segment, i, state);
    if (score == kNoFloor)
        memo.remember_rejected(key);
    else
        memo.remember_match(key, score);
    return score;
}

std::int32_t OfflineSearch::matched_name_score(const Segment& segment, std::size_t i,
                                               WorkerState& state) {
    const ItemText text{
        segment.name(i), {}, segment.folded_name(i, state.fold_room), {}, segment.name_mask(i)};
    const auto result = state.matcher->match(text, floor_of(state), nullptr, PathUse::Never);
    return result ? result->score : kNoFloor;
}

void OfflineSearch::enter(const Segment& segment, std::size_t i, std::uint32_t index,
                          std::int32_t score, WorkerState& state) {
    if (score == kNoFloor)
        return;
    const std::string_view name = segment.name(i);
    if (!request_.boosts.empty())
        score += boost_of({name, segment.path(i, state.path_room), segment.payload(i),
                           request_.catalog->source_name(segment.source(i)), segment.kind(i)});
    const RankKey key{score, std::uint32_t(name.size()), index};
    state.top.push(key);
    if (workers_.size() > 1)
        share(key, state);
}

void OfflineSearch::share(const RankKey& key, WorkerState& state) {
    // A key that ties with the weakest kept one is left out (it would only displace it for an
    // earlier index): the floor then rises a little less, and many ties do not queue here.
    const Floor floor = unpack_floor(shared_floor_.load(std::memory_order_relaxed));
    if (shared_top_.capacity() == 0 || floor.excludes(key.score, key.length + 1))
        return;
    state.unshared.push_back(key);
    // A worker never waits for another here: while the list is busy, its keys wait their turn.
    std::unique_lock lock(shared_mutex_, std::try_to_lock);
    if (!lock)
        return;
    for (const RankKey& mine : state.unshared)
        shared_top_.push(mine);
    state.unshared.clear();
    shared_floor_.store(pack_floor(shared_top_.floor()), std::memory_order_relaxed);
}

std::int32_t OfflineSearch::boost_of(const ItemView& item) const {
    return request_.boosts.boost(usage_key_hash(item));
}

} // namespace corvantile::engine
