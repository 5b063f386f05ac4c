#include "core/engine/match/raw_screen.h"

#include "core/engine/text/byte_search.h"

#include <algorithm>
#include <bit>

namespace corvantile::engine {

namespace {

constexpr std::size_t kChunk = ByteChunk::kSize;

// Bits from `from` on, and bits below `end` (both at most 16).
unsigned bits_from(unsigned from) {
    return 0xFFFFu << from & 0xFFFFu;
}
unsigned bits_below(unsigned end) {
    return (1u << end) - 1;
}

} // namespace

RawScreen::RawScreen(const Query& query) {
    active_ = !query.empty();
    for (const QueryWord& word : query.words()) {
        active_ = active_ && word.folded_is_ascii;
        words_.push_back(word.folded);
    }
}

bool RawScreen::may_match(std::string_view text) const {
    if (!active_)
        return true;
    for (const std::string& word : words_)
        if (!byte_subsequence(text, word, raw_ascii_folds()))
            return has_high_byte(text);
    return true;
}

// One pass over the input, 16 bytes at a time, finding line ends, non-ASCII bytes and the
// bytes of the first word in the same chunks; only a line that holds the first word is read
// again, for the other words.
bool RawScreen::next_line(std::string_view input, std::size_t& from, std::string_view& line) const {
    if (!active_) {
        if (from >= input.size())
            return false;
        const std::size_t end = std::min(input.find('\n', from), input.size());
        line = input.substr(from, end - from);
        from = end + 1;
        return true;
    }
    const ByteAlternates& folds = raw_ascii_folds();
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
            if (!byte_subsequence(line, words_[w], folds))
                return false;
        return true;
    };
    for (std::size_t base = from; base < input.size(); base += kChunk) {
        const ByteChunk chunk(input, base);
        const unsigned newlines = chunk.equal('\n', '\n');
        const unsigned highs = chunk.high();
        unsigned pos = 0;
        for (;;) {
            const unsigned ends = newlines & bits_from(pos);
            const unsigned end = ends ? unsigned(std::countr_zero(ends)) : unsigned(kChunk);
            high = high || (highs & bits_from(pos) & bits_below(end)) != 0;
            unsigned at = pos;
            while (k < first.size() && at < end) {
                const unsigned found =
                    chunk.equal(wanted[k], folds[wanted[k]]) & bits_from(at) & bits_below(end);
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
