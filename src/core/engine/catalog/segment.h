// An immutable block of catalog items stored compactly.
//
// All the texts of a segment live in one contiguous buffer, item after item, each item as
// name, folded name, path, folded path, payload: the folded texts are what matching compares,
// and the originals beside them give the case and the word boundaries, so that scoring one
// item touches one place in memory. A file's name is the end of its path: such a name is not
// stored apart but read from the end of the path (and its folded form from the end of the
// folded path). A text that is its own folded form is stored once, and so is an ASCII path:
// its folded form (lower case, "/" for "\\") is made again, in the reader's room, when it is
// read, which halves the memory of a typical file index. Files of one folder share their
// folder: after the folder's first file, a file with an ASCII path keeps only its name, and its
// path is put together from the folder's text and the name when it is read (a million files
// take about a quarter of the text they would take with whole paths). Per item the segment
// keeps 32 bytes more: the character masks of the folded name and path, a NameHead, the item's
// offset in the buffer, the lengths of name, path and folded path, its source and its kind. The
// path length also marks a file that is in the same folder as the item before it, so that a
// search can take a folder's files together.
#pragma once

#include <cstddef>
#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/engine/catalog/column.h"

namespace corvantile::engine {

// An item as handed to the catalog; the views need only live during the call.
struct ItemData {
    std::string_view name;    // what the user sees and searches
    std::string_view path;    // for files, the full path (also searched); empty otherwise
    std::string_view payload; // opaque to the engine: what the core needs to act on the item
    std::string_view source;  // the plug-in that produced the item
    std::uint16_t kind = 0;   // the core's item type
};

// An item read back from a catalog; valid while its snapshot lives.
struct ItemView {
    std::string_view name;
    std::string_view path;
    std::string_view payload;
    std::string_view source;
    std::uint16_t kind = 0;
};

using SourceId = std::uint16_t;

// What can be known of a name without reading it: the first byte of its folded form, the
// position of the last "." of its folded form (0: none, or past kFarDot) and its folded length
// (kLongName: that or longer).
struct NameHead {
    std::uint32_t bits = 0;

    static constexpr std::size_t kFarDot = 63;
    static constexpr std::size_t kLongName = (std::size_t{1} << 18) - 1;
    static NameHead of(std::string_view folded_name);
    char first() const { return static_cast<char>(bits & 0xFF); }
    std::size_t last_dot() const { return (bits >> 8) & 0x3F; }
    std::size_t length() const { return bits >> 14; }
};

class Segment {
public:
    std::size_t size() const { return masks_.size(); }

    // Character masks (see char_mask) of the folded name, and of the name and path together.
    std::uint32_t name_mask(std::size_t i) const { return std::uint32_t(masks_[i]); }
    std::uint32_t key_mask(std::size_t i) const {
        return std::uint32_t(masks_[i]) | std::uint32_t(masks_[i] >> 32);
    }
    // Bit j set for each of the count (at most 64) items from `first` on whose key mask holds
    // every bit of mask; no branch per item. by_name, when given, gets the same for the name
    // masks alone.
    std::uint64_t admitted(std::size_t first, std::size_t count, std::uint32_t mask,
                           std::uint64_t* by_name = nullptr) const;
    // Bit j set for each of the count (at most 64) items from `first` on whose folded name
    // begins with the byte c.
    std::uint64_t beginning_with(std::size_t first, std::size_t count, unsigned char c) const;
    NameHead head(std::size_t i) const { return heads_[i]; }
    // Asks the processor to fetch what reading item i needs: first its table entries, then
    // (once those have arrived) its texts.
    void prefetch_entries(std::size_t i) const;
    void prefetch_texts(std::size_t i) const;
    // Asks the processor to fetch the item's texts (their first 256 bytes: a file's path and
    // its folded copy usually span three cache lines). Defined out of line: inlined into its
    // callers, GCC 12 drops the prefetches behind its early return.
    void prefetch_item(std::size_t i) const;

    std::string_view name(std::size_t i) const {
        if (name_lengths_[i] & kNameInPath)
            return {at(i) + stored_path_length(i) - name_length(i), name_length(i)};
        return {at(i), name_length(i)};
    }
    std::uint32_t name_length(std::size_t i) const {
        return name_lengths_[i] & ~(kSelfFolded | kNameInPath);
    }
    // The folded name; when it is not stored it is made in room, and the view lasts until
    // room is written again.
    std::string_view folded_name(std::size_t i, std::string& room) const {
        if (name_lengths_[i] & kSelfFolded)
            return name(i);
        if (name_lengths_[i] & kNameInPath) {
            // An ASCII name: its folded form is as long as itself.
            if (path_lengths_[i] & kFoldOnRead)
                return fold_in(room, name(i));
            const std::string_view path = stored_folded_path(i);
            return path.substr(path.size() - name_length(i));
        }
        return {at(i) + name_length(i), folded_name_length(i)};
    }
    // The path; for a file that shares its folder it is put together in room, and the view
    // lasts until room is written again.
    std::string_view path(std::size_t i, std::string& room) const {
        if (path_lengths_[i] & kFolderShared)
            return compose_in(room, i);
        return {at(i) + path_offset(i), path_length(i)};
    }
    bool has_path(std::size_t i) const { return path_length(i) != 0; }
    // The folder part of a file's path (the path less the name), read where the segment keeps
    // it: it stays in place as long as the segment.
    std::string_view folder(std::size_t i) const;
    // The path and the folded path of file i, given the folder() of a file of its folder: it
    // saves looking for the folder's first file.
    std::string_view path(std::size_t i, std::string_view folder, std::string& room) const {
        if (path_lengths_[i] & kFolderShared)
            return compose_in(room, folder, i);
        return path(i, room);
    }
    std::string_view folded_path(std::size_t i, std::string_view folder, std::string& room) const {
        if (path_lengths_[i] & kFolderShared) {
            compose_in(room, folder, i);
            return fold_room(room);
        }
        return folded_path(i, room);
    }
    // False when no item of the segment has a path.
    bool has_paths() const { return path_lengths_.any(); }
    // The folded path; when it is not stored it is made in room, as for folded_name.
    std::string_view folded_path(std::size_t i, std::string& room) const {
        if (path_lengths_[i] & kFolderShared) {
            compose_in(room, i);
            return fold_room(room);
        }
        if (path_lengths_[i] & kFoldOnRead)
            return fold_in(room, {at(i) + path_offset(i), path_length(i)});
        return stored_folded_path(i);
    }
    struct FoldedTexts {
        std::string_view name, path;
    };
    // The folded name and path together, made in room when not stored.
    FoldedTexts folded_texts(std::size_t i, std::string& room) const {
        const std::string_view folded = folded_path(i, room);
        if ((name_lengths_[i] & kNameInPath) && !(name_lengths_[i] & kSelfFolded))
            return {folded.substr(folded.size() - name_length(i)), folded};
        return {folded_name(i, room), folded};
    }
    std::string_view payload(std::size_t i) const;
    // True when item i and the one before it are files of the same folder: both names end
    // their paths, after a separator (and hold none), and the paths are the same up to there.
    bool same_folder(std::size_t i) const { return path_lengths_[i] & kSameFolder; }
    // Bit j set for each of the count (at most 64) items from `first` on that is not in the
    // folder of the item before it; no branch per item.
    std::uint64_t folder_starts(std::size_t first, std::size_t count) const;
    SourceId source(std::size_t i) const { return SourceId(source_kinds_[i] >> 16); }
    std::uint16_t kind(std::size_t i) const { return std::uint16_t(source_kinds_[i] & 0xFFFF); }

    // The one source of all items, or kMixedSources.
    SourceId uniform_source() const { return uniform_source_; }
    static constexpr SourceId kMixedSources = std::numeric_limits<SourceId>::max();

    // Bytes held by the segment: its tables and the text written (reserve not counted).
    std::size_t memory_bytes() const;
    // Bytes of text (original and folded).
    std::size_t text_bytes() const { return text_.size(); }

    // Appends the segment's tables and text to out as they are in memory (the index cache),
    // each table at a multiple of 8 bytes from where the segment starts in out.
    void append_to(std::string& out) const;
    // A segment read back from bytes (all of them), or null when they do not hold a consistent
    // one. With a buffer, bytes lie in it and the tables are left there, the segment keeping
    // the buffer alive; otherwise they are copied.
    static std::shared_ptr<const Segment> from_bytes(std::string_view bytes,
                                                     std::shared_ptr<const void> buffer = nullptr,
                                                     std::size_t buffer_bytes = 0);

private:
    friend class SegmentBuilder;
    const char* at(std::size_t i) const { return text_.data() + begin_[i]; }
    // Writes the ASCII fold of text into room and returns it.
    static std::string_view fold_in(std::string& room, std::string_view text);
    // Folds room in place and returns it.
    static std::string_view fold_room(std::string& room);
    // Writes the path of a file that shares its folder into room and returns it.
    std::string_view compose_in(std::string& room, std::size_t i) const {
        return compose_in(room, folder(i), i);
    }
    std::string_view compose_in(std::string& room, std::string_view folder, std::size_t i) const;
    // The first file of item i's folder: the nearest item up to i not marked kSameFolder.
    std::size_t folder_head(std::size_t i) const;
    std::string_view stored_folded_path(std::size_t i) const {
        if (path_lengths_[i] & kSelfFolded)
            return {at(i) + path_offset(i), path_length(i)};
        return {at(i) + path_offset(i) + path_length(i), folded_path_lengths_[i]};
    }
    // Bytes of the folded path stored after the path.
    std::size_t stored_folded_path_length(std::size_t i) const {
        return path_lengths_[i] & (kSelfFolded | kFoldOnRead) ? 0 : folded_path_lengths_[i];
    }
    // Marks, in a name or path length, a text whose folded form is itself and is not stored
    // twice.
    static constexpr std::uint32_t kSelfFolded = std::uint32_t{1} << 31;
    // Marks, in a name length, an ASCII name read from the end of the path.
    static constexpr std::uint32_t kNameInPath = std::uint32_t{1} << 30;
    // Marks, in a path length, a file in the same folder as the item before.
    static constexpr std::uint32_t kSameFolder = std::uint32_t{1} << 30;
    // Marks, in a path length, an ASCII path whose folded form is made when read.
    static constexpr std::uint32_t kFoldOnRead = std::uint32_t{1} << 29;
    // Marks, in a path length, a file that keeps only its name (also marked kSameFolder,
    // kFoldOnRead and kNameInPath): its folder is read from the folder's first file.
    static constexpr std::uint32_t kFolderShared = std::uint32_t{1} << 28;
    // The longest name or path a segment takes: the bits above are its length's flags.
    static constexpr std::size_t kMaxTextLength = (std::size_t{1} << 28) - 1;
    std::uint32_t path_length(std::size_t i) const {
        return path_lengths_[i] & ~(kSelfFolded | kSameFolder | kFoldOnRead | kFolderShared);
    }
    // Bytes of the path stored for the item: a file that shares its folder stores its name.
    std::uint32_t stored_path_length(std::size_t i) const {
        return path_lengths_[i] & kFolderShared ? name_length(i) : path_length(i);
    }
    std::size_t path_offset(std::size_t i) const {
        if (name_lengths_[i] & kNameInPath)
            return 0;
        return name_length(i) + (name_lengths_[i] & kSelfFolded ? 0 : folded_name_length(i));
    }
    std::size_t folded_name_length(std::size_t i) const {
        const std::size_t length = heads_[i].length();
        return length != NameHead::kLongName ? length : refolded_name_length(i);
    }
    std::size_t refolded_name_length(std::size_t i) const;

    Column<std::uint64_t> masks_; // name mask | path mask << 32
    Column<NameHead> heads_;
    Column<std::uint32_t> begin_; // size() + 1 entries: where each item's texts start
    Column<std::uint32_t> name_lengths_;
    SparseColumn path_lengths_;
    SparseColumn folded_path_lengths_;
    SparseColumn source_kinds_;
    std::string built_text_;             // the texts, as the builder wrote them
    std::string_view text_;              // the texts: built_text_, or where they were read back
    std::shared_ptr<const void> buffer_; // holds the tables and texts read back in place
    std::size_t buffer_bytes_ = 0;
    SourceId uniform_source_ = kMixedSources;
};

class SegmentBuilder {
public:
    // Reserves room for about this many items and bytes of original text (to be searched).
    explicit SegmentBuilder(std::size_t expected_items = 0, std::size_t expected_text_bytes = 0);

    // Appends an item; false (and nothing added) when the segment's buffers are full.
    bool add(const ItemData& item, SourceId source);

    std::size_t size() const { return segment_->size(); }
    bool empty() const { return segment_->size() == 0; }

    // The finished segment; the builder is empty afterwards.
    std::shared_ptr<const Segment> finish();

private:
    struct Entry {
        std::uint32_t name_mask, path_mask;
        NameHead head;
        std::uint32_t name_length, path_length, folded_path_length;
    };
    static bool is_file(const ItemData& item);
    // True when the item is a file of the folder of the last item added, whose path's text
    // starts at folder_start.
    bool same_folder(const ItemData& item, std::size_t folder_start) const;
    // Adds a file of the last item's folder with an ASCII path by its name alone.
    void add_shared(const ItemData& item, SourceId source);
    void push(const ItemData& item, SourceId source, const Entry& entry);

    std::unique_ptr<Segment> segment_;
    std::string fold_room_;
    bool first_ = true;
    // The folder of the last item added, when it was a file: where the text of the folder's
    // first file's path starts and how long its folder part is (0: not a file), and the
    // character mask of the folded folder (when known).
    std::size_t folder_start_ = 0;
    std::size_t folder_length_ = 0;
    std::uint32_t folder_mask_ = 0;
    bool folder_mask_known_ = false;
};

} // namespace corvantile::engine
