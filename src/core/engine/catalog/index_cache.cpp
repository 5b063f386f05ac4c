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
constexpr std::size_t kItemFixedSize = 16;

void put16(std::string& out, std::uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
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

std::string encode_index_cache(const CatalogSnapshot& catalog) {
    std::string payload;
    const auto& sources = *catalog.sources();
    put32(payload, static_cast<std::uint32_t>(sources.size()));
    for (const std::string& source : sources) {
        put32(payload, static_cast<std::uint32_t>(source.size()));
        put_text(payload, source);
    }
    for (std::size_t s = 0; s < catalog.slot_count(); ++s) {
        const SegmentSlot& slot = catalog.slot(s);
        const Segment& segment = *slot.segment;
        for (std::size_t i = 0; i < segment.size(); ++i) {
            if (slot.is_removed(i))
                continue;
            put16(payload, segment.source(i));
            put16(payload, segment.kind(i));
            put32(payload, static_cast<std::uint32_t>(segment.name(i).size()));
            put32(payload, static_cast<std::uint32_t>(segment.path(i).size()));
            put32(payload, static_cast<std::uint32_t>(segment.payload(i).size()));
            put_text(payload, segment.name(i));
            put_text(payload, segment.path(i));
            put_text(payload, segment.payload(i));
        }
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
    // Counts are checked against the bytes present before anything is allocated for them.
    if (*count > payload.size() / kItemFixedSize)
        return nullptr;

    Reader reader(payload);
    const auto source_count = reader.number<std::uint32_t>();
    if (!source_count || *source_count > std::numeric_limits<SourceId>::max() ||
        *source_count > reader.remaining() / 4)
        return nullptr;
    std::vector<std::string_view> sources;
    sources.reserve(*source_count);
    for (std::uint32_t s = 0; s < *source_count; ++s) {
        const auto length = reader.number<std::uint32_t>();
        const auto name = length ? reader.text(*length) : std::nullopt;
        if (!name)
            return nullptr;
        sources.push_back(*name);
    }
    std::vector<ItemData> items;
    items.reserve(static_cast<std::size_t>(*count));
    for (std::uint64_t n = 0; n < *count; ++n) {
        const auto source = reader.number<std::uint16_t>();
        const auto kind = reader.number<std::uint16_t>();
        const auto name_length = reader.number<std::uint32_t>();
        const auto path_length = reader.number<std::uint32_t>();
        const auto payload_length = reader.number<std::uint32_t>();
        if (!source || *source >= sources.size() || !kind || !payload_length)
            return nullptr;
        const auto name = reader.text(*name_length);
        const auto path = name ? reader.text(*path_length) : std::nullopt;
        const auto data = path ? reader.text(*payload_length) : std::nullopt;
        if (!data)
            return nullptr;
        items.push_back({*name, *path, *data, sources[*source], *kind});
    }
    if (!reader.at_end())
        return nullptr;
    return build_snapshot(items);
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
