#include "support/checksum.h"

#include <bit>
#include <cstring>

namespace corvantile::support {

namespace {

constexpr std::uint64_t kPrime1 = 0x9E3779B185EBCA87ULL;
constexpr std::uint64_t kPrime2 = 0xC2B2AE3D27D4EB4FULL;
constexpr std::uint64_t kPrime3 = 0x165667B19E3779F9ULL;

std::uint64_t word_at(const char* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

std::uint64_t round(std::uint64_t lane, std::uint64_t word) {
    return std::rotl(lane + word * kPrime2, 31) * kPrime1;
}

// Spreads every input bit over the whole word.
std::uint64_t mix(std::uint64_t x) {
    x = (x ^ (x >> 33)) * kPrime2;
    x = (x ^ (x >> 29)) * kPrime3;
    return x ^ (x >> 32);
}

} // namespace

std::uint64_t checksum64(std::string_view bytes, std::uint64_t sum) {
    const char* p = bytes.data();
    std::size_t size = bytes.size();
    std::uint64_t lanes[4] = {sum + kPrime1, sum + kPrime2, sum ^ kPrime3, sum - kPrime1};
    for (; size >= 32; p += 32, size -= 32)
        for (int k = 0; k < 4; ++k)
            lanes[k] = round(lanes[k], word_at(p + 8 * k));
    std::uint64_t h = std::rotl(lanes[0], 1) + std::rotl(lanes[1], 7) + std::rotl(lanes[2], 12) +
                      std::rotl(lanes[3], 18) + bytes.size() * kPrime3;
    for (; size >= 8; p += 8, size -= 8)
        h = round(h, word_at(p));
    std::uint64_t tail = 0;
    for (std::size_t i = 0; i < size; ++i)
        tail |= std::uint64_t(static_cast<unsigned char>(p[i])) << (8 * i);
    return mix(round(h, tail ^ (std::uint64_t(size) << 59)));
}

} // namespace corvantile::support
