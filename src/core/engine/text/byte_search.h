// Searching text for a subsequence of bytes, 16 bytes at a time.
#pragma once

#include "core/engine/text/simd.h"

#include <array>
#include <cstddef>
#include <cstring>
#include <string_view>

namespace corvantile::engine {

// For each byte, a second byte that also stands for it (itself when there is none).
using ByteAlternates = std::array<unsigned char, 256>;

// Every byte stands only for itself.
const ByteAlternates& exact_bytes();
// A folded ASCII byte also stands for the raw byte that folds to it: a lowercase letter for
// its uppercase form, "/" for "\".
const ByteAlternates& raw_ascii_folds();

// The 16 bytes of a text from a given offset on; bytes past the end of the text are never
// reported.
class ByteChunk {
public:
    static constexpr std::size_t kSize = 16;

    ByteChunk(std::string_view text, std::size_t at) {
        if (at + kSize <= text.size()) {
            load(text.data() + at);
            valid_ = 0xFFFFu;
        } else {
            const std::size_t count = text.size() - at;
            alignas(16) char tail[kSize] = {};
            std::memcpy(tail, text.data() + at, count);
            load(tail);
            valid_ = (1u << count) - 1;
        }
    }

    // Bit i set when byte i is a or b.
    unsigned equal(unsigned char a, unsigned char b) const {
#if CORVANTILE_SSE2
        const __m128i hits = _mm_or_si128(_mm_cmpeq_epi8(units_, _mm_set1_epi8(char(a))),
                                          _mm_cmpeq_epi8(units_, _mm_set1_epi8(char(b))));
        return unsigned(_mm_movemask_epi8(hits)) & valid_;
#else
        unsigned bits = 0;
        for (std::size_t i = 0; i < kSize; ++i)
            bits |= unsigned(units_[i] == a || units_[i] == b) << i;
        return bits & valid_;
#endif
    }

    // Bit i set when byte i is not ASCII.
    unsigned high() const {
#if CORVANTILE_SSE2
        return unsigned(_mm_movemask_epi8(units_)) & valid_;
#else
        unsigned bits = 0;
        for (std::size_t i = 0; i < kSize; ++i)
            bits |= unsigned(units_[i] >= 0x80) << i;
        return bits & valid_;
#endif
    }

private:
    void load(const char* bytes) {
#if CORVANTILE_SSE2
        units_ = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
#else
        std::memcpy(units_, bytes, kSize);
#endif
    }

#if CORVANTILE_SSE2
    __m128i units_;
#else
    unsigned char units_[kSize];
#endif
    unsigned valid_ = 0;
};

// True when text holds a byte that is not ASCII.
bool has_high_byte(std::string_view text);

// True when the bytes of word occur in text in order (each also matched by its alternate).
bool byte_subsequence(std::string_view text, std::string_view word,
                      const ByteAlternates& alternates = exact_bytes());

} // namespace corvantile::engine
