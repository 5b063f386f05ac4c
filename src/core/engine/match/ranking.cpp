#include "core/engine/match/ranking.h"

namespace corvantile::engine {

void sort_ranked(std::vector<RankKey>& keys, std::size_t limit) {
    if (limit != 0 && keys.size() > limit) {
        std::nth_element(keys.begin(), keys.begin() + std::ptrdiff_t(limit), keys.end(),
                         RankBefore{});
        keys.resize(limit);
    }
    std::sort(keys.begin(), keys.end(), RankBefore{});
}

} // namespace corvantile::engine
