// An immutable block of catalog items stored compactly.
//
// All the texts of a segment live in two contiguous buffers: the original texts (name, path,
// payload) and the folded texts used for matching (name, path). Per item the segment keeps
// 32 bytes: a 64-bit character mask, the first folded byte and folded length of the name, the
// offsets of the item in both buffers, the name and path lengths, its source and its kind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

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

class Segment {
public:
    std::size_t size() const { return masks_.size(); }

    std::uint64_t mask(std::size_t i) const { return masks_[i]; }
    // Low byte: first folded byte of the name; upper 24 bits: folded name length (saturated).
    std::uint32_t head(std::size_t i) const { return heads_[i]; }
    bool non_ascii(std::size_t i) const;

    std::string_view name(std::size_t i) const {
        return {text_.data() + text_begin_[i], name_lengths_[i]};
    }
    std::string_view path(std::size_t i) const {
        return {text_.data() + text_begin_[i] + name_lengths_[i], path_lengths_[i]};
    }
    std::string_view payload(std::size_t i) const;
    std::string_view folded_name(std::size_t i) const;
    std::string_view folded_path(std::size_t i) const;
    SourceId source(std::size_t i) const { return SourceId(source_kinds_[i] >> 16); }
    std::uint16_t kind(std::size_t i) const { return std::uint16_t(source_kinds_[i] & 0xFFFF); }

    // The one source of all items, or kMixedSources.
    SourceId uniform_source() const { return uniform_source_; }
    static constexpr SourceId kMixedSources = std::numeric_limits<SourceId>::max();

    // Bytes held by the segment, text included.
    std::size_t memory_bytes() const;
    // Bytes of text (original and folded).
    std::size_t text_bytes() const { return text_.size() + folded_.size(); }

private:
    friend class SegmentBuilder;
    std::size_t folded_name_length(std::size_t i) const;

    std::vector<std::uint64_t> masks_;
    std::vector<std::uint32_t> heads_;
    std::vector<std::uint32_t> folded_begin_; // size() + 1 entries
    std::vector<std::uint32_t> text_begin_;   // size() + 1 entries
    std::vector<std::uint32_t> name_lengths_;
    std::vector<std::uint32_t> path_lengths_;
    std::vector<std::uint32_t> source_kinds_;
    std::string text_;
    std::string folded_;
    SourceId uniform_source_ = kMixedSources;
};

class SegmentBuilder {
public:
    // Reserves room for about this many items and bytes of original text.
    explicit SegmentBuilder(std::size_t expected_items = 0, std::size_t expected_text_bytes = 0);

    // Appends an item; false (and nothing added) when the segment's buffers are full.
    bool add(const ItemData& item, SourceId source);

    std::size_t size() const { return segment_->size(); }
    bool empty() const { return segment_->size() == 0; }

    // The finished segment; the builder is empty afterwards.
    std::shared_ptr<const Segment> finish();

private:
    std::unique_ptr<Segment> segment_;
    bool first_ = true;
};

} // namespace corvantile::engine
