// A quick test of raw text against a query, for texts that are not in a catalog yet: it
// tells the lines the query cannot match from the others without folding or storing them.
#pragma once

#include "core/engine/match/query.h"

#include <string>
#include <string_view>
#include <vector>

namespace corvantile::engine {

class RawScreen {
public:
    explicit RawScreen(const Query& query);

    // False when the screen cannot tell (no query, or a word that does not fold to ASCII):
    // then every text may match.
    bool active() const { return active_; }

    // False only when the query cannot match text under any match options: some word is not
    // a subsequence of the folded text. Texts with non-ASCII bytes are let through, as their
    // folded forms are not worked out here.
    bool may_match(std::string_view text) const;

    // The next line of input, from byte `from` on (a line start), that may match; `from`
    // moves past it. Lines end at "\n", and a last line without one counts unless empty.
    // False when no line is left.
    bool next_line(std::string_view input, std::size_t& from, std::string_view& line) const;

private:
    std::vector<std::string> words_; // folded ASCII, non-empty
    bool active_ = false;
};

} // namespace corvantile::engine
