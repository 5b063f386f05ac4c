// A search text prepared for matching: split into words, folded, with its character mask.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvantile::engine {

struct MatchOptions {
    bool case_sensitive = false;   // letters must match in case (accents still fold)
    bool match_start_only = false; // the first word must be a prefix of the name
    bool operator==(const MatchOptions&) const = default;
};

struct QueryWord {
    std::string folded;          // folded UTF-8
    std::u32string folded_units; // folded code points
    std::u32string exact_units;  // code points with accents stripped and case kept
    std::string exact_ascii;     // exact_units as bytes when they are all ASCII
    bool folded_is_ascii = true;
    std::uint32_t mask = 0;
    // Highest alignment score [at the start of a text or not][in a text with path separators
    // or not].
    int max_alignment[2][2] = {};
};

class Query {
public:
    Query() = default;
    Query(std::string_view text, MatchOptions options);

    const std::vector<QueryWord>& words() const { return words_; }
    const MatchOptions& options() const { return options_; }
    bool empty() const { return words_.empty(); }
    // Number of code points typed, spaces excluded.
    std::size_t char_count() const { return char_count_; }
    std::uint32_t mask() const { return mask_; }
    // The folded words joined by single spaces.
    const std::string& joined_folded() const { return joined_folded_; }
    // The exact (case-kept) words joined by single spaces.
    const std::u32string& joined_exact() const { return joined_exact_; }
    // Highest alignment score the words can reach together.
    int max_alignment() const { return max_alignment_; }

    // True when every item this query matches is also matched by previous (the text was
    // extended), so the matches of previous can serve as the candidates of this one.
    bool narrows(const Query& previous) const;

private:
    std::vector<QueryWord> words_;
    MatchOptions options_;
    std::size_t char_count_ = 0;
    std::uint32_t mask_ = 0;
    std::string joined_folded_;
    std::u32string joined_exact_;
    int max_alignment_ = 0;
};

} // namespace corvantile::engine
