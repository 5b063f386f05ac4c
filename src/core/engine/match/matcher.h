// Fuzzy matching of a query against one item: whether it matches, its score and the matched
// character positions.
//
// Every word of the query must occur as a subsequence of the name or, failing that, of the
// path. The score's tier is the kind of match (see ranking.h); within a tier the words are
// placed where they score best. A Matcher keeps scratch space: use one per thread.
#pragma once

#include "core/engine/match/match_algorithms.h"
#include "core/engine/match/query.h"
#include "core/engine/match/ranking.h"
#include "core/engine/catalog/segment.h"
#include "core/engine/match/text_bits.h"
#include "core/engine/text/text_fold.h"

#include <array>
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
    std::string_view folded_name;                // fold_text of name
    std::string_view folded_path;                // fold_text of path
    std::uint32_t name_mask = ~std::uint32_t{0}; // char_mask of folded_name, when known
};

// Where the query matched: byte offsets into the original name and path, ascending.
struct MatchPositions {
    std::vector<std::uint32_t> name;
    std::vector<std::uint32_t> path;
};

// Which matches a call looks for: any, only those with every word in the name, or only
// those that need the path for some word.
enum class PathUse : std::uint8_t { Any, Never, Needed };

struct MatchResult {
    std::int32_t score = 0;
    MatchTier tier = MatchTier::PathOnly;
};

class Matcher {
public:
    explicit Matcher(const Query& query);

    // The match of an item, or nullopt when it does not match or provably cannot rank above
    // floor. Fills positions when given.
    std::optional<MatchResult> match(const ItemText& item, Floor floor = {},
                                     MatchPositions* positions = nullptr,
                                     PathUse path_use = PathUse::Any);

    // False when an item whose name has this head, character mask and byte length provably
    // cannot rank above floor; reads no text.
    bool may_reach(NameHead head, std::uint32_t name_mask, std::uint32_t name_length,
                   Floor floor) const {
        if (floor.none())
            return true;
        // A name that lacks a character of the query leaves some word to the path.
        if ((name_mask & mask_) != mask_)
            return !floor.excludes(path_only_bound_, name_length);
        const int separators = (name_mask & kSeparatorMaskBit) != 0;
        const auto first = static_cast<unsigned char>(head.first());
        // Selects rather than branches: the first bytes of the names met are unpredictable.
        const bool exact = (first == joined_first_) & exact_possible(head);
        const std::int32_t bound = exact ? exact_bound_ : word_start_bound_[first][separators];
        return !floor.excludes(bound, name_length);
    }

    // The first folded byte of the query, and the most an item whose name begins otherwise
    // can score: once the floor is above that, only names beginning with it can enter.
    unsigned char first_byte() const { return joined_first_; }
    std::int32_t other_first_bound() const { return other_first_bound_; }

    // The most a match that needs the path can score.
    std::int32_t path_only_bound() const { return path_only_bound_; }

    // False when the item provably has no match that needs its path: no word of the query
    // occurs in the folded path, or a word that the name's character mask rules out does
    // not occur there either. Reads the path 16 bytes at a time and nothing else.
    bool path_may_hold(std::string_view folded_path, std::uint32_t name_mask) const;

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

    // Where the words lie: some in the name, all in the name.
    struct Spread {
        bool any_in_name = false;
        bool all_in_name = true;
    };
    // The words placed so far: the weakest tier and the alignment they add up to.
    struct Placed {
        MatchTier tier = MatchTier::Exact;
        int alignment = 0;
    };

    enum class Screen { Unknown, Rejected, Passed };
    // Decides from the texts' bits, without aligning anything, where each word lies and
    // whether the item can still rank above the floor; Passed fills placements_[w].in_name.
    Screen screen(const ItemText& item, Floor floor, bool path_may_rank, PathUse path_use);
    // The steps of match, in order.
    bool head_may_rank(const ItemText& item, Floor floor) const;
    bool locate_words(const ItemText& item, Screen screened, bool path_may_rank, PathUse path_use,
                      Spread& spread);
    Placed place_exact_name();
    bool place_words(const ItemText& item, Floor floor, PathUse path_use, Placed& placed);
    bool place_quick_words(Placed& placed, int& pending);
    bool place_scattered_words(const ItemText& item, Floor floor, PathUse path_use, int pending,
                               Placed& placed);
    static int needed_alignment(Floor floor, MatchTier tier);
    void prepare(std::string_view original, std::string_view folded_text, Prepared& out);
    int place_quick(std::size_t w, WordPlacement& placement);
    int place_scattered(const Prepared& text, std::size_t w, WordPlacement& placement,
                        int at_least);
    bool exact_name();
    // Whether a name with this head may equal the query, or the query and an extension.
    bool exact_possible(NameHead head) const {
        const std::size_t length = head.length(), size = joined_size_;
        return (length == size) | (length == NameHead::kLongName) |
               ((length > size) & ((head.last_dot() == size) | (size >= NameHead::kFarDot)));
    }
    void fill_positions(MatchPositions& out) const;
    // Calls fn(pattern, subject) with the word and text in the same unit type.
    template <class Fn> int with_word(const Prepared& text, const ModeWord& word, Fn&& fn);

    Query query_;
    // Score bounds [first folded byte of the name][path separators in the name].
    std::array<std::array<std::int32_t, 2>, 256> word_start_bound_{};
    std::int32_t exact_bound_ = 0;
    std::int32_t path_only_bound_ = 0;
    std::int32_t other_first_bound_ = 0;
    std::uint32_t mask_ = 0;
    unsigned char joined_first_ = 0;
    std::size_t joined_size_ = 0;
    std::vector<ModeWord> mode_words_;
    ModeWord joined_;
    Prepared name_;
    Prepared path_;
    std::vector<WordPlacement> placements_;
    std::vector<BitWord> bit_words_; // empty when the words do not suit TextBits
    ShortTextBits name_bits_;        // a name of more than 64 characters is aligned unscreened
    LongTextBits path_bits_;
    detail::AlignScratch scratch_;
    bool want_positions_ = false; // scattered placements record their positions
};

} // namespace corvantile::engine
