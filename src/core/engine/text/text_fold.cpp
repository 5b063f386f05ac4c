#include "core/engine/text/text_fold.h"
#include "core/engine/text/simd.h"

#include <array>
#include <cstring>

namespace corvantile::engine {

namespace {

// Base letters of U+00C0..U+00FF; '*' marks a code point handled apart.
constexpr std::string_view kLatin1Base = "AAAAAA*CEEEEIIIIDNOOOOO*OUUUUY**"
                                         "aaaaaa*ceeeeiiiidnooooo*ouuuuy*y";
// Base letters of U+0100..U+017F, in the case of the original letter.
constexpr std::string_view kLatinExtendedABase = "AaAaAa"
                                                 "CcCcCcCc"
                                                 "DdDd"
                                                 "EeEeEeEeEe"
                                                 "GgGgGgGg"
                                                 "HhHh"
                                                 "IiIiIiIiIi"
                                                 "Ii"
                                                 "Jj"
                                                 "Kkk"
                                                 "LlLlLlLlLl"
                                                 "NnNnNnn"
                                                 "Nn"
                                                 "OoOoOo"
                                                 "Oo"
                                                 "RrRrRr"
                                                 "SsSsSsSs"
                                                 "TtTtTt"
                                                 "UuUuUuUuUuUu"
                                                 "Ww"
                                                 "YyY"
                                                 "ZzZzZz"
                                                 "s";
static_assert(kLatin1Base.size() == 64);
static_assert(kLatinExtendedABase.size() == 128);

constexpr char to_lower_ascii(char c) {
    return c >= 'A' && c <= 'Z' ? char(c + 32) : c;
}

// Greek letters with tonos or dialytika, and their plain lowercase letters.
char32_t fold_greek(char32_t cp) {
    switch (cp) {
    case 0x386:
    case 0x3AC:
        return 0x3B1;
    case 0x388:
    case 0x3AD:
        return 0x3B5;
    case 0x389:
    case 0x3AE:
        return 0x3B7;
    case 0x38A:
    case 0x3AF:
    case 0x390:
    case 0x3AA:
    case 0x3CA:
        return 0x3B9;
    case 0x38C:
    case 0x3CC:
        return 0x3BF;
    case 0x38E:
    case 0x3CD:
    case 0x3B0:
    case 0x3AB:
    case 0x3CB:
        return 0x3C5;
    case 0x38F:
    case 0x3CE:
        return 0x3C9;
    case 0x3C2:
        return 0x3C3; // final sigma
    default:
        break;
    }
    if (cp >= 0x391 && cp <= 0x3A9 && cp != 0x3A2)
        return cp + 0x20;
    return cp;
}

char32_t fold_cyrillic(char32_t cp) {
    if (cp == 0x400 || cp == 0x401 || cp == 0x450 || cp == 0x451)
        return 0x435; // Ѐ Ё ѐ ё -> е
    if (cp == 0x40D || cp == 0x45D)
        return 0x438; // Ѝ ѝ -> и
    if (cp >= 0x400 && cp <= 0x40F)
        return cp + 0x50;
    if (cp >= 0x410 && cp <= 0x42F)
        return cp + 0x20;
    const bool even_upper = (cp >= 0x460 && cp <= 0x481) || (cp >= 0x48A && cp <= 0x4BF) ||
                            (cp >= 0x4D0 && cp <= 0x4FF);
    if (even_upper && cp % 2 == 0)
        return cp + 1;
    if (cp >= 0x4C1 && cp <= 0x4CD && cp % 2 == 1)
        return cp + 1;
    if (cp == 0x4C0)
        return 0x4CF;
    return cp;
}

// Uppercase form of a folded letter, for the letters whose uppercase folding removed.
char32_t to_upper_folded(char32_t cp) {
    if (cp >= 'a' && cp <= 'z')
        return cp - 32;
    if (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7)
        return cp - 0x20;
    if (cp >= 0x3B1 && cp <= 0x3C9 && cp != 0x3C2)
        return cp - 0x20;
    if (cp >= 0x430 && cp <= 0x44F)
        return cp - 0x20;
    if (cp >= 0x450 && cp <= 0x45F)
        return cp - 0x50;
    if (cp == 0x4CF)
        return 0x4C0;
    if (cp >= 0x460 && cp <= 0x4FF)
        return cp - 1;
    return cp;
}

// Letters have a bit each, but "q" and "z", the rarest, share one. Digits have four, shared
// about as often as digits occur in names: 1, 2 and 3 one each, 0 and 4 to 9 together (a
// digit in a query, as in "mp3" or "win32", then rules out far more paths than with one bit
// for every five digits). "." shares its bit with the other ASCII symbols: nearly every path
// holds one of them.
constexpr std::array<std::uint32_t, 256> make_mask_table() {
    std::array<std::uint32_t, 256> table{};
    for (unsigned c = 0; c < 256; ++c) {
        int bit = -1;
        const unsigned lower = c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
        constexpr int kLetterZ = 'z' - 'a';
        if (lower == 'z')
            bit = 'q' - 'a';
        else if (lower >= 'a' && lower <= 'z')
            bit = int(lower - 'a');
        else if (c == '1')
            bit = kLetterZ; // left free by "z"
        else if (c == '2' || c == '3')
            bit = 26 + int(c - '2');
        else if (c >= '0' && c <= '9')
            bit = 28;
        else if (c == '/' || c == '\\')
            bit = 29;
        else if (c > ' ' && c < 0x7F)
            bit = 30;
        else if (c >= 0x80)
            bit = 31;
        table[c] = bit < 0 ? 0 : std::uint32_t{1} << bit;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> kMaskTable = make_mask_table();

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
constexpr std::uint64_t kLowSeven = 0x7F7F7F7F7F7F7F7FULL;
constexpr std::uint64_t kOnes = 0x0101010101010101ULL;

// High bit of each byte of v set exactly where that byte is zero.
inline std::uint64_t zero_bytes(std::uint64_t v) {
    return ~(((v & kLowSeven) + kLowSeven) | v | kLowSeven);
}

// Folds eight ASCII bytes at once: uppercase to lowercase, "\" to "/".
inline std::uint64_t fold_ascii_word(std::uint64_t word) {
    const std::uint64_t at_least_a = word + kOnes * (0x80 - 'A');
    const std::uint64_t above_z = word + kOnes * (0x80 - 'Z' - 1);
    const std::uint64_t upper = (at_least_a ^ above_z) & kHighBits;
    word |= upper >> 2;
    const std::uint64_t backslash = zero_bytes(word ^ (kOnes * '\\'));
    return word ^ ((backslash >> 7) * ('\\' ^ '/'));
}

} // namespace

char32_t decode_utf8(std::string_view text, std::size_t& pos) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    std::size_t length = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, cp = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, cp = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, cp = lead & 0x07, minimum = 0x10000;
    } else {
        ++pos;
        return kReplacementChar;
    }
    if (text.size() - pos < length) {
        ++pos;
        return kReplacementChar;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char next = byte(pos + i);
        if ((next & 0xC0) != 0x80) {
            ++pos;
            return kReplacementChar;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return kReplacementChar;
    }
    pos += length;
    return cp;
}

void append_utf8(std::string& out, char32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        cp = kReplacementChar;
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

char32_t fold_code_point(char32_t cp) {
    if (cp < 0x80) {
        if (cp == '\\')
            return '/';
        return static_cast<char32_t>(to_lower_ascii(static_cast<char>(cp)));
    }
    if (cp >= 0xC0 && cp <= 0xFF) {
        const char base = kLatin1Base[cp - 0xC0];
        if (base != '*')
            return static_cast<char32_t>(to_lower_ascii(base));
        if (cp == 0xC6 || cp == 0xDE)
            return cp + 0x20; // Æ Þ
        return cp;
    }
    if (cp >= 0x100 && cp <= 0x17F)
        return static_cast<char32_t>(to_lower_ascii(kLatinExtendedABase[cp - 0x100]));
    if (cp >= 0x370 && cp <= 0x3FF)
        return fold_greek(cp);
    if (cp >= 0x400 && cp <= 0x4FF)
        return fold_cyrillic(cp);
    return cp;
}

bool is_upper_case(char32_t cp) {
    if (cp < 0x80)
        return cp >= 'A' && cp <= 'Z';
    if (cp >= 0xC0 && cp <= 0xDE)
        return cp != 0xD7;
    if (cp >= 0x100 && cp <= 0x17F) {
        const char base = kLatinExtendedABase[cp - 0x100];
        return base >= 'A' && base <= 'Z';
    }
    if (cp >= 0x386 && cp <= 0x3AB)
        return cp != 0x387 && cp != 0x38B && cp != 0x38D && cp != 0x390 && cp != 0x3A2;
    if (cp >= 0x400 && cp <= 0x42F)
        return true;
    if (cp >= 0x460 && cp <= 0x4FF)
        return fold_cyrillic(cp) != cp;
    return false;
}

char32_t strip_accents(char32_t cp) {
    const char32_t base = fold_code_point(cp);
    return is_upper_case(cp) ? to_upper_folded(base) : base;
}

std::size_t fold_ascii_in_place(char* text, std::size_t size) {
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text + i, 8);
        if (word & kHighBits)
            break;
        word = fold_ascii_word(word);
        std::memcpy(text + i, &word, 8);
    }
    for (; i < size; ++i) {
        const char c = text[i];
        if (static_cast<unsigned char>(c) >= 0x80)
            break;
        text[i] = c == '\\' ? '/' : to_lower_ascii(c);
    }
    return i;
}

bool fold_text(std::string_view text, std::string& out) {
    // Copy first, then fold the copy in place, eight ASCII bytes at a time.
    const std::size_t start = out.size();
    out.append(text);
    const std::size_t size = text.size();
    std::size_t i = fold_ascii_in_place(out.data() + start, size);
    if (i == size)
        return false;
    // Non-ASCII text: fold code point by code point from the first non-ASCII byte on.
    out.resize(start + i);
    while (i < size) {
        const char32_t cp = decode_utf8(text, i);
        append_utf8(out, fold_code_point(cp));
    }
    return true;
}

#if CORVANTILE_SSE2
namespace {

// Folds the 16 ASCII bytes at dest in place and marks in `changed` the bytes that changed;
// false, and nothing written, when they hold a non-ASCII byte. Folding is idempotent, so a
// chunk may overlap bytes folded before.
bool fold_chunk_in_place(char* dest, std::uint64_t& changed) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dest));
    if (_mm_movemask_epi8(units) != 0)
        return false;
    const __m128i offset = _mm_sub_epi8(units, _mm_set1_epi8('A'));
    const __m128i upper = _mm_cmpeq_epi8(_mm_min_epu8(offset, _mm_set1_epi8(25)), offset);
    const __m128i backslash = _mm_cmpeq_epi8(units, _mm_set1_epi8('\\'));
    // 'A'..'Z' gain 0x20; "\\" (0x5C) loses 0x2D to become "/" (0x2F).
    const __m128i delta = _mm_or_si128(_mm_and_si128(upper, _mm_set1_epi8(0x20)),
                                       _mm_and_si128(backslash, _mm_set1_epi8(-0x2D)));
    changed |= std::uint64_t(_mm_movemask_epi8(_mm_or_si128(upper, backslash)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dest), _mm_add_epi8(units, delta));
    return true;
}

} // namespace
#endif

void fold_append(std::string_view text, std::string& out, bool& same) {
    // Copy, then fold the copy in place sixteen ASCII bytes at a time; a text of 16 bytes or
    // more ends on a chunk that overlaps the one before rather than byte by byte.
    const std::size_t start = out.size();
    out.append(text);
    char* dest = out.data() + start;
    const std::size_t size = text.size();
    std::uint64_t changed = 0;
    std::size_t i = 0;
#if CORVANTILE_SSE2
    while (i + 16 <= size && fold_chunk_in_place(dest + i, changed))
        i += 16;
    if (i < size && i + 16 > size && size >= 16 && fold_chunk_in_place(dest + size - 16, changed))
        i = size;
#endif
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, dest + i, 8);
        if (word & kHighBits)
            break;
        const std::uint64_t folded_word = fold_ascii_word(word);
        changed |= folded_word ^ word;
        std::memcpy(dest + i, &folded_word, 8);
    }
    for (; i < size; ++i) {
        const char c = dest[i];
        if (static_cast<unsigned char>(c) >= 0x80)
            break;
        const char folded_c = c == '\\' ? '/' : to_lower_ascii(c);
        changed |= std::uint64_t(folded_c != c);
        dest[i] = folded_c;
    }
    same = i == size && changed == 0;
    if (i < size) {
        // Non-ASCII text: fold code point by code point from the first non-ASCII byte on.
        out.resize(start + i);
        while (i < size) {
            const char32_t cp = decode_utf8(text, i);
            append_utf8(out, fold_code_point(cp));
        }
    }
}

std::uint32_t fold_and_mask(std::string_view text, std::string& out, bool& same) {
    const std::size_t start = out.size();
    fold_append(text, out, same);
    return char_mask(std::string_view(out).substr(start));
}

bool is_folded(std::string_view text) {
    const char* src = text.data();
    const std::size_t size = text.size();
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, src + i, 8);
        if ((word & kHighBits) || fold_ascii_word(word) != word)
            return false;
    }
    for (; i < size; ++i) {
        const char c = src[i];
        if (static_cast<unsigned char>(c) >= 0x80 || c == '\\' || (c >= 'A' && c <= 'Z'))
            return false;
    }
    return true;
}

std::string folded(std::string_view text) {
    std::string out;
    fold_text(text, out);
    return out;
}

std::uint32_t mask_bit(unsigned char folded_byte) {
    return kMaskTable[folded_byte];
}

std::uint32_t char_mask(std::string_view folded_text) {
    std::uint32_t a = 0, b = 0, c = 0, d = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(folded_text.data());
    const std::size_t size = folded_text.size();
    std::size_t i = 0;
    for (; i + 4 <= size; i += 4) {
        a |= kMaskTable[p[i]];
        b |= kMaskTable[p[i + 1]];
        c |= kMaskTable[p[i + 2]];
        d |= kMaskTable[p[i + 3]];
    }
    for (; i < size; ++i)
        a |= kMaskTable[p[i]];
    return a | b | c | d;
}

} // namespace corvantile::engine
