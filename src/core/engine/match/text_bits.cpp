#include "core/engine/match/text_bits.h"

#include "core/engine/match/match_scoring.h"
#include "core/engine/text/text_fold.h"
#include "core/engine/text/simd.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

namespace corvantile::engine {

namespace {

constexpr std::size_t kChunk = 16;
// The unit of a code point that does not fold to ASCII.
constexpr unsigned char kOtherUnit = 0x80;
// Gap lengths told apart by the bound; longer gaps are counted as this long plus one.
constexpr std::size_t kGapSteps = 3;
constexpr int kNoBound = std::numeric_limits<int>::min() / 2;

template <class Bits> int lowest_bit(Bits bits) {
    const auto low = static_cast<std::uint64_t>(bits);
    if constexpr (sizeof(Bits) > 8) {
        if (low == 0)
            return 64 + std::countr_zero(static_cast<std::uint64_t>(bits >> 64));
    }
    return std::countr_zero(low);
}

template <class Bits> int highest_bit(Bits bits) {
    if constexpr (sizeof(Bits) > 8) {
        if (const auto high = static_cast<std::uint64_t>(bits >> 64); high != 0)
            return 127 - std::countl_zero(high);
    }
    return 63 - std::countl_zero(static_cast<std::uint64_t>(bits));
}

// Positions from `from` on.
template <class Bits> Bits from_position(std::size_t from) {
    return from >= sizeof(Bits) * 8 ? 0 : ~Bits{0} << from;
}

// Positions before `end`.
template <class Bits> Bits before_position(std::size_t end) {
    return end >= sizeof(Bits) * 8 ? ~Bits{0} : (Bits{1} << end) - 1;
}

// Bit i of the result is set when unit i of the 16-byte chunk lies in [low, low + span].
unsigned chunk_in_range(const unsigned char* chunk, unsigned char low, unsigned char span) {
#if CORVANTILE_SSE2
    const __m128i units = _mm_load_si128(reinterpret_cast<const __m128i*>(chunk));
    const __m128i offset = _mm_sub_epi8(units, _mm_set1_epi8(static_cast<char>(low)));
    const __m128i inside =
        _mm_cmpeq_epi8(_mm_min_epu8(offset, _mm_set1_epi8(static_cast<char>(span))), offset);
    return static_cast<unsigned>(_mm_movemask_epi8(inside));
#else
    unsigned bits = 0;
    for (std::size_t i = 0; i < kChunk; ++i)
        bits |= unsigned(static_cast<unsigned char>(chunk[i] - low) <= span) << i;
    return bits;
#endif
}

unsigned chunk_equal(const unsigned char* chunk, unsigned char c) {
#if CORVANTILE_SSE2
    const __m128i units = _mm_load_si128(reinterpret_cast<const __m128i*>(chunk));
    return static_cast<unsigned>(
        _mm_movemask_epi8(_mm_cmpeq_epi8(units, _mm_set1_epi8(static_cast<char>(c)))));
#else
    return chunk_in_range(chunk, c, 0);
#endif
}

unsigned chunk_high_bytes(const unsigned char* chunk) {
#if CORVANTILE_SSE2
    return static_cast<unsigned>(
        _mm_movemask_epi8(_mm_load_si128(reinterpret_cast<const __m128i*>(chunk))));
#else
    return chunk_in_range(chunk, 0x80, 0x7F);
#endif
}

// The folded form of an ASCII chunk: lowercase, with "\\" turned into "/".
void fold_chunk(const unsigned char* chunk, unsigned char* out) {
#if CORVANTILE_SSE2
    const __m128i units = _mm_load_si128(reinterpret_cast<const __m128i*>(chunk));
    const __m128i offset = _mm_sub_epi8(units, _mm_set1_epi8('A'));
    const __m128i upper = _mm_cmpeq_epi8(_mm_min_epu8(offset, _mm_set1_epi8(25)), offset);
    const __m128i lowered = _mm_add_epi8(units, _mm_and_si128(upper, _mm_set1_epi8(32)));
    const __m128i backslash = _mm_cmpeq_epi8(units, _mm_set1_epi8('\\'));
    const __m128i folded = _mm_or_si128(_mm_andnot_si128(backslash, lowered),
                                        _mm_and_si128(backslash, _mm_set1_epi8('/')));
    _mm_store_si128(reinterpret_cast<__m128i*>(out), folded);
#else
    for (std::size_t i = 0; i < kChunk; ++i) {
        const unsigned char c = chunk[i];
        out[i] = c == '\\' ? '/' : c >= 'A' && c <= 'Z' ? c + 32 : c;
    }
#endif
}

} // namespace

BitWord::BitWord(const unsigned char* word_units, std::size_t word_size)
    : units(word_units), size(word_size) {
    for (std::size_t k = 0; k < std::min(size, kMaxBitWord); ++k) {
        std::size_t same = 0;
        while (same < k && units[same] != units[k])
            ++same;
        first[k] = static_cast<std::uint8_t>(same);
    }
}

template <class Bits> bool TextBits<Bits>::load(std::string_view original) {
    const std::size_t size = original.size();
    if (size > kMaxSize) {
        // Only a text of multi-byte characters may still have few enough of them.
        const auto code_points = std::count_if(original.begin(), original.end(), [](char c) {
            return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        });
        return std::size_t(code_points) <= kMaxSize && load_code_points(original);
    }
    set_size(size);
    if (chunks_ == 0)
        return true;
    std::memcpy(original_, original.data(), size);
    unsigned high = 0;
    for (std::size_t k = 0; k < chunks_; ++k) {
        high |= chunk_high_bytes(original_ + k * kChunk);
        fold_chunk(original_ + k * kChunk, folded_ + k * kChunk);
    }
    return high == 0 || load_code_points(original);
}

template <class Bits> void TextBits<Bits>::set_size(std::size_t size) {
    size_ = size;
    chunks_ = (size + kChunk - 1) / kChunk;
    classes_ready_ = false;
    in_text_ = before_position<Bits>(size);
    // The tail of the last chunk is zero: no query word holds a NUL.
    if (chunks_ > 0) {
        std::memset(original_ + (chunks_ - 1) * kChunk, 0, kChunk);
        std::memset(folded_ + (chunks_ - 1) * kChunk, 0, kChunk);
    }
}

// One unit per code point, as the matcher places words in a non-ASCII text. A code point
// that folds to ASCII becomes that character (in its case, for the camel humps); any other
// one becomes a byte no query word holds, counted as a delimiter. That may give the position
// after it a word-start bonus it does not have, which only loosens the bounds.
template <class Bits> bool TextBits<Bits>::load_code_points(std::string_view original) {
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < original.size(); ++count) {
        if (count == kMaxSize)
            return false;
        const auto byte = static_cast<unsigned char>(original[pos]);
        if (byte < 0x80) {
            // Most characters of such a text are ASCII still.
            original_[count] = byte;
            folded_[count] = byte == '\\' ? '/' : byte >= 'A' && byte <= 'Z' ? byte + 32 : byte;
            ++pos;
            continue;
        }
        const char32_t cp = decode_utf8(original, pos);
        const char32_t fold = fold_code_point(cp);
        if (fold < 0x80) {
            folded_[count] = static_cast<unsigned char>(fold);
            original_[count] = static_cast<unsigned char>(
                is_upper_case(cp) && fold >= 'a' && fold <= 'z' ? fold - 32 : fold);
        } else {
            folded_[count] = original_[count] = kOtherUnit;
        }
    }
    const std::size_t size = count;
    // Clear the tail of the last chunk, keeping the units written before it.
    const std::size_t end = (size + kChunk - 1) / kChunk * kChunk;
    std::memset(folded_ + size, 0, end - size);
    std::memset(original_ + size, 0, end - size);
    size_ = size;
    chunks_ = end / kChunk;
    classes_ready_ = false;
    in_text_ = before_position<Bits>(size);
    return true;
}

template <class Bits> Bits TextBits<Bits>::find(unsigned char c) const {
    // Chunk masks gathered into 64-bit halves: shifts by a constant amount, no 128-bit ones.
    std::uint64_t low = 0, high = 0;
    const std::size_t low_chunks = std::min<std::size_t>(chunks_, 4);
    for (std::size_t k = 0; k < low_chunks; ++k)
        low |= std::uint64_t{chunk_equal(folded_ + k * kChunk, c)} << (k * kChunk);
    for (std::size_t k = 4; k < chunks_; ++k)
        high |= std::uint64_t{chunk_equal(folded_ + k * kChunk, c)} << ((k - 4) * kChunk);
    if constexpr (sizeof(Bits) > 8)
        return Bits{high} << 64 | low;
    return low;
}

template <class Bits> void TextBits<Bits>::compute_classes() {
    Bits letters = 0, digits = 0, separators = 0, upper = 0;
    for (std::size_t k = 0; k < chunks_; ++k) {
        const unsigned char* folded = folded_ + k * kChunk;
        const unsigned shift = unsigned(k * kChunk);
        letters |= Bits{chunk_in_range(folded, 'a', 25)} << shift;
        digits |= Bits{chunk_in_range(folded, '0', 9)} << shift;
        separators |= Bits{chunk_equal(folded, '/')} << shift;
        upper |= Bits{chunk_in_range(original_ + k * kChunk, 'A', 25)} << shift;
    }
    // The same classes as the scoring model gives the positions of a text.
    const Bits word = letters | digits;
    const Bits lower = letters & ~upper;
    const Bits delimiters = in_text_ & ~(word | separators);
    // The start of the text, and the start of its last path part (a file's name).
    Bits last_part = 0;
    if (separators != 0) {
        const int after = highest_bit(separators) + 1;
        if (after < int(kMaxSize))
            last_part = Bits{1} << after;
    }
    classes_.start = word & (last_part | 1);
    classes_.path = word & (separators << 1);
    classes_.boundary = word & (delimiters << 1);
    classes_.camel = upper & (lower << 1);
    classes_.digit = (digits & (letters << 1)) | (letters & (digits << 1));
    classes_.word_start =
        classes_.start | classes_.path | classes_.boundary | classes_.camel | classes_.digit;
    classes_ready_ = true;
}

// Without a branch per class: which classes a set of positions meets changes from text to
// text, and mispredicted branches cost more than the selects.
template <class Bits> int TextBits<Bits>::best_bonus(Bits positions) const {
    int bonus = (positions & classes_.digit) != 0 ? kBonusDigit : 0;
    bonus = (positions & classes_.camel) != 0 ? kBonusCamel : bonus;
    bonus = (positions & classes_.boundary) != 0 ? kBonusBoundary : bonus;
    bonus = (positions & classes_.path) != 0 ? kBonusPath : bonus;
    return (positions & classes_.start) != 0 ? kBonusStart : bonus;
}

template <class Bits> int TextBits<Bits>::best_high_bonus(Bits positions) const {
    const int bonus = best_bonus(positions);
    return bonus >= kBonusBoundary ? bonus : 0;
}

template <class Bits> bool TextBits<Bits>::has_subsequence(const BitWord& word) const {
    // Chunk by chunk, looking only for the character awaited next: most texts a search looks
    // at do not hold the word, and this tells so with a compare or two per chunk.
    std::size_t k = 0;
    for (std::size_t chunk = 0; chunk < chunks_; ++chunk) {
        unsigned from = 0;
        for (;;) {
            const unsigned at = chunk_equal(folded_ + chunk * kChunk, word.units[k]) >> from;
            if (at == 0)
                break;
            if (++k == word.size)
                return true;
            from += unsigned(std::countr_zero(at)) + 1;
            if (from >= kChunk)
                break;
        }
    }
    return false;
}

template <class Bits> WordReach TextBits<Bits>::reach(const BitWord& word, bool with_tier) {
    const std::size_t m = word.size;
    if (m == 0 || m > kMaxWord)
        return {};
    // A path is mostly looked at to learn that it does not hold the word, which the chunks tell
    // at a compare or two each; the names looked at mostly hold it, as their masks said, and
    // the placement below tells otherwise at no extra cost.
    if constexpr (sizeof(Bits) > 8) {
        if (!has_subsequence(word))
            return {};
    }
    Bits found[kMaxWord], valid[kMaxWord];
    std::size_t first[kMaxWord];
    // Leftmost placement: where each character can go first.
    std::size_t from = 0;
    for (std::size_t k = 0; k < m; ++k) {
        found[k] = valid[k] = word.first[k] < k ? found[word.first[k]] : find(word.units[k]);
        const Bits at = valid[k] & from_position<Bits>(from);
        if (!at)
            return {};
        first[k] = std::size_t(lowest_bit(at));
        from = first[k] + 1;
    }
    // Rightmost placement: where each character can go last. Together they bound every
    // placement, as in the alignment search.
    std::size_t end = size_;
    for (std::size_t k = m; k-- > 0;) {
        const std::size_t last = std::size_t(highest_bit(valid[k] & before_position<Bits>(end)));
        valid[k] &= from_position<Bits>(first[k]) & before_position<Bits>(last + 1);
        end = last;
    }
    if (!classes_ready_)
        compute_classes();

    WordReach out;
    out.found = true;
    // A run that begins a word makes a word-start match; characters that each begin a word,
    // in order, an acronym.
    Bits run = with_tier ? valid[0] & classes_.word_start : 0;
    for (std::size_t k = 1; k < m && run; ++k)
        run = valid[k] & (run << 1);
    if (run) {
        out.tier = MatchTier::WordStart;
    } else if (with_tier && m >= 2) {
        std::size_t at = 0;
        bool acronym = true;
        for (std::size_t k = 0; k < m && acronym; ++k) {
            const Bits starts = found[k] & classes_.word_start & from_position<Bits>(at);
            acronym = starts != 0;
            if (acronym)
                at = std::size_t(lowest_bit(starts)) + 1;
        }
        if (acronym)
            out.tier = MatchTier::Acronym;
    }
    // Each character at its best on its own: after a gap, with the bonus of its position, or
    // right after the character before it, with the consecutive bonus.
    int bound = kScoreMatch + 2 * best_bonus(valid[0]);
    for (std::size_t k = 1; k < m; ++k) {
        // After a gap, the nearer the character before can be, the less the gap costs: one
        // skipped position costs kGapStart, each further one kGapExtension more.
        int best = kNoBound;
        Bits rest = valid[k];
        for (std::size_t shift = 2; shift <= kGapSteps + 1 && rest; ++shift) {
            if (const Bits near = rest & (valid[k - 1] << shift)) {
                best =
                    std::max(best, best_bonus(near) + kGapStart + int(shift - 2) * kGapExtension);
                rest &= ~near;
            }
        }
        if (rest)
            best = std::max(best, best_bonus(rest) + kGapStart + int(kGapSteps) * kGapExtension);
        if (const Bits follows = valid[k] & (valid[k - 1] << 1)) {
            const int consecutive = std::max(
                {kBonusConsecutive, best_high_bonus(follows), best_high_bonus(follows >> 1)});
            best = std::max(best, consecutive);
        }
        bound += kScoreMatch + best;
    }
    out.bound = bound;
    return out;
}

template class TextBits<std::uint64_t>;
#ifdef __SIZEOF_INT128__
template class TextBits<PositionBits>;
#endif

} // namespace corvantile::engine
