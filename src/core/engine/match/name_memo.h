// What one search found for the names it has already matched.
//
// The same name turns up in many folders (index.js, readme.md, report.pdf...). While the
// names are matched without their paths, the outcome depends on the name alone, and on the
// search's floor, which only rises: a name that scored once scores the same again, and a
// name rejected once stays rejected. The memo keeps those outcomes in a small table indexed
// by a 64-bit hash of the name and its length; a slot holds the latest name to land in it.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace corvantile::engine {

class NameMemo {
public:
    enum class Outcome : std::uint8_t { Unknown, Rejected, Matched };
    struct Recall {
        Outcome outcome = Outcome::Unknown;
        std::int32_t score = 0; // when Matched
    };

    // slots: rounded up to a power of two, at most 2^kTagShift.
    explicit NameMemo(std::size_t slots = 8192);

    // The key of a name: a hash of its bytes and length.
    static std::uint64_t key_of(std::string_view name);

    Recall recall(std::uint64_t key) const {
        const std::uint64_t entry = entries_[key & mask_];
        if ((entry ^ key) >> kTagShift != 0 || (entry & kFilled) == 0)
            return {};
        if ((entry & kMatched) == 0)
            return {Outcome::Rejected, 0};
        return {Outcome::Matched, std::int32_t(entry & kScoreBits)};
    }
    // Asks the processor to fetch the key's slot.
    void prefetch(std::uint64_t key) const {
#if defined(__GNUC__)
        __builtin_prefetch(&entries_[key & mask_]);
#endif
    }
    void remember_rejected(std::uint64_t key) {
        store(key, kFilled);
    }
    // score: at least 0 and below 2^kTagShift / 4.
    void remember_match(std::uint64_t key, std::int32_t score) {
        store(key, kFilled | kMatched | std::uint64_t(score));
    }

private:
    // An entry holds the top bits of its key (the slot's index and these identify the name),
    // two flags and a score.
    static constexpr unsigned kTagShift = 24;
    static constexpr std::uint64_t kFilled = std::uint64_t{1} << (kTagShift - 1);
    static constexpr std::uint64_t kMatched = std::uint64_t{1} << (kTagShift - 2);
    static constexpr std::uint64_t kScoreBits = kMatched - 1;

    void store(std::uint64_t key, std::uint64_t low) {
        entries_[key & mask_] = (key >> kTagShift << kTagShift) | low;
    }

    std::vector<std::uint64_t> entries_;
    std::uint64_t mask_;
};

} // namespace corvantile::engine
