#include "core/engine/catalog/index_cache.h"

#include "support/crc32.h"
#include "support/file_io.h"

#include <limits>
#include <optional>
#include <vector>

namespace corvantile::engine {

using support::crc32;
using support::crc32_update;
using support::read_file;
using support::write_file_atomically;

namespace {

constexpr std::string_view kMagic{"CVTLIDX\n", 8};
constexpr std::size_t kHeaderSize = 36;
constexpr std::size_t kCheckedHeaderSize = 32; // the header bytes before the CRC
// The least bytes a saved segment takes (an empty one): its count, one begin offset, three
// column flags, the text size and the source.
constexpr std::size_t kSlotMinSize = 8 + 4 + 3 + 8 + 2;

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
    for (std::size_t i = 0; i < segment.size(); ++i)
        if (!slot.is_removed(i))
            builder.add({segment.name(i), segment.path(i), segment.payload(i), {}, segment.kind(i)},
                        segment.source(i));
    return builder.finish();
}

} // namespace

std::string encode_index_cache(const CatalogSnapshot& catalog) {
    std::string payload;
    const auto& sources = *catalog.sources();
    put32(payload, static_cast<std::uint32_t>(sources.size()));
    for (const std::string& source : sources) {
        put32(payload, static_cast<std::uint32_t>(source.size()));
        put_text(payload, source);
    }
    // The segments as they are in memory, so that loading them is copying bytes.
    std::uint32_t slot_count = 0;
    for (std::size_t s = 0; s < catalog.slot_count(); ++s)
        slot_count += catalog.slot(s).live_count() != 0;
    put32(payload, slot_count);
    for (std::size_t s = 0; s < catalog.slot_count(); ++s) {
        const SegmentSlot& slot = catalog.slot(s);
        if (slot.live_count() == 0)
            continue;
        // Removed items are left out: such a segment is saved rebuilt with the others.
        if (slot.removed_count != 0)
            compacted(slot)->append_to(payload);
        else
            slot.segment->append_to(payload);
    }
    std::string out(kMagic);
    put32(out, kIndexCacheVersion);
    put32(out, 0);
    put64(out, catalog.size());
    put64(out, payload.size());
    const std::uint32_t crc = crc32_update(crc32(out), payload);
    put32(out, crc);
    out += payload;
    return out;
}

std::shared_ptr<const CatalogSnapshot> decode_index_cache(std::string_view bytes) {
    if (bytes.size() < kHeaderSize || bytes.substr(0, kMagic.size()) != kMagic)
        return nullptr;
    Reader header(bytes.substr(kMagic.size(), kHeaderSize - kMagic.size()));
    const auto version = header.number<std::uint32_t>();
    const auto flags = header.number<std::uint32_t>();
    const auto count = header.number<std::uint64_t>();
    const auto payload_size = header.number<std::uint64_t>();
    const auto crc = header.number<std::uint32_t>();
    const std::string_view payload = bytes.substr(kHeaderSize);
    if (!version || *version != kIndexCacheVersion || !flags || *flags != 0 || !count ||
        !payload_size || *payload_size != payload.size() || !crc ||
        *crc != crc32_update(crc32(bytes.substr(0, kCheckedHeaderSize)), payload))
        return nullptr;

    Reader reader(payload);
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
    if (!slot_count || *slot_count > reader.remaining() / kSlotMinSize)
        return nullptr;
    std::vector<SegmentSlot> slots;
    std::uint64_t live = 0;
    for (std::uint32_t s = 0; s < *slot_count; ++s) {
        std::string_view rest = payload.substr(payload.size() - reader.remaining());
        const std::size_t before = rest.size();
        auto segment = Segment::from_bytes(rest);
        if (!segment || !reader.text(before - rest.size()))
            return nullptr;
        for (std::size_t i = 0; i < segment->size(); ++i)
            if (segment->source(i) >= sources->size())
                return nullptr;
        live += segment->size();
        slots.push_back({std::move(segment), nullptr, 0});
    }
    if (!reader.at_end() || live != *count || live > std::numeric_limits<std::uint32_t>::max())
        return nullptr;
    return std::make_shared<const CatalogSnapshot>(std::move(slots), std::move(sources));
}

bool save_index_cache(const std::filesystem::path& path, const CatalogSnapshot& catalog) {
    return write_file_atomically(path, encode_index_cache(catalog));
}

std::shared_ptr<const CatalogSnapshot> load_index_cache(const std::filesystem::path& path) {
    const auto bytes = read_file(path, kMaxIndexCacheBytes);
    if (!bytes)
        return nullptr;
    return decode_index_cache(*bytes);
}

} // namespace corvantile::engine
