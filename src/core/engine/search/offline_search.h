// A search over a catalog snapshot: the items are scanned in chunks by all workers, each
// keeping the best results it saw in a bounded heap; the heaps are merged at the end and the
// results reported best first, in batches.
#pragma once

#include "core/engine/match/folder_bound.h"
#include "core/engine/match/matcher.h"
#include "core/engine/match/name_memo.h"
#include "core/engine/search/search_job.h"

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace corvantile::engine {

// The items that may match a completed search's query. A later search whose query narrows
// that one (the user typed on) needs to look at these items only.
struct CandidateSet {
    std::weak_ptr<const CatalogSnapshot> catalog; // not kept alive for the sake of reuse
    Query query;
    std::vector<std::vector<std::uint64_t>> bits; // per slot, a bit per item
};

// The best results of a completed search, best first. A later search for the same text, with
// the same options and usage boosts, over the same catalog snapshot, reports them without a
// scan: the program searches ahead while the typing delay runs.
struct RankedSet {
    std::weak_ptr<const CatalogSnapshot> catalog;
    std::string text;
    MatchOptions match;
    std::size_t max_results = 0;
    UsageBoosts boosts;
    std::vector<RankKey> ranked;

    bool answers(const SearchRequest& request) const;
};

// What an offline search takes from the searches before it, and where it leaves its own.
struct SearchReuse {
    std::shared_ptr<const CandidateSet> candidates; // restrict the scan to these (null: all)
    std::shared_ptr<const RankedSet> ranked;        // report these without a scan (null: scan)
    std::function<void(std::shared_ptr<const CandidateSet>)> keep_candidates;
    std::function<void(std::shared_ptr<const RankedSet>)> keep_ranked;
};

class OfflineSearch final : public SearchJob {
public:
    OfflineSearch(SearchId id, SearchRequest request, Query query, unsigned workers,
                  SearchReuse reuse);

    std::size_t first_phase_tasks() override;
    void run_task(std::size_t task, unsigned worker) override;
    std::size_t finish_phase(unsigned worker) override;

    static constexpr std::size_t kChunkItems = 8192; // a multiple of 64

private:
    // Names first: the matches found there usually set a floor that no match through a path
    // can reach, and the Paths pass is left out; otherwise it looks at the items that need
    // their path. Ready: the results are known, and only reported.
    enum class Phase { Names, Paths, Sort, Ready };
    struct Chunk {
        std::uint32_t slot;
        std::uint32_t begin; // a multiple of 64
        std::uint32_t end;
    };
    // The files of one folder, which the paths pass bounds together: items head to end.
    struct FolderRun {
        const Segment* segment = nullptr;
        std::uint32_t head = 0;
        std::uint32_t end = 0;
        bool read = false;             // false: its files are matched one by one
        std::string_view folder{};     // the folder's text, when read
        bool aligned = false;          // once one of its files is left by the screening
        std::int32_t bound = kNoFloor; // the most any of its files can score through the path
        bool excluded = false;         // none of its files can enter any more
        std::uint32_t screened_to = 0; // its files before this were screened by their masks

        bool covers(const Segment& in, std::uint32_t i) const {
            return segment == &in && i >= head && i < end;
        }
    };
    // Which of 64 items begin a folder (Segment::folder_starts), for the last few 64s looked
    // at: the folder at hand and those fetched ahead of it are found in the same ones.
    struct FolderStarts {
        struct Known {
            const Segment* segment = nullptr;
            std::uint32_t word = 0; // the first of the 64
            std::uint64_t bits = 0;
        };
        std::array<Known, 8> known; // by the 64's number, modulo 8
    };
    // A file of the paths pass that may rank, with the most it can score (or its score).
    struct Waiting {
        FolderBound::FileReach reach;
        std::uint32_t item;
    };
    // Files that wait before they are matched, at most (then they are matched at once).
    static constexpr std::size_t kMostWaiting = 1024;
    struct WorkerState {
        std::optional<Matcher> matcher;
        std::optional<FolderBound> folders; // made on first use in the paths pass
        FolderRun run;
        FolderStarts starts;
        TopK top;
        std::vector<Waiting> waiting;  // files of the paths pass still to be matched
        std::vector<RankKey> unshared; // offered to the search's best while it was busy
        std::vector<RankKey> sorted;   // the share of every match, sorted in the Sort phase
        MatchPositions positions;
        std::optional<NameMemo> memo; // the names pass's outcomes, made on first use
        // How often the memo was asked and knew the name; a memo that seldom knows one is
        // left off for the rest of the search (names that are all different, as numbered files'
        // are, cost a hash each and save nothing).
        std::uint32_t memo_asked = 0, memo_known = 0;
        bool memo_off = false;
        std::string fold_room; // folded texts the catalog does not store
        std::string path_room; // paths the catalog keeps in parts
    };

    // A chunk's scan in the pass of the phase, and the steps of each pass.
    void scan(const Chunk& chunk, WorkerState& state);
    void scan_names(const Chunk& chunk, WorkerState& state);
    void scan_paths(const Chunk& chunk, WorkerState& state);
    static std::uint64_t left_by_first_byte(const Segment& segment, std::uint32_t word,
                                            std::uint32_t count, std::uint64_t found, Floor floor,
                                            const Matcher& matcher);
    void match_names(const Segment& segment, const Chunk& chunk, std::uint32_t word,
                     std::uint64_t found, Floor floor, WorkerState& state);
    void queue_files(const Segment& segment, std::uint32_t word, std::uint64_t found, Floor floor,
                     WorkerState& state);
    // The score (before usage) of item i's match in the names pass, whose name has this memo
    // key, and in the paths pass; kNoFloor when it cannot enter.
    std::int32_t name_score(const Segment& segment, std::size_t i, std::uint64_t key,
                            WorkerState& state);
    // The same without the memo.
    std::int32_t matched_name_score(const Segment& segment, std::size_t i, WorkerState& state);
    std::int32_t path_score(const Segment& segment, std::size_t i, WorkerState& state);
    // Adds item i with this score (kNoFloor: none) to the worker's results.
    void enter(const Segment& segment, std::size_t i, std::uint32_t index, std::int32_t score,
               WorkerState& state);
    // The most item i can score through its path, as far as its folder tells (each folder is
    // looked at once for all its files), or its score; kNoFloor when that provably cannot
    // rank above floor. left: the items of i's 64 that are still to be looked at, after i;
    // the files of i's folder that are ruled out with it are taken out.
    FolderBound::FileReach folder_bound_of(const Segment& segment, std::uint32_t i,
                                           std::uint64_t& left, Floor floor, WorkerState& state);
    // True when item i is a file: its name ends its path, after a separator.
    static bool is_file(const Segment& segment, std::uint32_t i, std::string& room);
    // Matches the files that wait in the worker's state, best bound first, and empties it.
    void match_waiting(const Segment& segment, std::uint32_t start, WorkerState& state);
    // The first item from `from` on that begins a folder (or is no file); the segment's size
    // when there is none.
    static std::uint32_t next_folder(const Segment& segment, std::uint32_t from,
                                     FolderStarts& starts);
    // Which of the 64 items from `first` on begin a folder.
    static std::uint64_t starts_of(const Segment& segment, std::uint32_t first,
                                   FolderStarts& starts);
    // Fetches the texts that reading the folders beginning in the 64 items of `word` needs.
    static void fetch_folders(const Segment& segment, std::uint32_t word, const std::uint64_t* kept,
                              WorkerState& state);
    // The paths pass fetches folders this many 64s ahead of the one it looks at.
    static constexpr std::uint32_t kFetchAhead = 2;
    NameMemo& memo_of(WorkerState& state) const;
    WorkerState& state_of(unsigned worker);
    Floor floor_of(const WorkerState& state) const;
    // Offers a worker's new result to the search's best.
    void share(const RankKey& key, WorkerState& state);
    std::int32_t boost_of(const ItemView& item) const;
    bool paths_may_rank() const;
    std::size_t finish_scan(unsigned worker);
    void keep_candidates();
    void keep_ranked(const std::vector<RankKey>& keys);
    void report(std::vector<RankKey> ranked, WorkerState& state);

    SearchRequest request_;
    Query query_;
    SearchReuse reuse_;
    std::vector<Chunk> chunks_;
    std::shared_ptr<CandidateSet> candidates_; // filled by the scan
    std::vector<WorkerState> workers_;
    // The best results of all workers together, so that each skips what cannot make the
    // list of the whole search (a worker's own best may be far weaker); its floor is kept in
    // shared_floor_, packed by pack_floor, for reading without the lock.
    std::mutex shared_mutex_;
    TopK shared_top_;
    std::atomic<std::uint64_t> shared_floor_{0};
    Phase phase_ = Phase::Names;
};

} // namespace corvantile::engine
