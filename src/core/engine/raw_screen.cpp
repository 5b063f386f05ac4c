#include "core/engine/raw_screen.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace corvantile::engine {

namespace {

constexpr std::size_t kChunk = 16;

// The 16 bytes of text from `at` on, zero past its end.
class Chunk {
public:
    Chunk(std::string_view text, std::size_t at) {
        if (at + kChunk <= text.size()) {
            load(text.data() + at);
        } else {
            alignas(16) char tail[kChunk] = {};
            std::memcpy(tail, text.data() + at, text.size() - at);
            load(tail);
        }
    }

    // Bit i set when byte i is a or b.
    unsigned equal(unsigned char a, unsigned char b) const {
#if defined(__SSE2__)
        const __m128i hits = _mm_or_si128(_mm_cmpeq_epi8(units_, _mm_set1_epi8(char(a))),
                                          _mm_cmpeq_epi8(units_, _mm_set1_epi8(char(b))));
        return unsigned(_mm_movemask_epi8(hits));
#else
        unsigned bits = 0;
        for (std::size_t i = 0; i < kChunk; ++i)
            bits |= unsigned(units_[i] == a || units_[i] == b) << i;
        return bits;
#endif
    }

    // Bit i set when byte i is not ASCII.
    unsigned high() const {
#if defined(__SSE2__)
        return unsigned(_mm_movemask_epi8(units_));
#else
        unsigned bits = 0;
        for (std::size_t i = 0; i < kChunk; ++i)
            bits |= unsigned(units_[i] >= 0x80) << i;
        return bits;
#endif
    }

private:
    void load(const char* bytes) {
#if defined(__SSE2__)
        units_ = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
#else
        std::memcpy(units_, bytes, kChunk);
#endif
    }

#if defined(__SSE2__)
    __m128i units_;
#else
    unsigned char units_[kChunk];
#endif
};

// Bits from `from` (below 16) on, and bits below `end` (at most 16).
unsigned bits_from(unsigned from) {
    return 0xFFFFu << from & 0xFFFFu;
}
unsigned bits_below(unsigned end) {
    return (1u << end) - 1;
}

bool has_high_byte(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

} // namespace

RawScreen::RawScreen(const Query& query) {
    active_ = !query.empty();
    for (const QueryWord& word : query.words()) {
        active_ = active_ && word.folded_is_ascii && word.folded.find('\0') == std::string::npos;
        words_.push_back(word.folded);
    }
    // The raw bytes that fold to an ASCII byte: itself and, for a lowercase letter, its
    // uppercase form; for "/", also "\".
    for (unsigned c = 0; c < 128; ++c)
        other_[c] = static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 32 : c == '/' ? '\\' : c);
}

bool RawScreen::has_word(std::string_view text, const std::string& word) const {
    // Chunk by chunk, looking only for the character awaited next.
    std::size_t k = 0;
    for (std::size_t at = 0; at < text.size(); at += kChunk) {
        const Chunk chunk(text, at);
        unsigned found = 0, from = 0;
        while (from < kChunk) {
            const auto wanted = static_cast<unsigned char>(word[k]);
            found = chunk.equal(wanted, other_[wanted]) & bits_from(from);
            if (found == 0)
                break;
            if (++k == word.size())
                return true;
            from = unsigned(std::countr_zero(found)) + 1;
        }
    }
    return false;
}

bool RawScreen::may_match(std::string_view text) const {
    if (!active_)
        return true;
    for (const std::string& word : words_)
        if (!has_word(text, word))
            return has_high_byte(text);
    return true;
}

// One pass over the input, 16 bytes at a time, finding line ends, non-ASCII bytes and the
// characters of the first word in the same chunks; only a line that holds the first word is
// read again, for the other words.
bool RawScreen::next_line(std::string_view input, std::size_t& from, std::string_view& line) const {
    if (!active_) {
        if (from >= input.size())
            return false;
        const std::size_t end = std::min(input.find('\n', from), input.size());
        line = input.substr(from, end - from);
        from = end + 1;
        return true;
    }
    const std::string& first = words_.front();
    const auto* wanted = reinterpret_cast<const unsigned char*>(first.data());
    std::size_t k = 0;
    bool high = false;
    std::size_t start = from;
    const auto passes = [&](std::size_t end) {
        line = input.substr(start, end - start);
        if (high)
            return true;
        if (k < first.size())
            return false;
        for (std::size_t w = 1; w < words_.size(); ++w)
            if (!has_word(line, words_[w]))
                return false;
        return true;
    };
    std::size_t base = from;
    for (; base < input.size(); base += kChunk) {
        const Chunk chunk(input, base);
        const unsigned limit_mask =
            base + kChunk <= input.size() ? 0xFFFFu : bits_below(unsigned(input.size() - base));
        const unsigned newlines = chunk.equal('\n', '\n') & limit_mask;
        const unsigned highs = chunk.high();
        unsigned pos = 0;
        for (;;) {
            const unsigned ends = newlines & bits_from(pos);
            const unsigned end = ends ? unsigned(std::countr_zero(ends)) : unsigned(kChunk);
            const unsigned span = bits_from(pos) & bits_below(end);
            high = high || (highs & span) != 0;
            unsigned at = pos;
            while (k < first.size() && at < end) {
                const unsigned found =
                    chunk.equal(wanted[k], other_[wanted[k]]) & bits_from(at) & bits_below(end);
                if (found == 0)
                    break;
                ++k;
                at = unsigned(std::countr_zero(found)) + 1;
            }
            if (!ends)
                break;
            const bool ok = passes(base + end);
            start = base + end + 1;
            k = 0;
            high = false;
            if (ok) {
                from = start;
                return true;
            }
            pos = end + 1;
            if (pos >= kChunk)
                break;
        }
    }
    from = input.size() + 1;
    return start < input.size() && passes(input.size());
}

} // namespace corvantile::engine
