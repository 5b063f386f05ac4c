// Bit-parallel view of a short text: one bit per position (a byte of an ASCII text, a code
// point of any other), for the characters of a query word and for the classes that give a
// position its bonus.
//
// Before any alignment is computed, these answer cheaply and without a branch per byte: does
// a word occur in the text as a subsequence, which kind of match can it make there at best,
// and what is the most its alignment can score. The search uses them to skip the items that
// cannot rank above its floor.
#pragma once

#include "core/engine/match/ranking.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace corvantile::engine {

// The widest bit set at hand: 128 positions where the compiler has 128-bit integers.
#ifdef __SIZEOF_INT128__
inline constexpr bool kHaveTextBits = true;
using PositionBits = unsigned __int128;
#else
inline constexpr bool kHaveTextBits = false;
using PositionBits = std::uint64_t;
#endif

// The longest word TextBits places.
inline constexpr std::size_t kMaxBitWord = 64;

// A query word prepared for TextBits: its folded ASCII bytes, and for each the first of them
// that is the same byte (a repeated character shares the positions found for the first).
struct BitWord {
    BitWord() = default;
    BitWord(const unsigned char* word_units, std::size_t word_size);

    const unsigned char* units = nullptr;
    std::size_t size = 0;
    std::array<std::uint8_t, kMaxBitWord> first{};
};

// What a word can do in a text at best.
struct WordReach {
    bool found = false;                    // the word occurs as a subsequence
    MatchTier tier = MatchTier::Scattered; // best kind of name match: WordStart at most
    int bound = 0;                         // no alignment of the word scores more
};

// Bits is the type of a set of positions: std::uint64_t for short texts such as names (the
// cheaper), PositionBits for paths.
template <class Bits> class TextBits {
public:
    static constexpr std::size_t kMaxSize = sizeof(Bits) * 8;
    static constexpr std::size_t kMaxWord = kMaxBitWord;

    // Takes a text (and folds it): one unit per byte for ASCII, per code point otherwise;
    // false, and nothing usable, when that is more than kMaxSize units.
    bool load(std::string_view original);

    // Where, and how well, the word can be placed. The word must be non-empty, of at most
    // kMaxWord bytes, ASCII and without NUL.
    // The tier is only worked out when asked for (a word matched through the path has none).
    WordReach reach(const BitWord& word, bool with_tier = true);

private:
    struct Classes {
        Bits start, path, boundary, camel, digit; // bonus 10, 9, 8, 7, 6
        Bits word_start;                          // any of them
    };

    void set_size(std::size_t size);
    bool has_subsequence(const BitWord& word) const;
    bool load_code_points(std::string_view original);
    Bits find(unsigned char c) const;
    void compute_classes();
    int best_bonus(Bits positions) const;
    int best_high_bonus(Bits positions) const;

    alignas(16) unsigned char folded_[kMaxSize];
    alignas(16) unsigned char original_[kMaxSize];
    std::size_t size_ = 0;
    std::size_t chunks_ = 0; // 16-byte chunks in use
    Bits in_text_ = 0;
    Classes classes_{};
    bool classes_ready_ = false;
};

extern template class TextBits<std::uint64_t>;
#ifdef __SIZEOF_INT128__
extern template class TextBits<PositionBits>;
#endif

using ShortTextBits = TextBits<std::uint64_t>;
using LongTextBits = TextBits<PositionBits>;

} // namespace corvantile::engine
