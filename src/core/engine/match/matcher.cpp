#include "core/engine/match/matcher.h"

#include "core/engine/text/byte_search.h"
#include "core/engine/text/text_fold.h"

#include <algorithm>
#include <cstring>

namespace corvantile::engine {

namespace {

using detail::kNoScore;

} // namespace

Matcher::Matcher(const Query& query) : query_(query) {
    const bool exact = query_.options().case_sensitive;
    for (const QueryWord& word : query_.words()) {
        ModeWord mode;
        mode.wide = exact ? word.exact_units : word.folded_units;
        mode.bytes_ok =
            exact ? word.exact_ascii.size() == word.exact_units.size() : word.folded_is_ascii;
        if (mode.bytes_ok)
            mode.bytes = exact ? word.exact_ascii : word.folded;
        mode_words_.push_back(std::move(mode));
    }
    joined_.wide = exact ? query_.joined_exact() : std::u32string();
    if (!exact)
        for (const QueryWord& word : query_.words()) {
            if (!joined_.wide.empty())
                joined_.wide.push_back(U' ');
            joined_.wide += word.folded_units;
        }
    joined_.bytes_ok = std::all_of(joined_.wide.begin(), joined_.wide.end(),
                                   [](char32_t cp) { return cp < 0x80; });
    if (joined_.bytes_ok)
        for (const char32_t cp : joined_.wide)
            joined_.bytes.push_back(static_cast<char>(cp));
    placements_.resize(query_.words().size());
    const bool bits_suit =
        kHaveTextBits && !exact &&
        std::all_of(mode_words_.begin(), mode_words_.end(), [](const ModeWord& word) {
            return word.bytes_ok && word.bytes.size() <= ShortTextBits::kMaxWord &&
                   word.bytes.find('\0') == std::string::npos;
        });
    if (bits_suit)
        for (const ModeWord& word : mode_words_)
            bit_words_.push_back(
                {reinterpret_cast<const unsigned char*>(word.bytes.data()), word.bytes.size()});

    mask_ = query_.mask();
    const std::string& joined = query_.joined_folded();
    joined_first_ = joined.empty() ? 0 : static_cast<unsigned char>(joined[0]);
    joined_size_ = joined.size();
    path_only_bound_ = tier_score(MatchTier::PathOnly, query_.max_alignment());
    for (unsigned byte = 0; byte < 256; ++byte)
        for (const int separators : {0, 1}) {
            // Words that begin with this byte may be placed at the start of the name.
            int total = 0;
            for (const QueryWord& word : query_.words())
                total += word.max_alignment[static_cast<unsigned char>(word.folded[0]) == byte]
                                           [separators];
            word_start_bound_[byte][separators] = tier_score(MatchTier::WordStart, total);
            if (byte == joined_first_ && separators == 1)
                exact_bound_ = tier_score(MatchTier::Exact, total);
        }
    other_first_bound_ = path_only_bound_;
    for (unsigned byte = 0; byte < 256; ++byte)
        if (byte != joined_first_)
            other_first_bound_ = std::max(other_first_bound_, word_start_bound_[byte][1]);
}

template <class Fn> int Matcher::with_word(const Prepared& text, const ModeWord& word, Fn&& fn) {
    if (text.wide) {
        const detail::Subject<char32_t> subject{text.wide_units.data(), text.bonus.data(),
                                                text.size};
        return fn(detail::Pattern<char32_t>{word.wide.data(), word.wide.size()}, subject);
    }
    if (!word.bytes_ok)
        return kNoScore;
    const detail::Subject<unsigned char> subject{
        reinterpret_cast<const unsigned char*>(text.ascii_units.data()), text.bonus.data(),
        text.size};
    return fn(
        detail::Pattern<unsigned char>{reinterpret_cast<const unsigned char*>(word.bytes.data()),
                                       word.bytes.size()},
        subject);
}

void Matcher::prepare(std::string_view original, std::string_view folded_text, Prepared& out) {
    const bool exact = query_.options().case_sensitive;
    out.wide = has_high_byte(original);
    if (!out.wide) {
        out.size = original.size();
        out.bonus.resize(out.size);
        ascii_bonuses(original, out.bonus);
        if (exact) {
            out.bytes.assign(original);
            std::replace(out.bytes.begin(), out.bytes.end(), '\\', '/');
            out.ascii_units = out.bytes;
        } else {
            out.ascii_units = folded_text;
        }
        return;
    }
    out.wide_units.clear();
    out.offsets.clear();
    out.bonus.clear();
    CharClass previous = CharClass::Delimiter;
    std::size_t last_separator = std::string_view::npos;
    for (std::size_t pos = 0; pos < original.size();) {
        out.offsets.push_back(static_cast<std::uint32_t>(pos));
        const char32_t cp = decode_utf8(original, pos);
        out.wide_units.push_back(exact ? strip_accents(cp) : fold_code_point(cp));
        const CharClass current = char_class(cp);
        if (current == CharClass::PathSeparator)
            last_separator = out.bonus.size();
        out.bonus.push_back(
            static_cast<std::uint8_t>(position_bonus(previous, current, out.bonus.empty())));
        previous = current;
    }
    out.size = out.wide_units.size();
    mark_last_component(out.bonus, last_separator);
}

// Placement by word start or acronym; kNoScore when the word needs a scattered placement.
int Matcher::place_quick(std::size_t w, WordPlacement& placement) {
    placement.in_name = true;
    if (query_.options().match_start_only && w == 0) {
        placement.tier = MatchTier::WordStart;
        return with_word(name_, mode_words_[w], [&](const auto& p, const auto& s) {
            if (!detail::equal_at(p, s, 0))
                return kNoScore;
            detail::fill_run(placement.positions, 0, p.size);
            return detail::run_score(s.bonus, 0, p.size);
        });
    }
    placement.tier = MatchTier::WordStart;
    int score = with_word(name_, mode_words_[w], [&](const auto& p, const auto& s) {
        return detail::best_word_start(p, s, placement.positions);
    });
    if (score != kNoScore)
        return score;
    placement.tier = MatchTier::Acronym;
    score = with_word(name_, mode_words_[w], [&](const auto& p, const auto& s) {
        return detail::acronym(p, s, placement.positions);
    });
    if (score != kNoScore)
        return score;
    placement.tier = MatchTier::Scattered;
    return kNoScore;
}

int Matcher::place_scattered(const Prepared& text, std::size_t w, WordPlacement& placement,
                             int at_least) {
    return with_word(text, mode_words_[w], [&](const auto& p, const auto& s) {
        return detail::best_alignment(p, s, want_positions_ ? &placement.positions : nullptr,
                                      scratch_, at_least);
    });
}

// True when the name is the query (or the query plus an extension, "calc" for "calc.exe").
bool Matcher::exact_name() {
    return with_word(name_, joined_, [&](const auto& p, const auto& s) {
               if (s.size < p.size || !detail::equal_at(p, s, 0))
                   return kNoScore;
               if (s.size == p.size)
                   return 0;
               std::size_t last_dot = s.size;
               for (std::size_t j = s.size; j-- > p.size;)
                   if (s.units[j] == '.') {
                       last_dot = j;
                       break;
                   }
               return last_dot == p.size ? 0 : kNoScore;
           }) != kNoScore;
}

bool Matcher::path_may_hold(std::string_view folded_path, std::uint32_t name_mask) const {
    bool any = false;
    for (const QueryWord& word : query_.words()) {
        const bool in_path = byte_subsequence(folded_path, word.folded);
        if (!in_path && (name_mask & word.mask) != word.mask)
            return false;
        any = any || in_path;
    }
    return any;
}

Matcher::Screen Matcher::screen(const ItemText& item, Floor floor, bool path_may_rank,
                                PathUse path_use) {
    if (bit_words_.empty() || floor.none())
        return Screen::Unknown;
    const auto& words = query_.words();
    const bool start_only = query_.options().match_start_only;
    MatchTier tier = MatchTier::WordStart;
    int bound = 0;
    bool name_loaded = false, path_loaded = false;
    for (std::size_t w = 0; w < words.size(); ++w) {
        WordReach reach;
        if ((item.name_mask & words[w].mask) == words[w].mask) {
            if (!name_loaded) {
                if (!name_bits_.load(item.name))
                    return Screen::Unknown;
                name_loaded = true;
            }
            reach = name_bits_.reach(bit_words_[w]);
        }
        placements_[w].in_name = reach.found;
        if (reach.found) {
            // A prefix of the name counts as a word start whatever its first character.
            tier = std::min(tier, start_only && w == 0 ? MatchTier::WordStart : reach.tier);
            bound += reach.bound;
            continue;
        }
        if (!path_may_rank || (start_only && w == 0) || path_use == PathUse::Never)
            return Screen::Rejected;
        if (!path_loaded) {
            if (!path_bits_.load(item.path))
                return Screen::Unknown;
            path_loaded = true;
        }
        reach = path_bits_.reach(bit_words_[w], false);
        if (!reach.found)
            return Screen::Rejected;
        tier = MatchTier::PathOnly;
        bound += reach.bound;
    }
    if (!path_loaded) {
        if (path_use == PathUse::Needed)
            return Screen::Rejected;
        const std::string_view name = item.folded_name;
        const bool exact = !name.empty() && static_cast<unsigned char>(name[0]) == joined_first_ &&
                           (name.size() == joined_size_ ||
                            (name.size() > joined_size_ && name[joined_size_] == '.'));
        if (exact)
            tier = MatchTier::Exact;
    }
    if (floor.excludes(tier_score(tier, bound), std::uint32_t(item.name.size())))
        return Screen::Rejected;
    return Screen::Passed;
}

// The steps of match follow, in order; they are inlined into it, as it runs for every
// candidate.

// False when the name alone rules the item out: it does not begin with the first word where
// it must, or what a name with its first byte can score stays under the floor.
[[gnu::always_inline]] inline bool Matcher::head_may_rank(const ItemText& item, Floor floor) const {
    const std::string_view folded_name = item.folded_name;
    if (query_.options().match_start_only && !folded_name.starts_with(query_.words()[0].folded))
        return false;
    if (floor.none())
        return true;
    const auto first = folded_name.empty() ? 0 : static_cast<unsigned char>(folded_name[0]);
    const bool exact = first == joined_first_ &&
                       (folded_name.size() == joined_size_ ||
                        (folded_name.size() > joined_size_ && folded_name[joined_size_] == '.'));
    return !floor.excludes(exact ? exact_bound_ : word_start_bound_[first][1],
                           static_cast<std::uint32_t>(item.name.size()));
}

// Decides for each word whether it is placed in the name or left to the path (unless the
// screen did); false when some word occurs in neither where it may.
[[gnu::always_inline]] inline bool Matcher::locate_words(const ItemText& item, Screen screened,
                                                         bool path_may_rank, PathUse path_use,
                                                         Spread& spread) {
    const auto& words = query_.words();
    const bool start_only = query_.options().match_start_only;
    for (std::size_t w = 0; w < words.size(); ++w) {
        if (screened == Screen::Unknown)
            placements_[w].in_name = (item.name_mask & words[w].mask) == words[w].mask &&
                                     byte_subsequence(item.folded_name, words[w].folded);
        if (placements_[w].in_name) {
            spread.any_in_name = true;
            continue;
        }
        if (screened == Screen::Unknown &&
            (!path_may_rank || (start_only && w == 0) || path_use == PathUse::Never ||
             !byte_subsequence(item.folded_path, words[w].folded)))
            return false;
        spread.all_in_name = false;
    }
    return true;
}

// The words laid end to end from the name's start, as the name is the query.
[[gnu::always_inline]] inline Matcher::Placed Matcher::place_exact_name() {
    Placed placed{MatchTier::Exact, 0};
    std::size_t offset = 0;
    for (std::size_t w = 0; w < placements_.size(); ++w) {
        const std::size_t length = mode_words_[w].wide.size();
        detail::fill_run(placements_[w].positions, offset, length);
        placed.alignment += detail::run_score(name_.bonus.data(), offset, length);
        offset += length + 1;
    }
    return placed;
}

// Places the words of the name that go at a word start or as an acronym, and adds to pending
// the most the others can still score; false when the first word must start the name and
// cannot.
[[gnu::always_inline]] inline bool Matcher::place_quick_words(Placed& placed, int& pending) {
    const auto& words = query_.words();
    const bool start_only = query_.options().match_start_only;
    for (std::size_t w = 0; w < words.size(); ++w) {
        WordPlacement& placement = placements_[w];
        if (!placement.in_name) {
            placement.tier = MatchTier::PathOnly;
            pending += words[w].max_alignment[1][1];
        } else {
            placement.score = place_quick(w, placement);
            if (placement.score == kNoScore && start_only && w == 0)
                return false;
            if (placement.score == kNoScore)
                pending += words[w].max_alignment[1][1];
            else
                placed.alignment += placement.score;
        }
        placed.tier = std::min(placed.tier, placement.tier);
    }
    return true;
}

// The alignment the item needs in total to enter above the floor at this tier; kNoScore when
// that is not known.
[[gnu::always_inline]] inline int Matcher::needed_alignment(Floor floor, MatchTier tier) {
    if (floor.none())
        return kNoScore;
    const std::int64_t in_tier =
        std::int64_t(floor.score) - std::int64_t(tier) * kTierSpan - kAlignmentOffset;
    return in_tier > -kAlignmentOffset ? int(in_tier) : kNoScore;
}

// Places the words left by the quick placements, scattered over the name or the path, each
// told what it must score at least for the item to enter; false when one cannot be placed or
// the item cannot enter.
[[gnu::always_inline]] inline bool Matcher::place_scattered_words(const ItemText& item, Floor floor,
                                                                  PathUse path_use, int pending,
                                                                  Placed& placed) {
    const auto& words = query_.words();
    const MatchTier bounded_tier = placed.tier;
    const int needed = needed_alignment(floor, bounded_tier);
    bool path_ready = false;
    for (std::size_t w = 0; w < words.size(); ++w) {
        WordPlacement& placement = placements_[w];
        if (placement.in_name && placement.tier != MatchTier::Scattered)
            continue;
        pending -= words[w].max_alignment[1][1];
        // What this word must score at least, the others doing their best.
        const int at_least = needed == kNoScore || placed.tier != bounded_tier
                                 ? kNoScore
                                 : needed - placed.alignment - pending;
        if (placement.in_name) {
            placement.score = place_scattered(name_, w, placement, at_least);
            if (placement.score == detail::kTooLow)
                return false;
            if (placement.score != kNoScore) {
                placed.alignment += placement.score;
                continue;
            }
            // Only possible when case matters: the folded text matched, the cased not.
            placement.in_name = false;
            if (path_use == PathUse::Never || !byte_subsequence(item.folded_path, words[w].folded))
                return false;
            placed.tier = MatchTier::PathOnly;
        }
        if (!path_ready) {
            prepare(item.path, item.folded_path, path_);
            path_ready = true;
        }
        placement.score = place_scattered(path_, w, placement, at_least);
        if (placement.score == kNoScore || placement.score == detail::kTooLow)
            return false;
        placed.alignment += placement.score;
    }
    return true;
}

// Quick placements first, then a bound on the rest before any scattered placement.
[[gnu::always_inline]] inline bool Matcher::place_words(const ItemText& item, Floor floor,
                                                        PathUse path_use, Placed& placed) {
    int pending = 0;
    if (!place_quick_words(placed, pending))
        return false;
    if (floor.excludes(tier_score(placed.tier, placed.alignment + pending),
                       static_cast<std::uint32_t>(item.name.size())))
        return false;
    return place_scattered_words(item, floor, path_use, pending, placed);
}

std::optional<MatchResult> Matcher::match(const ItemText& item, Floor floor,
                                          MatchPositions* positions, PathUse path_use) {
    want_positions_ = positions != nullptr;
    if (query_.words().empty() || !head_may_rank(item, floor))
        return std::nullopt;
    // Every word must occur in the name or in the path; a match through the path is only
    // looked for when such a match could still rank above the floor.
    const bool path_may_rank =
        !floor.excludes(path_only_bound_, static_cast<std::uint32_t>(item.name.size()));
    const Screen screened = screen(item, floor, path_may_rank, path_use);
    if (screened == Screen::Rejected)
        return std::nullopt;
    Spread spread;
    if (!locate_words(item, screened, path_may_rank, path_use, spread))
        return std::nullopt;
    // (When case matters a word found in the folded name may still fall back to the path.)
    if (spread.all_in_name && path_use == PathUse::Needed && !query_.options().case_sensitive)
        return std::nullopt;

    if (spread.any_in_name)
        prepare(item.name, item.folded_name, name_);
    Placed placed{MatchTier::Exact, 0};
    if (spread.all_in_name && exact_name())
        placed = place_exact_name();
    else if (!place_words(item, floor, path_use, placed))
        return std::nullopt;
    if (path_use == PathUse::Needed &&
        std::all_of(placements_.begin(), placements_.end(),
                    [](const WordPlacement& placement) { return placement.in_name; }))
        return std::nullopt;
    if (positions)
        fill_positions(*positions);
    return MatchResult{tier_score(placed.tier, placed.alignment), placed.tier};
}

void Matcher::fill_positions(MatchPositions& out) const {
    out.name.clear();
    out.path.clear();
    for (const WordPlacement& placement : placements_) {
        const Prepared& text = placement.in_name ? name_ : path_;
        auto& target = placement.in_name ? out.name : out.path;
        for (const std::uint32_t unit : placement.positions)
            target.push_back(text.wide ? text.offsets[unit] : unit);
    }
    for (auto* list : {&out.name, &out.path}) {
        std::sort(list->begin(), list->end());
        list->erase(std::unique(list->begin(), list->end()), list->end());
    }
}

} // namespace corvantile::engine
