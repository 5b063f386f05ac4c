#include "core/engine/match/folder_bound.h"

#include "core/engine/match/folder_columns.h"
#include "core/engine/match/match_scoring.h"
#include "core/engine/match/ranking.h"
#include "core/engine/text/text_fold.h"
#include "core/engine/text/simd.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <string>

namespace corvantile::engine {

namespace {

// The folded form of an ASCII byte.
std::int16_t fold_ascii(std::size_t c) {
    char folded = static_cast<char>(c);
    fold_ascii_in_place(&folded, 1);
    return static_cast<std::int16_t>(static_cast<unsigned char>(folded));
}

// No placement. Scores built on it stay far below any real one (a real alignment of a word of
// kMaxWord characters over kMaxFolder positions scores above -kMaxFolder).
constexpr int kNone = -16384;
constexpr int kReal = kNone / 2; // above this a score is a real placement's
constexpr std::int16_t kLowestLane = std::numeric_limits<std::int16_t>::min();

} // namespace

FolderBound::FolderBound(const Query& query) {
    const MatchOptions& options = query.options();
    usable_ = !query.empty() && query.words().size() <= kMaxWords && !options.case_sensitive &&
              !options.match_start_only;
    for (const QueryWord& source : query.words()) {
        if (!source.folded_is_ascii || source.folded.empty() || source.folded.size() > kMaxWord) {
            usable_ = false;
            break;
        }
        Word word;
        word.units.fill(-1);
        word.size = source.folded.size();
        word.mask = source.mask;
        for (std::size_t r = 0; r < word.size; ++r)
            word.units[r] = static_cast<std::int16_t>(static_cast<unsigned char>(source.folded[r]));
        const std::size_t separator = source.folded.rfind('/');
        word.name_possible = separator == std::string::npos;
        word.min_in_folder = word.name_possible ? 1 : separator + 1;
        // A file's name holds no separator (files whose names do are not bounded here).
        word.in_name = source.max_alignment[1][0];
        word.in_name_later = source.max_alignment[0][0];
        // Characters k on, placed in a name after a placement in the folder: as the most a
        // pattern of theirs can score in a text without separators, less the first
        // character's second bonus (it continues the word rather than starting it).
        bool word_chars = true;
        for (std::size_t k = word.size; k-- > 0;) {
            const std::string_view rest = std::string_view(source.folded).substr(k);
            word.rest_masks[k] = char_mask(rest);
            const CharClass kind = char_class(static_cast<unsigned char>(rest.front()));
            word_chars =
                word_chars && kind != CharClass::Delimiter && kind != CharClass::PathSeparator;
            word.rest_at_start[k] = static_cast<std::int16_t>(
                max_alignment_score(rest.size(), word_chars, {true, false}) - kBonusStart);
            word.rest_later[k] = static_cast<std::int16_t>(
                max_alignment_score(rest.size(), word_chars, {false, false}) - kBonusBoundary);
            word.in_name_from[k] = k >= word.min_in_folder ? -1 : 0;
        }
        // Two columns of nothing before the folder's first position.
        Column none;
        none.placed.fill(kNone);
        none.gap.fill(kNone);
        none.best.fill(kNone);
        // (The others are made as texts need them: a search pays only for the lengths it meets.)
        word.columns.assign(2, none);
        word.name_columns.assign(2, none);
        fill_misses(word);
        via_name_[words_.size()] = word.name_possible ? word.mask : kNever;
        words_.push_back(std::move(word));
        word_count_ = words_.size();
    }
    std::size_t total = 0, bits = 0;
    for (Word& word : words_) {
        total += word.size;
        word.reading_offset = bits;
        bits += word.size + 1;
    }
    usable_ = usable_ && bits <= kReadingBits;
    for (const Word& word : words_) {
        first_reading_ |= Reading{1} << word.reading_offset;
        for (std::size_t c = 0; c < 128; ++c)
            for (std::size_t k = 0; k < word.size; ++k)
                if (word.units[k] == fold_ascii(c))
                    awaits_[c] |= Reading{1} << (word.reading_offset + k);
    }
    readings_[0] = first_reading_;
    packed_ = usable_ && words_.size() > 1 && total <= kMaxWord / 2;
    if (packed_) {
        together_.units.fill(-1);
        together_.columns = words_.front().columns;
        for (std::size_t w = 0, at = 0; w < words_.size(); at += words_[w++].size) {
            offsets_[w] = at;
            std::copy_n(words_[w].units.begin(), words_[w].size, together_.units.begin() + at);
            starts_[at] = -1;
        }
        together_.size = total;
        fill_misses(together_);
    }
}

void FolderBound::fill_misses(Word& word) {
    word.misses.assign(128, Lanes{});
    for (std::size_t c = 0; c < 128; ++c)
        for (std::size_t r = 0; r < kMaxWord; ++r)
            word.misses[c][r] = word.units[r] == fold_ascii(c) ? 0 : kLowestLane;
}

// Makes room for the columns of a text of this many positions.
void FolderBound::grow(std::vector<Column>& columns, std::size_t positions) {
    if (columns.size() < positions + 2)
        columns.resize(positions + 2);
}

// Computes the columns of positions from..to of a text (position j held at j + 2) from the
// two before each, as the full alignment does row by row: a character either directly
// follows its predecessor or comes after a gap, which costs kGapStart and kGapExtension per
// further position.
void FolderBound::advance(const Word& word, Column* columns, std::size_t from, std::size_t to,
                          std::uint8_t* bonuses, const unsigned char* units, bool classify,
                          const Lanes* starts) {
#if CORVANTILE_SSE2
    const Lanes* misses = word.misses.data();
    const auto run = [&]<bool Classify>() {
        if (starts)
            detail::run_columns<1, true, Classify>(misses, columns, from, to, bonuses, units,
                                                   starts);
        else if (word.size > kMaxWord / 2)
            detail::run_columns<2, false, Classify>(misses, columns, from, to, bonuses, units,
                                                    starts);
        else
            detail::run_columns<1, false, Classify>(misses, columns, from, to, bonuses, units,
                                                    starts);
    };
    if (classify)
        run.template operator()<true>();
    else
        run.template operator()<false>();
#else
    const std::size_t lanes = word.size > kMaxWord / 2 ? kMaxWord : kMaxWord / 2;
    if (classify)
        ascii_folder_bonuses({reinterpret_cast<const char*>(units), to}, from, {bonuses, to});
    for (std::size_t j = from; j < to; ++j) {
        const Column& before = columns[j + 1];
        const Column& two_before = columns[j];
        Column& here = columns[j + 2];
        const int bonus = bonuses[j];
        const int consecutive = j > 0 ? consecutive_bonus(bonuses, j) : 0;
        for (std::size_t r = 0; r < lanes; ++r) {
            const bool below = r > 0 && !(starts && (*starts)[r] != 0);
            const int above = below ? before.placed[r - 1] : kNone;
            const int above_two = below ? two_before.placed[r - 1] : kNone;
            const int gap = std::max({before.gap[r] + kGapExtension, above_two + kGapStart, kNone});
            const bool begins = starts ? (*starts)[r] != 0 : r == 0;
            const int placed = begins ? kScoreMatch + 2 * bonus
                                      : std::max({above + kScoreMatch + consecutive,
                                                  gap + kScoreMatch + bonus, kNone});
            here.gap[r] = static_cast<std::int16_t>(gap);
            here.placed[r] =
                static_cast<std::int16_t>(word.misses[units[j] & 0x7F][r] == 0 ? placed : kNone);
            here.best[r] = std::max(before.best[r], here.placed[r]);
        }
    }
#endif
}

void FolderBound::finish(Word& word, const Column& last, const Column& before_last,
                         std::size_t offset) {
    const std::size_t m = word.size;
    const int whole = last.best[offset + m - 1];
    word.complete = whole > kReal ? whole : kNone;
    word.most = word.complete;
    // For each k from min_in_folder on: character k - 1 on the folder's last position (the
    // separator), or before it: the score carried across the gap to the name's start, and to
    // the position after.
#if CORVANTILE_SSE2
    // Eight characters at a time; lane k reads lane k - 1 of the placements.
    const auto load = [](const std::int16_t* from) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
    };
    const __m128i none = _mm_set1_epi16(kNone), real = _mm_set1_epi16(kReal);
    const __m128i gap_start = _mm_set1_epi16(kGapStart);
    const __m128i gap_extension = _mm_set1_epi16(kGapExtension);
    __m128i most = none;
    for (std::size_t h = 0; h * 8 < m; ++h) {
        const std::size_t at = offset + h * 8, lane = h * 8;
        const __m128i follows = h == 0 ? _mm_slli_si128(load(last.placed.data() + at), 2)
                                       : load(last.placed.data() + at - 1);
        const __m128i before = h == 0 ? _mm_slli_si128(load(before_last.placed.data() + at), 2)
                                      : load(before_last.placed.data() + at - 1);
        const __m128i gap = _mm_max_epi16(_mm_adds_epi16(load(last.gap.data() + at), gap_extension),
                                          _mm_adds_epi16(before, gap_start));
        const __m128i to_start = _mm_max_epi16(follows, gap);
        const __m128i to_later =
            _mm_max_epi16(_mm_adds_epi16(gap, gap_extension), _mm_adds_epi16(follows, gap_start));
        const __m128i wanted = load(word.in_name_from.data() + lane);
        // A real placement carried on with the most the rest can add; nothing on other lanes.
        const auto carried = [&](__m128i score, const Lanes& rest) {
            const __m128i kept = _mm_and_si128(_mm_cmpgt_epi16(score, real), wanted);
            return _mm_or_si128(
                _mm_and_si128(kept, _mm_adds_epi16(score, load(rest.data() + lane))),
                _mm_andnot_si128(kept, none));
        };
        const __m128i at_start = carried(to_start, word.rest_at_start);
        const __m128i later = carried(to_later, word.rest_later);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(word.at_start.data() + lane), at_start);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(word.later.data() + lane), later);
        most = _mm_max_epi16(most, _mm_max_epi16(at_start, later));
    }
    most = _mm_max_epi16(most, _mm_shuffle_epi32(most, _MM_SHUFFLE(1, 0, 3, 2)));
    most = _mm_max_epi16(most, _mm_shuffle_epi32(most, _MM_SHUFFLE(2, 3, 0, 1)));
    most = _mm_max_epi16(most, _mm_shufflelo_epi16(most, _MM_SHUFFLE(2, 3, 0, 1)));
    word.most = std::max(word.most, int(static_cast<std::int16_t>(_mm_cvtsi128_si32(most))));
#else
    for (std::size_t k = word.min_in_folder; k < m; ++k) {
        const int follows = last.placed[offset + k - 1];
        const int gap = std::max(last.gap[offset + k] + kGapExtension,
                                 before_last.placed[offset + k - 1] + kGapStart);
        const int to_start = std::max(follows, gap);
        const int to_later = std::max(gap + kGapExtension, follows + kGapStart);
        word.at_start[k] =
            std::int16_t(to_start > kReal ? to_start + word.rest_at_start[k] : kNone);
        word.later[k] = std::int16_t(to_later > kReal ? to_later + word.rest_later[k] : kNone);
        word.most = std::max({word.most, int(word.at_start[k]), int(word.later[k])});
    }
#endif
}

int FolderBound::path_bound(const Word& word, int first, std::uint32_t name_mask) const {
    int best = word.complete;
    // The name must hold every character left to it: once it lacks one, it lacks one for
    // every earlier k too.
    for (std::size_t k = word.size; k-- > word.min_in_folder;) {
        if ((name_mask & word.rest_masks[k]) != word.rest_masks[k])
            break;
        // Only a name that begins with character k can hold it at its start.
        const bool starts = first == kAnyFirst || word.units[k] == first;
        best =
            std::max<int>(best, starts ? std::max(word.at_start[k], word.later[k]) : word.later[k]);
    }
    return best;
}

namespace {

// How many bytes a and b have in common at their start, up to limit (at most both sizes).
std::size_t common_start(std::string_view a, std::string_view b, std::size_t limit) {
    std::size_t same = 0;
#if CORVANTILE_SSE2
    const auto differ = [&](std::size_t at) {
        const auto load = [](const char* from) {
            return _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
        };
        return ~unsigned(
                   _mm_movemask_epi8(_mm_cmpeq_epi8(load(a.data() + at), load(b.data() + at)))) &
               0xFFFF;
    };
    for (; same + 16 <= limit; same += 16)
        if (const unsigned bits = differ(same); bits != 0)
            return same + std::size_t(std::countr_zero(bits));
    // The last few bytes: the 16 that end at the limit, read again in part.
    if (limit >= 16 && same < limit) {
        const unsigned bits = differ(limit - 16);
        return bits == 0 ? limit : limit - 16 + std::size_t(std::countr_zero(bits));
    }
#endif
    while (same < limit && a[same] == b[same])
        ++same;
    return same;
}

} // namespace

bool FolderBound::read(std::string_view folder) {
    const std::size_t size = folder.size();
    if (size == 0 || size > kMaxFolder)
        return false;
    // The readings of the start shared with the folder read before stay.
    const std::size_t same = common_start(folder, read_, std::min(read_valid_, size));
    read_ = folder;
    aligned_ = false;
    // What this folder shares with the one aligned last is at least the least that each
    // folder read since shared with the one before it (exactly that for folders in the order
    // of a walk).
    valid_ = std::min(valid_, same);
    // The folder's new part is read.
    Reading reading = readings_[same];
    unsigned high = 0;
    for (std::size_t j = same; j < size; ++j) {
        const auto c = static_cast<unsigned char>(folder[j]);
        high |= c;
        reading += reading & awaits_[c];
        readings_[j + 1] = reading;
    }
    if (high & 0x80) {
        read_valid_ = same;
        return false;
    }
    read_valid_ = size;
    for (std::size_t w = 0; w < word_count_; ++w) {
        const Word& word = words_[w];
        // The word's one bit: how many of its characters came, in order.
        const auto bits = static_cast<std::uint32_t>(reading >> word.reading_offset) &
                          ((std::uint32_t{2} << word.size) - 1);
        const auto held = static_cast<std::size_t>(std::countr_zero(bits));
        // The longest start of the word the folder can hold leaves the least to the name.
        via_folder_[w] = held >= word.min_in_folder ? word.rest_masks[held] : kNever;
    }
    // Some file can be reached when every word fits the folder or a name, one the folder.
    any_reachable_ = false;
    for (std::size_t w = 0; w < word_count_; ++w) {
        if (via_folder_[w] == kNever && via_name_[w] == kNever) {
            any_reachable_ = false;
            break;
        }
        any_reachable_ = any_reachable_ || via_folder_[w] != kNever;
    }
    return true;
}

void FolderBound::align() {
    if (aligned_)
        return;
    aligned_ = true;
    const std::string_view folder = read_;
    const std::size_t size = folder.size();
    // The columns of the start shared with the folder aligned before stay.
    const std::size_t same = valid_;
    folder_size_ = size;
    ++generation_;
    unpacked_ = false;
    valid_ = size;
    // (An ASCII byte picks its lanes as its folded form would.)
    const auto* units = reinterpret_cast<const unsigned char*>(folder.data());
    if (packed_) {
        grow(together_.columns, size);
        advance(together_, together_.columns.data(), same, size, bonus_.data(), units, true,
                &starts_);
        for (std::size_t w = 0; w < words_.size(); ++w)
            finish(words_[w], together_.columns[size + 1], together_.columns[size], offsets_[w]);
    } else {
        for (Word& word : words_) {
            grow(word.columns, size);
            advance(word, word.columns.data(), same, size, bonus_.data(), units,
                    &word == &words_.front());
            finish(word, word.columns[size + 1], word.columns[size], 0);
        }
    }
    // (With one word, that word's best is the folder's, as combine() would find.)
    const int most = words_.front().most;
    if (word_count_ == 1)
        folder_bound_ = most > kReal ? tier_score(MatchTier::PathOnly, most) : kNoFloor;
    else
        folder_bound_ =
            combine([](const Word& word) { return word.most; },
                    [](const Word& word) { return word.name_possible ? word.in_name : kNone; });
}

void FolderBound::unpack() {
    const std::size_t folder = folder_size_;
    for (std::size_t w = 0; w < words_.size(); ++w) {
        Word& word = words_[w];
        grow(word.columns, folder);
        for (const std::size_t c : {folder, folder + 1}) {
            const Column& from = together_.columns[c];
            Column& to = word.columns[c];
            const std::size_t at = offsets_[w];
            std::copy_n(from.placed.begin() + at, word.size, to.placed.begin());
            std::copy_n(from.gap.begin() + at, word.size, to.gap.begin());
            std::copy_n(from.best.begin() + at, word.size, to.best.begin());
        }
    }
    unpacked_ = true;
}

template <class PathOf, class NameOf>
std::int32_t FolderBound::combine(PathOf&& path_of, NameOf&& name_of) const {
    std::array<int, kMaxWords> path{}, either{};
    int total = 0;
    for (std::size_t w = 0; w < words_.size(); ++w) {
        path[w] = path_of(words_[w]);
        either[w] = std::max(name_of(words_[w]), path[w]);
        total += either[w];
    }
    int best = kNone;
    for (std::size_t w = 0; w < words_.size(); ++w)
        if (path[w] > kReal)
            best = std::max(best, total - either[w] + path[w]);
    return best > kReal ? tier_score(MatchTier::PathOnly, best) : kNoFloor;
}

std::int32_t FolderBound::names_bound(std::uint32_t name_mask) {
    unsigned held = 0;
    for (std::size_t w = 0; w < words_.size(); ++w)
        held |= unsigned(name_allows(words_[w], name_mask)) << w;
    HeldBound& known = held_bounds_[held];
    if (known.generation != generation_)
        known = {generation_, combine([](const Word& word) { return word.most; },
                                      [&](const Word& word) {
                                          const auto w = std::size_t(&word - words_.data());
                                          return held >> w & 1 ? word.in_name : kNone;
                                      })};
    return known.bound;
}

std::int32_t FolderBound::file_bound(unsigned char first, std::uint32_t name_mask) const {
    return combine([&](const Word& word) { return path_bound(word, first, name_mask); },
                   [&](const Word& word) {
                       if (!name_allows(word, name_mask))
                           return kNone;
                       // A name that does not begin with the word's first character cannot hold the
                       // word at its start.
                       return word.units[0] == first ? word.in_name : word.in_name_later;
                   });
}

FolderBound::FileReach FolderBound::exact_bound(std::string_view path, std::string_view folded_path,
                                                std::uint32_t name_mask) {
    const std::size_t folder = folder_size_, size = path.size();
    unsigned high = 0;
    for (std::size_t j = folder; j < size; ++j)
        high |= static_cast<unsigned char>(path[j]);
    // A name that is not ASCII is aligned by code points: left to the full match.
    if (size <= folder || size - folder > kMaxName || folded_path.size() != size || (high & 0x80))
        return {file_bound(folded_path.size() > folder ? folded_path[folder] : 0, name_mask),
                false};
    const std::string_view name = path.substr(folder);
    const std::size_t length = name.size();
    const auto* units = reinterpret_cast<const unsigned char*>(folded_path.data());
    const auto first = static_cast<unsigned char>(folded_path[folder]);
    const auto real = [](int score) { return score > kReal ? score : kNone; };
    // Each text's bonuses are worked out when a word is first aligned over it: through the
    // path, the name's columns follow the folder's, its first position with the start bonus;
    // on its own, the name is a text of its own.
    bool path_bonuses = false, name_bonuses = false;
    // A full match may place a word held by the name elsewhere than its best alignment (at a
    // word start, say): the bound is the score only when every word goes through the path.
    bool through_only = true;
    // A word the name holds is placed there, not through the path.
    std::array<int, kMaxWords> in_name{}, through{};
    for (std::size_t w = 0; w < words_.size(); ++w) {
        Word& word = words_[w];
        in_name[w] = through[w] = kNone;
        if (name_allows(word, name_mask)) {
            if (!name_bonuses)
                ascii_bonuses(name, name_bonus_);
            name_bonuses = true;
            grow(word.name_columns, length);
            advance(word, word.name_columns.data(), 0, length, name_bonus_.data(), units + folder,
                    false);
            in_name[w] = real(word.name_columns[length + 1].best[word.size - 1]);
            if (in_name[w] != kNone) {
                through_only = false;
                continue;
            }
        }
        // Carried through the name, the word's best placement either stays in the folder or
        // ends in the name; when no placement that ends in the name can beat the folder's, the
        // name need not be read.
        if (path_bound(word, first, name_mask) <= word.complete) {
            through[w] = word.complete;
            continue;
        }
        if (!path_bonuses) {
            ascii_folder_bonuses(path, folder, bonus_);
            mark_last_component({bonus_.data(), size}, folder - 1);
            if (packed_ && !unpacked_)
                unpack();
        }
        path_bonuses = true;
        grow(word.columns, size);
        advance(word, word.columns.data(), folder, size, bonus_.data(), units, false);
        through[w] = real(word.columns[size + 1].best[word.size - 1]);
    }
    return {combine([&](const Word& word) { return through[std::size_t(&word - words_.data())]; },
                    [&](const Word& word) { return in_name[std::size_t(&word - words_.data())]; }),
            through_only};
}

} // namespace corvantile::engine
