// How match quality, usage and length combine into the order of results, and the bounded
// heap that keeps the best k of a search.
//
// A score is tier * kTierSpan + the alignment score (offset and clamped into one span), plus
// the usage boost. Tiers order the kinds of match: an exact name beats a word-start or prefix
// match, which beats an acronym, which beats a scattered match in the name, which beats a
// match found only in the path. The usage boost reaches a span and a quarter, so learning can
// lift a result over the next tier up, never over a match two tiers stronger.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace corvantile::engine {

enum class MatchTier : std::uint8_t {
    PathOnly = 0,
    Scattered = 1,
    Acronym = 2,
    WordStart = 3,
    Exact = 4
};

inline constexpr std::int32_t kTierSpan = 4096;
inline constexpr std::int32_t kAlignmentOffset = 1024;
inline constexpr std::int32_t kMaxUsageBoost = kTierSpan + kTierSpan / 4;
inline constexpr std::int32_t kNoFloor = std::numeric_limits<std::int32_t>::min();

// The score of a match of this tier with this total alignment score.
inline std::int32_t tier_score(MatchTier tier, int alignment) {
    return std::int32_t(tier) * kTierSpan +
           std::clamp<std::int32_t>(alignment + kAlignmentOffset, 0, kTierSpan - 1);
}

// Position of a result in the order: higher score first, then shorter name, then earlier item.
struct RankKey {
    std::int32_t score = 0;
    std::uint32_t length = 0;
    std::uint32_t index = 0;

    // True when this ranks before other.
    bool before(const RankKey& other) const {
        if (score != other.score)
            return score > other.score;
        if (length != other.length)
            return length < other.length;
        return index < other.index;
    }
};

struct RankBefore {
    bool operator()(const RankKey& a, const RankKey& b) const { return a.before(b); }
};

// The weakest result a search still keeps: what ranks after it cannot enter.
struct Floor {
    std::int32_t score = kNoFloor;
    std::uint32_t length = std::numeric_limits<std::uint32_t>::max();

    bool none() const { return score == kNoFloor; }
    // True when an item scoring at most best_score, with this name length, cannot enter.
    bool excludes(std::int32_t best_score, std::uint32_t name_length) const {
        return best_score < score || (best_score == score && name_length > length);
    }
};

// Keeps the best `capacity` keys seen; capacity 0 keeps everything.
class TopK {
public:
    explicit TopK(std::size_t capacity = 0) : capacity_(capacity) {}

    // The weakest kept key once the heap is full; no floor before.
    Floor floor() const {
        if (capacity_ == 0 || heap_.size() < capacity_)
            return {};
        return {heap_.front().score, heap_.front().length};
    }

    void push(const RankKey& key) {
        if (capacity_ == 0) {
            heap_.push_back(key);
            return;
        }
        if (heap_.size() < capacity_) {
            heap_.push_back(key);
            std::push_heap(heap_.begin(), heap_.end(), RankBefore{});
        } else if (key.before(heap_.front())) {
            std::pop_heap(heap_.begin(), heap_.end(), RankBefore{});
            heap_.back() = key;
            std::push_heap(heap_.begin(), heap_.end(), RankBefore{});
        }
    }

    std::size_t size() const { return heap_.size(); }
    std::size_t capacity() const { return capacity_; }

    // The kept keys, unordered.
    const std::vector<RankKey>& keys() const { return heap_; }

    // Moves the kept keys out, unordered.
    std::vector<RankKey> take() { return std::move(heap_); }

private:
    std::size_t capacity_;
    std::vector<RankKey> heap_; // a heap whose front is the worst kept key
};

// Sorts keys best first and keeps the best `limit` (0: all).
void sort_ranked(std::vector<RankKey>& keys, std::size_t limit);

} // namespace corvantile::engine
