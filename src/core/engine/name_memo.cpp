#include "core/engine/name_memo.h"

#include <bit>
#include <cstring>

namespace corvantile::engine {

namespace {

constexpr std::uint64_t kMultiplier1 = 0x9E3779B97F4A7C15ULL;
constexpr std::uint64_t kMultiplier2 = 0xC2B2AE3D27D4EB4FULL;

// Spreads every input bit over the whole word (the finaliser of splitmix64).
std::uint64_t mix(std::uint64_t x) {
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

} // namespace

NameMemo::NameMemo(std::size_t slots)
    : entries_(std::bit_ceil(slots)), mask_(entries_.size() - 1) {}

std::uint64_t NameMemo::key_of(std::string_view name) {
    std::uint64_t hash = name.size() * kMultiplier1;
    const char* at = name.data();
    std::size_t left = name.size();
    for (; left >= 8; left -= 8, at += 8) {
        std::uint64_t block;
        std::memcpy(&block, at, 8);
        hash = std::rotl(hash ^ (block * kMultiplier2), 31) * kMultiplier1;
    }
    if (left > 0) {
        std::uint64_t block = 0;
        std::memcpy(&block, at, left);
        hash = std::rotl(hash ^ (block * kMultiplier2), 31) * kMultiplier1;
    }
    return mix(hash);
}

} // namespace corvantile::engine
