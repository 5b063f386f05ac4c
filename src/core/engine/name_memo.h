// What one search found for the names it has already matched.
//
// The same name turns up in many folders (index.js, readme.md, report.pdf...). While the
// names are matched without their paths, the outcome depends on the name alone, and on the
// search's floor, which only rises: a name that scored once scores the same again, and a
// name rejected once stays rejected. The memo keeps those outcomes in a small table indexed
// by a 64-bit hash of the name; a slot holds the latest name to land in it.
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

    // slots: a power of two.
    explicit NameMemo(std::size_t slots = 8192);

    // The key of a name: its hash, which with its length identifies it.
    static std::uint64_t key_of(std::string_view name);

    Recall recall(std::uint64_t key, std::size_t length) const {
        const Entry& entry = entries_[key & mask_];
        if (entry.key != key || entry.length != length + 1)
            return {};
        return {entry.rejected ? Outcome::Rejected : Outcome::Matched, entry.score};
    }
    void remember_rejected(std::uint64_t key, std::size_t length) { store(key, length, true, 0); }
    void remember_match(std::uint64_t key, std::size_t length, std::int32_t score) {
        store(key, length, false, score);
    }

private:
    struct Entry {
        std::uint64_t key = 0;
        std::uint32_t length = 0; // the name's length plus one; 0 in an empty slot
        std::int32_t score : 31 = 0;
        bool rejected : 1 = false;
    };
    void store(std::uint64_t key, std::size_t length, bool rejected, std::int32_t score) {
        entries_[key & mask_] = {key, std::uint32_t(length + 1), score, rejected};
    }

    std::vector<Entry> entries_;
    std::uint64_t mask_;
};

} // namespace corvantile::engine
