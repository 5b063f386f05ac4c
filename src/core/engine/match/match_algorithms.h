// The placement algorithms of one query word in one text, generic over the unit type: bytes
// for ASCII texts, code points for the others. Used by the Matcher only.
#pragma once

#include "core/engine/match/match_scoring.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

namespace corvantile::engine::detail {

// A text as matched: its units, and the bonus of each position.
template <class Unit> struct Subject {
    const Unit* units = nullptr;
    const std::uint8_t* bonus = nullptr;
    std::size_t size = 0;
};

// A query word in the same units.
template <class Unit> struct Pattern {
    const Unit* units = nullptr;
    std::size_t size = 0;
};

inline constexpr int kNoScore = std::numeric_limits<int>::min() / 2;
// An alignment given up because it could not reach the score asked for.
inline constexpr int kTooLow = kNoScore + 1;

template <class Unit> bool is_subsequence(const Pattern<Unit>& p, const Subject<Unit>& s) {
    std::size_t i = 0;
    for (std::size_t j = 0; j < s.size && i < p.size; ++j)
        if (s.units[j] == p.units[i])
            ++i;
    return i == p.size;
}

template <class Unit>
bool equal_at(const Pattern<Unit>& p, const Subject<Unit>& s, std::size_t at) {
    if (at + p.size > s.size)
        return false;
    for (std::size_t k = 0; k < p.size; ++k)
        if (s.units[at + k] != p.units[k])
            return false;
    return true;
}

// Score of the pattern matched as one run starting at position start.
inline int run_score(const std::uint8_t* bonus, std::size_t start, std::size_t length) {
    int score = kScoreMatch + 2 * bonus[start];
    for (std::size_t k = 1; k < length; ++k)
        score += kScoreMatch + consecutive_bonus(bonus, start + k);
    return score;
}

inline void fill_run(std::vector<std::uint32_t>& positions, std::size_t start, std::size_t length) {
    positions.clear();
    for (std::size_t k = 0; k < length; ++k)
        positions.push_back(static_cast<std::uint32_t>(start + k));
}

// Best placement of the pattern as a run that begins a word; kNoScore when there is none.
template <class Unit>
int best_word_start(const Pattern<Unit>& p, const Subject<Unit>& s,
                    std::vector<std::uint32_t>& positions) {
    int best = kNoScore;
    std::size_t best_start = 0;
    for (std::size_t start = 0; start + p.size <= s.size; ++start) {
        if (s.bonus[start] < kWordStartBonus || s.units[start] != p.units[0] ||
            !equal_at(p, s, start))
            continue;
        const int score = run_score(s.bonus, start, p.size);
        if (score > best) {
            best = score;
            best_start = start;
        }
    }
    if (best != kNoScore)
        fill_run(positions, best_start, p.size);
    return best;
}

// Placement of every pattern character at a word start, in order ("vsc" in "Visual Studio
// Code"); kNoScore when the pattern is not such an acronym.
template <class Unit>
int acronym(const Pattern<Unit>& p, const Subject<Unit>& s, std::vector<std::uint32_t>& positions) {
    if (p.size < 2)
        return kNoScore;
    positions.clear();
    for (std::size_t j = 0; j < s.size && positions.size() < p.size; ++j)
        if (s.bonus[j] >= kWordStartBonus && s.units[j] == p.units[positions.size()])
            positions.push_back(static_cast<std::uint32_t>(j));
    if (positions.size() != p.size)
        return kNoScore;
    return score_alignment(s.bonus, positions);
}

// Scratch space of the alignment search, reused between calls.
struct AlignScratch {
    std::vector<int> score;
    std::vector<std::int32_t> from;
    std::vector<std::uint32_t> first, last;
};

inline constexpr std::size_t kMaxAlignPattern = 64;
inline constexpr std::size_t kMaxAlignCells = std::size_t{1} << 18;

// Leftmost and rightmost placements of the pattern, which bound where each character can go;
// false when the pattern does not occur.
template <class Unit>
bool placement_bounds(const Pattern<Unit>& p, const Subject<Unit>& s, AlignScratch& scratch) {
    const std::size_t m = p.size;
    if (m == 0 || m > s.size)
        return false;
    scratch.first.resize(m);
    scratch.last.resize(m);
    std::size_t i = 0;
    for (std::size_t j = 0; j < s.size && i < m; ++j)
        if (s.units[j] == p.units[i])
            scratch.first[i++] = static_cast<std::uint32_t>(j);
    if (i < m)
        return false;
    std::size_t k = m;
    for (std::size_t j = s.size; j-- > 0 && k > 0;)
        if (s.units[j] == p.units[k - 1])
            scratch.last[--k] = static_cast<std::uint32_t>(j);
    return true;
}

// The best placement of the pattern as a subsequence under the scoring model: dynamic
// programming over (pattern character, text position), where a character either continues a
// run or follows a gap from the best earlier cell. kNoScore when the pattern does not occur.
// Fills positions when given; without them only two rows are kept. Gives up with kTooLow as
// soon as even a perfect end could not reach at_least. Very long patterns or texts fall back
// to the leftmost placement.
template <class Unit>
int best_alignment(const Pattern<Unit>& p, const Subject<Unit>& s,
                   std::vector<std::uint32_t>* positions, AlignScratch& scratch,
                   int at_least = kNoScore) {
    if (!placement_bounds(p, s, scratch))
        return kNoScore;
    const std::size_t m = p.size;
    const auto& first = scratch.first;
    const auto& last = scratch.last;
    if (m == 1) {
        std::uint32_t best_j = first[0];
        for (std::uint32_t j = first[0]; j <= last[0]; ++j)
            if (s.units[j] == p.units[0] && s.bonus[j] > s.bonus[best_j])
                best_j = j;
        if (positions)
            positions->assign(1, best_j);
        return kScoreMatch + 2 * s.bonus[best_j];
    }
    const std::size_t base = first[0];
    const std::size_t width = last[m - 1] - base + 1;
    if (m > kMaxAlignPattern || width * m > kMaxAlignCells) {
        const std::span<const std::uint32_t> leftmost(first);
        if (positions)
            positions->assign(first.begin(), first.end());
        return score_alignment(s.bonus, leftmost);
    }
    // With positions, every row is kept for the way back; without, two rows take turns.
    const std::size_t rows = positions ? m : 2;
    scratch.score.assign(width * rows, kNoScore);
    if (positions)
        scratch.from.resize(width * m);
    int* score = scratch.score.data();
    std::int32_t* from = scratch.from.data();
    const auto row_of = [&](std::size_t row) { return score + (row % rows) * width; };

    for (std::size_t j = first[0]; j <= last[0]; ++j)
        if (s.units[j] == p.units[0])
            score[j - base] = kScoreMatch + 2 * s.bonus[j];

    for (std::size_t row = 1; row < m; ++row) {
        const int* above = row_of(row - 1);
        int* here = row_of(row);
        if (!positions)
            std::fill(here + first[row - 1] - base, here + last[row] - base + 1, kNoScore);
        const std::size_t above_first = first[row - 1], above_last = last[row - 1];
        int gap_best = kNoScore; // best cell of the row above, net of the gap up to j
        std::int32_t gap_from = -1;
        int row_best = kNoScore;
        for (std::size_t j = above_first + 1; j <= last[row]; ++j) {
            // Cells of the row above at j - 2 or earlier can precede j across a gap.
            if (gap_best != kNoScore)
                gap_best += kGapExtension;
            if (j >= above_first + 2 && j - 2 <= above_last) {
                const int candidate = above[j - 2 - base];
                if (candidate != kNoScore && candidate + kGapStart >= gap_best) {
                    gap_best = candidate + kGapStart;
                    gap_from = static_cast<std::int32_t>(j - 2);
                }
            }
            if (j < first[row] || s.units[j] != p.units[row])
                continue;
            int best = kNoScore;
            std::int32_t best_from = -1;
            if (j - 1 <= above_last && above[j - 1 - base] != kNoScore) {
                best = above[j - 1 - base] + kScoreMatch + consecutive_bonus(s.bonus, j);
                best_from = static_cast<std::int32_t>(j - 1);
            }
            if (gap_best != kNoScore && gap_best + kScoreMatch + s.bonus[j] > best) {
                best = gap_best + kScoreMatch + s.bonus[j];
                best_from = gap_from;
            }
            here[j - base] = best;
            row_best = std::max(row_best, best);
            if (positions)
                from[row * width + j - base] = best_from;
        }
        // No later character earns more than the start bonus (at the start of a path's last
        // part, or right after it).
        const int rest = int(m - 1 - row) * (kScoreMatch + kBonusStart);
        if (at_least != kNoScore && row_best + rest < at_least)
            return kTooLow;
    }
    const int* bottom = row_of(m - 1);
    int best = kNoScore;
    std::size_t best_j = 0;
    for (std::size_t j = first[m - 1]; j <= last[m - 1]; ++j)
        if (bottom[j - base] > best) {
            best = bottom[j - base];
            best_j = j;
        }
    if (positions) {
        positions->resize(m);
        for (std::size_t row = m; row-- > 0;) {
            (*positions)[row] = static_cast<std::uint32_t>(best_j);
            if (row > 0)
                best_j = static_cast<std::size_t>(from[row * width + best_j - base]);
        }
    }
    return best;
}

} // namespace corvantile::engine::detail
