// The step of a folder bound's dynamic programming, eight 16-bit lanes (characters of a
// word) to an SSE2 register: the columns of a text's positions, one after the other.
#pragma once

#include "core/engine/match/match_scoring.h"
#include "core/engine/text/simd.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>

#if CORVANTILE_SSE2

namespace corvantile::engine::detail {

// What a position adds to each lane, by the bonuses of the position before it and of its
// own (which give its consecutive bonus): read from a table rather than worked out and
// broadcast position by position.
struct StepTables {
    static constexpr std::size_t kValues = kBonusStart + 1;
    static constexpr std::int16_t kLowest = std::numeric_limits<std::int16_t>::min();
    using Row = std::array<std::int16_t, 8>;
    struct alignas(64) Step {
        Row follow;       // all lanes: following directly
        Row after_gap;    // all lanes: after a gap
        Row first;        // lane 0 alone: the word's first character
        Row first_follow; // all but lane 0: following directly
    };
    std::array<std::array<Step, kValues>, kValues> steps{}; // by previous bonus, then own

    constexpr StepTables() {
        for (std::size_t before = 0; before < kValues; ++before)
            for (std::size_t own = 0; own < kValues; ++own) {
                const std::uint8_t pair[2] = {std::uint8_t(before), std::uint8_t(own)};
                const int consecutive = consecutive_bonus(pair, 1);
                Step& step = steps[before][own];
                for (std::size_t r = 0; r < 8; ++r) {
                    step.follow[r] = static_cast<std::int16_t>(kScoreMatch + consecutive);
                    step.after_gap[r] = static_cast<std::int16_t>(kScoreMatch + int(own));
                    step.first[r] =
                        r == 0 ? static_cast<std::int16_t>(kScoreMatch + 2 * int(own)) : kLowest;
                    step.first_follow[r] = r == 0 ? kLowest : step.follow[r];
                }
            }
    }
};
inline constexpr StepTables kSteps;

// Positions from..to of a text for a word of at most 8 * Halves characters: each column is
// worked out from the two before it, which stay in registers. Eight characters at a time;
// lane r reads lane r - 1 of the columns before (the high half's first lane the low half's
// last), saturating so that nothing wraps. Packed: several words side by side in one half,
// each beginning on a lane whose `starts` lane is set (a first character there, and nothing
// to read from the lane below).
// Classify: the units are the text's own ASCII bytes, whose bonuses are worked out here and
// written to `bonuses` (from the byte before `from`); otherwise they are read from there.
template <std::size_t Halves, bool Packed, bool Classify, class Column, class Lanes>
void run_columns(const Lanes* misses, Column* columns, std::size_t from, std::size_t to,
                 std::uint8_t* bonuses, const unsigned char* units, const Lanes* starts) {
    static_assert(!Packed || Halves == 1);
    const auto at = [](const Lanes& lanes, std::size_t h) {
        return _mm_load_si128(reinterpret_cast<const __m128i*>(lanes.data() + h * 8));
    };
    const auto put = [](Lanes& lanes, std::size_t h, __m128i value) {
        _mm_store_si128(reinterpret_cast<__m128i*>(lanes.data() + h * 8), value);
    };
    // Saturating arithmetic: an unplaced lane sinks to the lowest value and stays there.
    const __m128i lowest = _mm_set1_epi16(std::numeric_limits<std::int16_t>::min());
    const __m128i gap_start = _mm_set1_epi16(kGapStart);
    const __m128i gap_extension = _mm_set1_epi16(kGapExtension);
    const auto row = [](const StepTables::Row& lanes) {
        return _mm_load_si128(reinterpret_cast<const __m128i*>(lanes.data()));
    };
    __m128i placed_one[Halves], placed_two[Halves], gap_one[Halves], best_one[Halves];
    for (std::size_t h = 0; h < Halves; ++h) {
        placed_one[h] = at(columns[from + 1].placed, h);
        placed_two[h] = at(columns[from].placed, h);
        gap_one[h] = at(columns[from + 1].gap, h);
        best_one[h] = at(columns[from + 1].best, h);
    }
    // Packed: lanes that begin a word read the lowest value from below (min with this), and
    // only they take a first character (max with that).
    __m128i below_clamp = lowest, first_clamp = lowest;
    if constexpr (Packed) {
        const __m128i start = at(*starts, 0);
        below_clamp = _mm_or_si128(_mm_and_si128(start, lowest),
                                   _mm_andnot_si128(start, _mm_set1_epi16(0x7FFF)));
        first_clamp = _mm_or_si128(_mm_and_si128(start, _mm_set1_epi16(0x7FFF)),
                                   _mm_andnot_si128(start, lowest));
    }
    // (At the text's first position nothing is placed before, so what following adds there
    // does not matter.)
    std::size_t before = from > 0 ? bonuses[from - 1] : 0;
    std::size_t previous_class =
        from > 0 ? std::size_t(kAsciiClasses[units[from - 1] & 0x7F]) : PairTable::kAtStart;
    for (std::size_t j = from; j < to; ++j) {
        std::size_t bonus;
        if constexpr (Classify) {
            const auto current = std::size_t(kAsciiClasses[units[j] & 0x7F]);
            bonus = kPairs.bonus[previous_class][current];
            bonuses[j] = static_cast<std::uint8_t>(bonus);
            previous_class = current;
        } else {
            bonus = bonuses[j];
        }
        const StepTables::Step& step = kSteps.steps[before][bonus];
        before = bonus;
        const Lanes& miss = misses[units[j] & 0x7F];
        const __m128i follow = row(step.follow);
        const __m128i after_gap = row(step.after_gap);
        // The first character has no predecessor to follow: it earns its position's bonus
        // twice (after a gap its lane comes out lower).
        const __m128i first = row(step.first);
        const __m128i first_follow = row(step.first_follow);
        Column& here = columns[j + 2];
        __m128i now[Halves];
        for (std::size_t h = 0; h < Halves; ++h) {
            // Only what the column before depends on is on the chain from column to column.
            const __m128i not_here =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(miss.data() + h * 8));
            __m128i above = _mm_slli_si128(placed_one[h], 2);
            __m128i above_two = _mm_slli_si128(placed_two[h], 2);
            if (h > 0) {
                above = _mm_or_si128(above, _mm_srli_si128(placed_one[h - 1], 14));
                above_two = _mm_or_si128(above_two, _mm_srli_si128(placed_two[h - 1], 14));
            }
            if constexpr (Packed) {
                above = _mm_min_epi16(above, below_clamp);
                above_two = _mm_min_epi16(above_two, below_clamp);
            }
            const __m128i gap = _mm_max_epi16(_mm_adds_epi16(gap_one[h], gap_extension),
                                              _mm_adds_epi16(above_two, gap_start));
            __m128i placed =
                _mm_max_epi16(_mm_adds_epi16(above, h == 0 && !Packed ? first_follow : follow),
                              _mm_adds_epi16(gap, after_gap));
            if constexpr (Packed)
                placed = _mm_max_epi16(
                    placed, _mm_min_epi16(_mm_set1_epi16(short(kScoreMatch + 2 * int(bonus))),
                                          first_clamp));
            else if (h == 0)
                placed = _mm_max_epi16(placed, first);
            placed = _mm_adds_epi16(placed, not_here);
            const __m128i best = _mm_max_epi16(best_one[h], placed);
            put(here.gap, h, gap);
            put(here.placed, h, placed);
            put(here.best, h, best);
            gap_one[h] = gap;
            best_one[h] = best;
            now[h] = placed;
        }
        for (std::size_t h = 0; h < Halves; ++h) {
            placed_two[h] = placed_one[h];
            placed_one[h] = now[h];
        }
    }
}

} // namespace corvantile::engine::detail

#endif
