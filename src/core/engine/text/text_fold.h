// Case and accent folding of UTF-8 text for matching, and the small UTF-8 codec it rests on.
//
// Folding maps every code point to exactly one code point: lowercase, with the accents of
// Latin-1 and Latin Extended-A letters removed ("É" -> "e"), Greek and Cyrillic lowercased
// (and their accents removed), "\" turned into "/". Because the mapping is one to one per code
// point, the n-th code point of a folded text is the fold of the n-th code point of the original.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace corvantile::engine {

inline constexpr char32_t kReplacementChar = 0xFFFD;

// Decodes the code point at text[pos] and advances pos past it. A malformed or truncated
// sequence yields U+FFFD and advances by one byte, so every byte belongs to one code point.
char32_t decode_utf8(std::string_view text, std::size_t& pos);

// Appends the UTF-8 form of a code point (U+FFFD for surrogates and values past U+10FFFF).
void append_utf8(std::string& out, char32_t cp);

// Lowercase and accent-free form of a code point.
char32_t fold_code_point(char32_t cp);

// Accent-free form of a code point that keeps its case (used by case-sensitive matching).
char32_t strip_accents(char32_t cp);

// True when the code point is an uppercase letter whose fold differs only by case.
bool is_upper_case(char32_t cp);

// Folds the ASCII bytes at the start of a text in place (lower case, "\" to "/"), up to its
// first non-ASCII byte; returns how many it folded.
std::size_t fold_ascii_in_place(char* text, std::size_t size);

// Appends the folded form of text (which must not lie in out) to out. Returns true when text
// holds any non-ASCII byte.
bool fold_text(std::string_view text, std::string& out);

// Appends the folded form of text (which must not lie in out) to out; same tells whether
// that form is the text itself (is_folded).
void fold_append(std::string_view text, std::string& out, bool& same);

// Appends the folded form of text (which must not lie in out) to out and returns its
// character mask (see char_mask); same tells whether that form is the text itself (is_folded).
std::uint32_t fold_and_mask(std::string_view text, std::string& out, bool& same);

// The folded form of text.
std::string folded(std::string_view text);

// True when text is its own folded form (ASCII without uppercase letters or backslashes).
bool is_folded(std::string_view text);

// Bit of the 32-bit character mask that a folded byte sets: one per letter (but one for "q"
// and "z"), one each for "1", "2" and "3" and one for the other digits, one for "/", one for
// the other ASCII symbols and one for non-ASCII bytes; 0 for controls and the space.
std::uint32_t mask_bit(unsigned char folded_byte);

// The character mask of folded text: the union of mask_bit over its bytes. A text can hold a
// word as a subsequence only if its mask holds all the word's bits.
std::uint32_t char_mask(std::string_view folded_text);

// The mask bit of the path separators.
inline constexpr std::uint32_t kSeparatorMaskBit = std::uint32_t{1} << 29;

} // namespace corvantile::engine
