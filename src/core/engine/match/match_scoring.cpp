#include "core/engine/match/match_scoring.h"

#include "core/engine/text/text_fold.h"

#include <algorithm>
#include <array>
#include <limits>
#include <vector>

namespace corvantile::engine {

CharClass char_class(char32_t cp) {
    if (cp < 128)
        return detail::kAsciiClasses[cp];
    if (cp == 0xA0 || (cp >= 0x2000 && cp <= 0x206F) || (cp >= 0x3000 && cp <= 0x303F) ||
        cp == 0xD7 || cp == 0xF7)
        return CharClass::Delimiter;
    return is_upper_case(cp) ? CharClass::Upper : CharClass::Lower;
}

int position_bonus(CharClass previous, CharClass current, bool at_start) {
    return detail::bonus_of(previous, current, at_start);
}

void ascii_bonuses(std::string_view text, std::span<std::uint8_t> bonus) {
    ascii_folder_bonuses(text, 0, bonus);
    // The last separator is near the end of a path (a file's name is short): look from there.
    std::size_t last_separator = text.size();
    for (std::size_t i = text.size(); i-- > 0;)
        if (text[i] == '/' || text[i] == '\\') {
            last_separator = i;
            break;
        }
    mark_last_component(bonus.first(text.size()), last_separator);
}

void ascii_folder_bonuses(std::string_view text, std::size_t from, std::span<std::uint8_t> bonus) {
    const auto class_at = [&](std::size_t i) {
        return std::size_t(detail::kAsciiClasses[static_cast<unsigned char>(text[i]) & 0x7F]);
    };
    std::size_t previous = from > 0 ? class_at(from - 1) : detail::PairTable::kAtStart;
    for (std::size_t i = from; i < text.size(); ++i) {
        const std::size_t current = class_at(i);
        bonus[i] = detail::kPairs.bonus[previous][current];
        previous = current;
    }
}

void mark_last_component(std::span<std::uint8_t> bonus, std::size_t last_separator) {
    if (last_separator + 1 < bonus.size() && bonus[last_separator + 1] == kBonusPath)
        bonus[last_separator + 1] = kBonusStart;
}

int score_alignment(const std::uint8_t* bonus, std::span<const std::uint32_t> positions) {
    if (positions.empty())
        return 0;
    int score = kScoreMatch + 2 * bonus[positions[0]];
    for (std::size_t i = 1; i < positions.size(); ++i) {
        const std::uint32_t j = positions[i];
        const std::uint32_t previous = positions[i - 1];
        if (j == previous + 1) {
            score += kScoreMatch + consecutive_bonus(bonus, j);
        } else {
            const int gap = int(j - previous - 1);
            score += kGapStart + (gap - 1) * kGapExtension + kScoreMatch + bonus[j];
        }
    }
    return score;
}

int max_alignment_score(std::size_t length, bool word_chars, TextTraits text) {
    if (length == 0)
        return 0;
    const int m = int(length);
    // Past the start, the start of a path's last part earns the most.
    const int boundary = text.separators ? kBonusStart : kBonusBoundary;
    const int first = kScoreMatch + 2 * (text.at_start ? kBonusStart : boundary);
    const int second_in_first = kScoreMatch + (text.at_start ? kBonusStart : boundary);
    if (!word_chars || length > 256)
        return m == 1 ? first : first + second_in_first + (m - 2) * (kScoreMatch + boundary);
    // A run of letters and digits: its second character carries the bonus of the first; later
    // ones follow a letter or digit and earn the consecutive bonus. A run after a gap starts
    // with at most the boundary bonus, less the gap.
    const int inner = kScoreMatch + kBonusConsecutive;
    const int after_gap = kScoreMatch + boundary + kGapStart;
    const int second_after_gap = kScoreMatch + boundary;
    const auto run = [&](int head, int second, int later, int size) {
        return size == 1 ? head : head + second + (size - 2) * later;
    };
    // best[r]: the most r characters can add as runs after gaps.
    std::vector<int> best(length + 1, 0);
    for (int r = 1; r <= m; ++r) {
        best[r] = std::numeric_limits<int>::min();
        for (int size = 1; size <= r; ++size)
            best[r] =
                std::max(best[r], run(after_gap, second_after_gap, inner, size) + best[r - size]);
    }
    int total = std::numeric_limits<int>::min();
    for (int size = 1; size <= m; ++size)
        total = std::max(total, run(first, second_in_first, inner, size) + best[m - size]);
    return total;
}

} // namespace corvantile::engine
