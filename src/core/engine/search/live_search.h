// A real-time search: no catalog; each source is walked on a worker as the search runs and
// its matches are reported as they are found, in batches sorted best first.
#pragma once

#include "core/engine/match/matcher.h"
#include "core/engine/search/search_job.h"

#include <atomic>
#include <optional>
#include <string>
#include <vector>

namespace corvantile::engine {

class LiveSearch final : public SearchJob {
public:
    LiveSearch(SearchId id, SearchRequest request, Query query, unsigned workers);

    std::size_t first_phase_tasks() override;
    void run_task(std::size_t task, unsigned worker) override;
    std::size_t finish_phase(unsigned worker) override;

private:
    struct Found {
        std::string name, path, payload, source;
        std::uint16_t kind = 0;
        std::int32_t score = 0;
        MatchTier tier = MatchTier::PathOnly;
        std::vector<std::uint32_t> name_positions, path_positions;
    };
    struct WorkerState {
        std::optional<Matcher> matcher;
        std::string folded_name, folded_path;
        MatchPositions positions;
    };

    void consider(const ItemData& item, WorkerState& state, std::vector<Found>& pending);
    void flush(std::vector<Found>& pending);
    // How many of n results may still be reported under max_results.
    std::size_t claim(std::size_t n);

    SearchRequest request_;
    Query query_;
    std::vector<WorkerState> workers_;
    std::atomic<bool> satisfied_{false}; // max_results reached: sources may stop
    std::atomic<std::size_t> reported_{0};
};

} // namespace corvantile::engine
