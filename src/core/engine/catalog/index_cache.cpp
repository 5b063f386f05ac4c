#include "core/engine/catalog/index_cache.h"

#include "support/checksum.h"
#include "support/file_io.h"
#include "support/mapped_file.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

namespace corvantile::engine {

using support::checksum64;
using support::MappedFile;
using support::write_file_atomically;

namespace {

constexpr std::string_view kMagic{"CVTLIDX\n", 8};
constexpr std::size_t kHeaderSize = 40;
constexpr std::size_t kCheckedHeaderSize = 32; // the header bytes before the checksum
// Each segment is preceded by its size and checksum.
constexpr std::size_t kSegmentHeadSize = 16;
// The least bytes a saved segment takes (an empty one) with its head: its count, one begin
// offset, three column flags, the text size and the source.
constexpr std::size_t kSlotMinSize = kSegmentHeadSize + 8 + 4 + 3 + 8 + 2;
constexpr std::size_t kAlignment = 8;

std::size_t padding(std::size_t size) {
    return (kAlignment - size % kAlignment) % kAlignment;
}

void put32(std::string& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

void put64(std::string& out, std::uint64_t v) {
    for (int shift = 0; shift < 64; shift += 8)
        out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

void put_text(std::string& out, std::string_view text) {
    out.append(text);
}

// Reads little-endian numbers and byte strings, failing (not throwing) past the end.
class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}

    template <class T> std::optional<T> number() {
        if (bytes_.size() - pos_ < sizeof(T))
            return std::nullopt;
        T value = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i)
            value |= T(static_cast<unsigned char>(bytes_[pos_ + i])) << (8 * i);
        pos_ += sizeof(T);
        return value;
    }

    std::optional<std::string_view> text(std::uint64_t length) {
        if (bytes_.size() - pos_ < length)
            return std::nullopt;
        const std::string_view out = bytes_.substr(pos_, static_cast<std::size_t>(length));
        pos_ += static_cast<std::size_t>(length);
        return out;
    }

    bool at_end() const { return pos_ == bytes_.size(); }
    std::size_t remaining() const { return bytes_.size() - pos_; }

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
};

} // namespace

namespace {

// The live items of a slot in a segment of their own.
std::shared_ptr<const Segment> compacted(const SegmentSlot& slot) {
    const Segment& segment = *slot.segment;
    SegmentBuilder builder(slot.live_count(), segment.text_bytes() / 2);
    std::string room;
    for (std::size_t i = 0; i < segment.size(); ++i)
        if (!slot.is_removed(i))
            builder.add(
                {segment.name(i), segment.path(i, room), segment.payload(i), {}, segment.kind(i)},
                segment.source(i));
    return builder.finish();
}

} // namespace

std::string encode_index_cache(const CatalogSnapshot& catalog) {
    std::string sources_part;
    const auto& sources = *catalog.sources();
    put32(sources_part, static_cast<std::uint32_t>(sources.size()));
    for (const std::string& source : sources) {
        put32(sources_part, static_cast<std::uint32_t>(source.size()));
        put_text(sources_part, source);
    }
    std::uint32_t slot_count = 0;
    for (std::size_t s = 0; s < catalog.slot_count(); ++s)
        slot_count += catalog.slot(s).live_count() != 0;
    put32(sources_part, slot_count);
    sources_part.append(padding(sources_part.size()), '\0');

    std::string out(kMagic);
    put32(out, kIndexCacheVersion);
    put32(out, 0);
    put64(out, catalog.size());
    put64(out, sources_part.size());
    put64(out, checksum64(sources_part, checksum64(out)));
    out += sources_part;
    // The segments as they are in memory, so that loading them is reading bytes.
    for (std::size_t s = 0; s < catalog.slot_count(); ++s) {
        const SegmentSlot& slot = catalog.slot(s);
        if (slot.live_count() == 0)
            continue;
        const std::size_t head = out.size();
        out.append(kSegmentHeadSize, '\0');
        // Removed items are left out: such a segment is saved rebuilt with the others.
        if (slot.removed_count != 0)
            compacted(slot)->append_to(out);
        else
            slot.segment->append_to(out);
        const std::string_view segment = std::string_view(out).substr(head + kSegmentHeadSize);
        const std::uint64_t size = segment.size(), sum = checksum64(segment);
        std::memcpy(out.data() + head, &size, sizeof size);
        std::memcpy(out.data() + head + sizeof size, &sum, sizeof sum);
        out.append(padding(out.size()), '\0');
    }
    return out;
}

namespace {

bool all_zero(std::string_view bytes) {
    return bytes.find_first_not_of('\0') == std::string_view::npos;
}

// The cache's bytes, taken from the front; when they are a mapped file, the segments are left
// there and keep the mapping.
class MemoryInput {
public:
    explicit MemoryInput(std::string_view bytes, std::shared_ptr<const void> mapping = nullptr)
        : bytes_(bytes), mapping_(std::move(mapping)) {}
    std::uint64_t remaining() const { return bytes_.size() - at_; }
    std::optional<std::string_view> take(std::size_t count) {
        if (count > remaining())
            return std::nullopt;
        const std::string_view part = bytes_.substr(at_, count);
        at_ += count;
        return part;
    }
    // The next segment, of this size and checksum, and its padding; null when they do not
    // hold a consistent one.
    std::shared_ptr<const Segment> segment(std::size_t size, std::uint64_t sum, bool checked) {
        const auto bytes = take(size);
        const auto pad = bytes ? take(padding(size)) : std::nullopt;
        if (!pad || !all_zero(*pad) || (checked && checksum64(*bytes) != sum))
            return nullptr;
        return Segment::from_bytes(*bytes, mapping_, size);
    }

private:
    std::string_view bytes_;
    std::shared_ptr<const void> mapping_;
    std::size_t at_ = 0;
};

std::shared_ptr<const CatalogSnapshot> decode(MemoryInput& input, bool checked) {
    const auto head = input.take(kHeaderSize);
    if (!head || head->substr(0, kMagic.size()) != kMagic)
        return nullptr;
    const std::string header(*head);
    Reader fields(std::string_view(header).substr(kMagic.size()));
    const auto version = fields.number<std::uint32_t>();
    const auto flags = fields.number<std::uint32_t>();
    const auto count = fields.number<std::uint64_t>();
    const auto sources_size = fields.number<std::uint64_t>();
    const auto sum = fields.number<std::uint64_t>();
    if (!version || *version != kIndexCacheVersion || !flags || *flags != 0 || !count ||
        !sources_size || *sources_size > input.remaining() || *sources_size % kAlignment != 0)
        return nullptr;
    const auto sources_part = input.take(static_cast<std::size_t>(*sources_size));
    if (!sources_part ||
        (checked && checksum64(*sources_part, checksum64(std::string_view(header).substr(
                                                  0, kCheckedHeaderSize))) != *sum))
        return nullptr;

    Reader reader(*sources_part);
    const auto source_count = reader.number<std::uint32_t>();
    if (!source_count || *source_count > std::numeric_limits<SourceId>::max() ||
        *source_count > reader.remaining() / 4)
        return nullptr;
    auto sources = std::make_shared<std::vector<std::string>>();
    sources->reserve(*source_count);
    for (std::uint32_t s = 0; s < *source_count; ++s) {
        const auto length = reader.number<std::uint32_t>();
        const auto name = length ? reader.text(*length) : std::nullopt;
        if (!name)
            return nullptr;
        sources->emplace_back(*name);
    }
    const auto slot_count = reader.number<std::uint32_t>();
    const auto rest = reader.text(reader.remaining());
    if (!slot_count || *slot_count > input.remaining() / kSlotMinSize ||
        rest->size() >= kAlignment || !all_zero(*rest))
        return nullptr;
    std::vector<SegmentSlot> slots;
    std::uint64_t live = 0;
    for (std::uint32_t s = 0; s < *slot_count; ++s) {
        const auto segment_head = input.take(kSegmentHeadSize);
        if (!segment_head)
            return nullptr;
        std::uint64_t size = 0, segment_sum = 0;
        std::memcpy(&size, segment_head->data(), sizeof size);
        std::memcpy(&segment_sum, segment_head->data() + sizeof size, sizeof segment_sum);
        auto segment = size <= input.remaining()
                           ? input.segment(static_cast<std::size_t>(size), segment_sum, checked)
                           : nullptr;
        if (!segment)
            return nullptr;
        for (std::size_t i = 0; i < segment->size(); ++i)
            if (segment->source(i) >= sources->size())
                return nullptr;
        live += segment->size();
        slots.push_back({std::move(segment), nullptr, 0});
    }
    if (input.remaining() != 0 || live != *count ||
        live > std::numeric_limits<std::uint32_t>::max())
        return nullptr;
    return std::make_shared<const CatalogSnapshot>(std::move(slots), std::move(sources));
}

} // namespace

std::shared_ptr<const CatalogSnapshot> decode_index_cache(std::string_view bytes) {
    MemoryInput input(bytes);
    return decode(input, true);
}

std::shared_ptr<const CatalogSnapshot> decode_index_cache_unchecked(std::string_view bytes) {
    MemoryInput input(bytes);
    return decode(input, false);
}

bool save_index_cache(const std::filesystem::path& path, const CatalogSnapshot& catalog) {
    // The cache loaded at start-up stays mapped while its items are in use: on Windows it is
    // then renamed aside rather than replaced.
    support::AtomicSaveOptions options;
    options.move_aside_in_use = true;
    return write_file_atomically(path, encode_index_cache(catalog), options);
}

std::shared_ptr<const CatalogSnapshot> load_index_cache(const std::filesystem::path& path) {
    // A cache renamed aside by the last run is no longer mapped by anyone.
    std::filesystem::path aside = path;
    aside += ".old";
    std::error_code error;
    std::filesystem::remove(aside, error);
    const auto mapped = MappedFile::open(path, kMaxIndexCacheBytes);
    if (!mapped)
        return nullptr;
    MemoryInput input(mapped->bytes(), mapped);
    return decode(input, true);
}

} // namespace corvantile::engine
