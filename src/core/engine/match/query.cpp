#include "core/engine/match/query.h"

#include "core/engine/match/match_scoring.h"
#include "core/engine/text/text_fold.h"

#include <algorithm>

namespace corvantile::engine {

namespace {

bool is_space(char32_t cp) {
    return cp == ' ' || cp == '\t' || cp == 0x3000 || cp == 0xA0;
}

} // namespace

Query::Query(std::string_view text, MatchOptions options) : options_(options) {
    std::size_t pos = 0;
    QueryWord word;
    const auto finish_word = [&] {
        if (word.folded_units.empty())
            return;
        word.mask = char_mask(word.folded);
        mask_ |= word.mask;
        bool exact_ascii = true;
        for (char32_t cp : word.exact_units)
            exact_ascii = exact_ascii && cp < 0x80;
        if (exact_ascii)
            for (char32_t cp : word.exact_units)
                word.exact_ascii.push_back(static_cast<char>(cp));
        if (!joined_folded_.empty()) {
            joined_folded_.push_back(' ');
            joined_exact_.push_back(U' ');
        }
        joined_folded_ += word.folded;
        joined_exact_ += word.exact_units;
        const bool word_chars =
            std::all_of(word.folded_units.begin(), word.folded_units.end(), [](char32_t cp) {
                const CharClass c = char_class(cp);
                return c != CharClass::Delimiter && c != CharClass::PathSeparator;
            });
        const std::size_t length = word.folded_units.size();
        for (const bool at_start : {false, true})
            for (const bool separators : {false, true})
                word.max_alignment[at_start][separators] =
                    max_alignment_score(length, word_chars, {at_start, separators});
        max_alignment_ += word.max_alignment[1][1];
        words_.push_back(std::move(word));
        word = QueryWord{};
    };
    while (pos < text.size()) {
        const char32_t cp = decode_utf8(text, pos);
        if (is_space(cp)) {
            finish_word();
            continue;
        }
        const char32_t fold = fold_code_point(cp);
        word.folded_units.push_back(fold);
        word.exact_units.push_back(strip_accents(cp));
        append_utf8(word.folded, fold);
        word.folded_is_ascii = word.folded_is_ascii && fold < 0x80;
        ++char_count_;
    }
    finish_word();
}

bool Query::narrows(const Query& previous) const {
    if (previous.empty() || !(options_ == previous.options_) ||
        previous.words_.size() > words_.size())
        return false;
    for (std::size_t i = 0; i < previous.words_.size(); ++i) {
        const std::u32string& old_word = options_.case_sensitive ? previous.words_[i].exact_units
                                                                 : previous.words_[i].folded_units;
        const std::u32string& new_word =
            options_.case_sensitive ? words_[i].exact_units : words_[i].folded_units;
        if (!new_word.starts_with(old_word))
            return false;
    }
    return true;
}

} // namespace corvantile::engine
