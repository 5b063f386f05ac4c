// Fuzzy matching of a query against one item: whether it matches, its score and the matched
// character positions.
//
// Every word of the query must occur as a subsequence of the name or, failing that, of the
// path. The score's tier is the kind of match (see ranking.h); within a tier the words are
// placed where they score best. A Matcher keeps scratch space: use one per thread.
#pragma once

#include "core/engine/match_algorithms.h"
#include "core/engine/query.h"
#include "core/engine/ranking.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvantile::engine {

// The texts of one item as the matcher reads them.
struct ItemText {
    std::string_view name;
    std::string_view path;
    std::string_view folded_name; // fold_text of name
    std::string_view folded_path; // fold_text of path
    bool non_ascii = false;       // name or path holds a non-ASCII byte
};

// Where the query matched: byte offsets into the original name and path, ascending.
struct MatchPositions {
    std::vector<std::uint32_t> name;
    std::vector<std::uint32_t> path;
};

struct MatchResult {
    std::int32_t score = 0;
    MatchTier tier = MatchTier::PathOnly;
};

class Matcher {
public:
    explicit Matcher(const Query& query);

    // The match of an item, or nullopt when it does not match or provably scores below floor.
    // Fills positions when given.
    std::optional<MatchResult> match(const ItemText& item, std::int32_t floor = kNoFloor,
                                     MatchPositions* positions = nullptr);

    const Query& query() const { return query_; }

private:
    // A text prepared for placement: units in the query's comparison form and bonuses.
    struct Prepared {
        bool wide = false;         // code points rather than bytes
        std::string bytes;         // ASCII comparison units (case-sensitive mode)
        std::u32string wide_units; // code point comparison units
        std::vector<std::uint8_t> bonus;
        std::vector<std::uint32_t> offsets; // byte offset of each code point
        std::string_view ascii_units;       // the byte units in use
        std::size_t size = 0;
    };
    struct WordPlacement {
        MatchTier tier = MatchTier::PathOnly;
        int score = 0;
        bool in_name = true;
        std::vector<std::uint32_t> positions; // unit indexes
    };
    // A query word (or the joined words) in the comparison form of the match options.
    struct ModeWord {
        std::string bytes; // valid when bytes_ok: every unit is ASCII
        bool bytes_ok = false;
        std::u32string wide;
    };

    void prepare(std::string_view original, std::string_view folded_text, bool non_ascii,
                 Prepared& out);
    int place_quick(std::size_t w, WordPlacement& placement);
    int place_scattered(const Prepared& text, std::size_t w, WordPlacement& placement);
    bool exact_name();
    void fill_positions(MatchPositions& out) const;
    // Calls fn(pattern, subject) with the word and text in the same unit type.
    template <class Fn> int with_word(const Prepared& text, const ModeWord& word, Fn&& fn);

    Query query_;
    std::vector<ModeWord> mode_words_;
    ModeWord joined_;
    Prepared name_;
    Prepared path_;
    std::vector<WordPlacement> placements_;
    detail::AlignScratch scratch_;
};

} // namespace corvantile::engine
