#include "core/engine/match/name_memo.h"

#include <algorithm>
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
    : entries_(std::bit_ceil(std::clamp<std::size_t>(slots, 1, std::size_t{1} << kTagShift))),
      mask_(entries_.size() - 1) {}

std::uint64_t NameMemo::key_of(std::string_view name) {
    const auto block_at = [&](std::size_t at) {
        std::uint64_t block;
        std::memcpy(&block, name.data() + at, 8);
        return block;
    };
    const auto add = [](std::uint64_t hash, std::uint64_t block) {
        return std::rotl(hash ^ (block * kMultiplier2), 31) * kMultiplier1;
    };
    const std::size_t size = name.size();
    std::uint64_t hash = size * kMultiplier1;
    if (size < 8) {
        std::uint64_t block = 0;
        for (std::size_t i = 0; i < size; ++i)
            block |= std::uint64_t(static_cast<unsigned char>(name[i])) << (8 * i);
        return mix(add(hash, block));
    }
    // Whole blocks, then the last eight bytes (which may overlap the block before): with
    // the length that covers every byte.
    for (std::size_t at = 0; at + 8 < size; at += 8)
        hash = add(hash, block_at(at));
    return mix(add(hash, block_at(size - 8)));
}

} // namespace corvantile::engine
