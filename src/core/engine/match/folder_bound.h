// What a match that needs a file's path can score at most, worked out once for the file's
// folder rather than once per file.
//
// Each word of the query is aligned over the folder's text with the same dynamic programming
// as a full alignment, one position (a column of every prefix of the word) at a time. Where
// the folder ends, the best placements of each prefix are known exactly; the rest of the word
// goes to the file's name, which is assumed to do its best with what is known of it: nothing
// for the folder as a whole, its first character and character mask for one file, and, once
// those leave the file in, the name itself, through which the columns are carried on. A
// folder that cannot hold what a good match needs ("docs/" of "docs/rep" placed well) rules
// out all its files at once.
//
// Before that, a folder is read for how much of each word it holds in order at all: with the
// character masks of its files' names, that rules out most files of most folders ("music mp3"
// in a folder without "mp3", for a name without a "3"), and a folder none of whose files is
// left is never aligned.
//
// Files come folder by folder, and a folder usually shares its start with the one before (its
// parent, or a sibling): what was worked out for that shared start is kept. One FolderBound
// per thread.
#pragma once

#include "core/engine/match/query.h"
#include "core/engine/match/ranking.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace corvantile::engine {

class FolderBound {
public:
    explicit FolderBound(const Query& query);

    // False when the query does not suit: case-sensitive or start-of-name matching, more
    // than kMaxWords words, a word that is not ASCII or longer than kMaxWord, or more than 64
    // characters and words together (a reading holds a bit for each).
    bool usable() const { return usable_; }

    // Reads a folder (ending with its separator): how much of each word it holds in order.
    // False when the folder cannot be bounded (not ASCII, or too long). The texts of the
    // folders read must stay in place while the bound is in use: later calls read them again.
    bool read(std::string_view folder);
    // False when no file of the folder read last whose name has this character mask (and
    // holds no path separator) can match with the path's help: some word fits neither the
    // name alone nor the folder with the rest of it in the name, or none fits the folder.
    bool reachable(std::uint32_t name_mask) const {
        bool through_folder = false;
        for (std::size_t w = 0; w < word_count_; ++w) {
            const bool folder = (name_mask & via_folder_[w]) == via_folder_[w];
            if (!folder && (name_mask & via_name_[w]) != via_name_[w])
                return false;
            through_folder = through_folder || folder;
        }
        return through_folder;
    }
    // False when that holds for every file of the folder read last.
    bool any_reachable() const { return any_reachable_; }
    // Aligns the query over the folder read last; the bounds below are then that folder's.
    void align();

    // The most (a score, tier included, before usage) that a match needing the path can score
    // for any file of the aligned folder whose name holds no path separator; kNoFloor when
    // no such match exists.
    std::int32_t folder_bound() const { return folder_bound_; }
    // The same for the files whose names hold the same words as this mask does (each word's
    // characters, in any order); worked out once per aligned folder for each such set.
    std::int32_t names_bound(std::uint32_t name_mask);
    // The same for one file, from the first byte of its folded name and its character mask.
    std::int32_t file_bound(unsigned char first, std::uint32_t name_mask) const;
    // What exact_bound() tells of one file.
    struct FileReach {
        std::int32_t bound = kNoFloor;
        bool is_score = false; // the bound is the score of the file's match through its path
    };
    // The same for one file from its whole path (the aligned folder, then its name): every
    // word is aligned through the name where the name holds it (as a full match places it)
    // and through the path otherwise. When no word is in the name, the bound is the score of
    // the file's match through its path (kNoFloor: there is none). A name that is not ASCII
    // gets file_bound().
    FileReach exact_bound(std::string_view path, std::string_view folded_path,
                          std::uint32_t name_mask);

    static constexpr std::size_t kMaxWords = 8;
    static constexpr std::size_t kMaxWord = 16;
    static constexpr std::size_t kMaxFolder = 256;
    static constexpr std::size_t kMaxName = 256;

private:
    // One lane per character of the word, in two halves of eight.
    using Lanes = std::array<std::int16_t, kMaxWord>;
    // The state after one position of the folder.
    struct alignas(16) Column {
        Lanes placed; // best score of each prefix with its last character here
        Lanes gap;    // best score of each prefix's predecessor, across a gap, to here
        Lanes best;   // best score of each prefix with its last character here or before
    };
    struct Word {
        alignas(16) Lanes units{}; // folded characters; unused lanes never match
        // By ASCII byte: 0 on the lanes that hold its folded form, the lowest value on the
        // others.
        std::vector<Lanes> misses;
        std::size_t size = 0;
        std::uint32_t mask = 0;
        // Characters the folder must hold: through the word's last separator, one at least.
        std::size_t min_in_folder = 1;
        // Where the word's bits begin in a reading: one per character it can wait for, then
        // one for having them all.
        std::size_t reading_offset = 0;
        int in_name = 0;            // the most the word can score placed in the name alone
        int in_name_later = 0;      // the same when it cannot begin at the name's start
        bool name_possible = false; // false when the word holds a separator
        // Two empty columns, then one per position of the path; the same for a name alone.
        std::vector<Column> columns;
        std::vector<Column> name_columns;
        // After align(): the most the word can score with all of it in the folder, and with
        // characters k on in the name, the first of them at the name's start or later.
        int complete = 0;
        Lanes at_start{};
        Lanes later{};
        int most = 0; // the highest of these
        // The most characters k on can add in the name, the first at its start or later.
        Lanes rest_at_start{};
        Lanes rest_later{};
        // -1 on the lanes of the characters k that can begin the part in the name.
        Lanes in_name_from{};
        // Character masks of characters k on (none past the last).
        std::array<std::uint32_t, kMaxWord + 1> rest_masks{};
    };

    static void grow(std::vector<Column>& columns, std::size_t positions);
    // classify: the units are the text's own bytes, whose bonuses are worked out and written
    // to `bonuses` (else read from there). starts: for packed words, the lanes that begin
    // one (null: lane 0 alone).
    static void advance(const Word& word, Column* columns, std::size_t from, std::size_t to,
                        std::uint8_t* bonuses, const unsigned char* units, bool classify,
                        const Lanes* starts = nullptr);
    static void fill_misses(Word& word);
    // Fills each word's own columns at the folder's end from the packed ones.
    void unpack();
    // Reads the word's bounds off the columns of the folder's last two positions, where its
    // lanes begin at `offset`.
    static void finish(Word& word, const Column& last, const Column& before_last,
                       std::size_t offset);
    // The most the word can score through the path of a file with this name mask; only names
    // that begin with `first` can hold a character at their start (any: every name can).
    int path_bound(const Word& word, int first, std::uint32_t name_mask) const;
    static constexpr int kAnyFirst = -1;
    static bool name_allows(const Word& word, std::uint32_t name_mask) {
        return word.name_possible && (name_mask & word.mask) == word.mask;
    }
    // Combines the words: each in the name (where it can be) or the path, one at least in the
    // path; path_of and name_of give a word's best there (kNone: it cannot be there).
    template <class PathOf, class NameOf>
    std::int32_t combine(PathOf&& path_of, NameOf&& name_of) const;

    std::vector<Word> words_;
    std::size_t word_count_ = 0;
    bool usable_ = false;
    // A folder is read for each word greedily: the word waits for its first character, then,
    // once that came, for its second, and so on. A reading has a bit for each word, on the
    // character it waits for (or past its last); a character moves the bits that wait for it
    // one on: reading += reading & awaits_[character].
    using Reading = std::uint64_t;
    static constexpr std::size_t kReadingBits = 64;
    std::array<Reading, 256> awaits_{}; // by byte: the bits of the characters it folds to
    Reading first_reading_ = 0;         // each word waiting for its first character
    std::array<Reading, kMaxFolder + 1> readings_{}; // after each position of the folder read
    // By word, the characters a name must hold for the word to be placed in the folder read
    // last with the rest of it in the name, and in the name alone; kNever when it cannot be.
    static constexpr std::uint64_t kNever = std::uint64_t{1} << 32;
    std::array<std::uint64_t, kMaxWords> via_folder_{};
    std::array<std::uint64_t, kMaxWords> via_name_{};
    bool any_reachable_ = false;
    std::int32_t folder_bound_ = kNoFloor; // of the folder aligned last
    // names_bound() of the folder aligned last, by the set of words the names hold.
    struct HeldBound {
        std::uint64_t generation = 0;
        std::int32_t bound = 0;
    };
    std::array<HeldBound, std::size_t{1} << kMaxWords> held_bounds_{};
    std::uint64_t generation_ = 0; // counts the folders aligned
    // Short words side by side in one register (each at its offset in together_.units): the
    // folder is then aligned once for all of them. Each word's own columns are filled from
    // these at the folder's end, when a name is read through the path.
    bool packed_ = false;
    Word together_;
    std::array<std::size_t, kMaxWords> offsets_{};
    alignas(16) Lanes starts_{};  // -1 on the lane where each word begins
    bool unpacked_ = false;       // whether the words' own columns hold the folder's end
    std::string_view read_;       // the folder read last
    std::size_t read_valid_ = 0;  // positions of read_ whose units and readings are known
    bool aligned_ = false;        // whether the columns are read_'s
    std::size_t valid_ = 0;       // positions of the folder read last whose columns are up to date
    std::size_t folder_size_ = 0; // of the folder aligned last
    // Per position of the folder aligned last, then of a file's name.
    std::array<std::uint8_t, kMaxFolder + kMaxName> bonus_{};
    std::array<std::uint8_t, kMaxName> name_bonus_{};
};

} // namespace corvantile::engine
