#include "core/engine/text/byte_search.h"

#include <algorithm>
#include <bit>

namespace corvantile::engine {

namespace {

ByteAlternates make_alternates(bool raw_ascii) {
    ByteAlternates table{};
    for (unsigned c = 0; c < 256; ++c) {
        unsigned other = c;
        if (raw_ascii && c >= 'a' && c <= 'z')
            other = c - 32;
        else if (raw_ascii && c == '/')
            other = '\\';
        table[c] = static_cast<unsigned char>(other);
    }
    return table;
}

} // namespace

const ByteAlternates& exact_bytes() {
    static const ByteAlternates table = make_alternates(false);
    return table;
}

const ByteAlternates& raw_ascii_folds() {
    static const ByteAlternates table = make_alternates(true);
    return table;
}

bool has_high_byte(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

bool byte_subsequence(std::string_view text, std::string_view word,
                      const ByteAlternates& alternates) {
    if (word.empty())
        return true;
    // Chunk by chunk, looking only for the byte awaited next: a compare or two per chunk.
    std::size_t k = 0;
    for (std::size_t at = 0; at < text.size(); at += ByteChunk::kSize) {
        const ByteChunk chunk(text, at);
        unsigned from = 0;
        while (from < ByteChunk::kSize) {
            const auto wanted = static_cast<unsigned char>(word[k]);
            const unsigned found = chunk.equal(wanted, alternates[wanted]) >> from;
            if (found == 0)
                break;
            if (++k == word.size())
                return true;
            from += unsigned(std::countr_zero(found)) + 1;
        }
    }
    return false;
}

} // namespace corvantile::engine
