// The scoring model of a fuzzy match: per-position bonuses and the score of an alignment.
//
// A pattern aligned to a text scores, for each matched character, kMatch plus a bonus:
// - a character that starts a piece gets the bonus of its position (start of text, after a
//   path separator, after a delimiter, a camel-case hump, a letter/digit boundary), doubled
//   for the first character of the pattern; the start of the last part of a path (a file's
//   name) counts as the start of the text;
// - a character that follows the previous match directly gets at least kBonusConsecutive, or
//   the start, path or delimiter bonus of its own position or of the one before it (so a run
//   that starts a word stays strong); camel humps and digit boundaries count where a piece
//   starts, not inside a run;
// - a gap of g skipped characters costs kGapStart + (g - 1) * kGapExtension.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace corvantile::engine {

inline constexpr int kScoreMatch = 16;
inline constexpr int kBonusStart = 10;
inline constexpr int kBonusPath = 9;
inline constexpr int kBonusBoundary = 8;
inline constexpr int kBonusCamel = 7;
inline constexpr int kBonusDigit = 6;
inline constexpr int kBonusConsecutive = 5;
inline constexpr int kGapStart = -3;
inline constexpr int kGapExtension = -1;
// A position whose bonus reaches this starts a word (used for word-start and acronym matches).
inline constexpr int kWordStartBonus = kBonusDigit;

enum class CharClass : std::uint8_t { Delimiter, PathSeparator, Lower, Upper, Digit };

CharClass char_class(char32_t cp);

namespace detail {

constexpr CharClass ascii_class(unsigned c) {
    if (c >= 'a' && c <= 'z')
        return CharClass::Lower;
    if (c >= 'A' && c <= 'Z')
        return CharClass::Upper;
    if (c >= '0' && c <= '9')
        return CharClass::Digit;
    if (c == '/' || c == '\\')
        return CharClass::PathSeparator;
    return CharClass::Delimiter;
}

constexpr std::array<CharClass, 128> make_ascii_classes() {
    std::array<CharClass, 128> table{};
    for (unsigned c = 0; c < 128; ++c)
        table[c] = ascii_class(c);
    return table;
}

inline constexpr std::array<CharClass, 128> kAsciiClasses = make_ascii_classes();

constexpr bool is_word(CharClass c) {
    return c == CharClass::Lower || c == CharClass::Upper || c == CharClass::Digit;
}

constexpr int bonus_of(CharClass previous, CharClass current, bool at_start) {
    if (!is_word(current))
        return 0;
    if (at_start)
        return kBonusStart;
    switch (previous) {
    case CharClass::PathSeparator:
        return kBonusPath;
    case CharClass::Delimiter:
        return kBonusBoundary;
    case CharClass::Lower:
        return current == CharClass::Upper   ? kBonusCamel
               : current == CharClass::Digit ? kBonusDigit
                                             : 0;
    case CharClass::Upper:
        return current == CharClass::Digit ? kBonusDigit : 0;
    case CharClass::Digit:
        return current == CharClass::Digit ? 0 : kBonusDigit;
    }
    return 0;
}

// Bonus for every (previous, current) pair of ASCII character classes; the row after the
// classes' is the text's first position (no previous character).
struct PairTable {
    static constexpr std::size_t kAtStart = 5;
    std::array<std::array<std::uint8_t, 5>, 6> bonus{};
};

constexpr PairTable make_pair_table() {
    PairTable table;
    for (int p = 0; p < 6; ++p)
        for (int c = 0; c < 5; ++c)
            table.bonus[std::size_t(p)][std::size_t(c)] = static_cast<std::uint8_t>(
                p == PairTable::kAtStart ? bonus_of(CharClass::Delimiter, CharClass(c), true)
                                         : bonus_of(CharClass(p), CharClass(c), false));
    return table;
}

inline constexpr PairTable kPairs = make_pair_table();

} // namespace detail

// Bonus of a position from the classes of the previous and the current character.
int position_bonus(CharClass previous, CharClass current, bool at_start);

// Fills bonus[i] for every byte of ASCII text (bonus.size() >= text.size()).
void ascii_bonuses(std::string_view text, std::span<std::uint8_t> bonus);

// Fills bonus[i] for the bytes of ASCII text from position `from` on, as ascii_bonuses does
// but without the start of a path's last part (for a folder, before a file's name; or the
// first part of a text whose rest is worked out later).
void ascii_folder_bonuses(std::string_view text, std::size_t from, std::span<std::uint8_t> bonus);

// Gives the position after the last path separator of a text (at last_separator; past the
// end when there is none) the start bonus, when it begins a word there.
void mark_last_component(std::span<std::uint8_t> bonus, std::size_t last_separator);

// Bonus earned by the character at position j when it directly follows a match at j - 1.
constexpr int consecutive_bonus(const std::uint8_t* bonus, std::size_t j) {
    int value = kBonusConsecutive;
    if (bonus[j] >= kBonusBoundary && bonus[j] > value)
        value = bonus[j];
    if (bonus[j - 1] >= kBonusBoundary && bonus[j - 1] > value)
        value = bonus[j - 1];
    return value;
}

// Score of a pattern matched at the given increasing positions of a text with these bonuses.
int score_alignment(const std::uint8_t* bonus, std::span<const std::uint32_t> positions);

// What is known of a text when bounding the score a pattern can reach in it.
struct TextTraits {
    bool at_start = true;   // the pattern may begin at the first position
    bool separators = true; // the text may hold path separators (else the highest bonus past
                            // the start is the boundary bonus, and with them the start bonus)
};

// Highest score any alignment of a pattern of this many characters can reach in such a text.
// When every character of the pattern is a letter or digit (word_chars), positions inside a
// run past its second character cannot follow a delimiter and earn only the consecutive bonus.
int max_alignment_score(std::size_t length, bool word_chars, TextTraits text);

} // namespace corvantile::engine
