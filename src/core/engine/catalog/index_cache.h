// The index cache file: the catalog saved beside the program so that the next start has its
// items at once.
//
// Layout (little-endian): a 40-byte header (the magic "CVTLIDX\n", a 32-bit format version, 32
// bits of flags (0), the 64-bit item count, the 64-bit size of the sources part, and a 64-bit
// checksum of the header's first 32 bytes and the sources part); the sources part (the
// source names as a count, then each as length and bytes, then the count of segments, padded
// with zeros to a multiple of 8 bytes); then each segment as its size, its checksum and its
// tables and text as they are in memory (see Segment::append_to; removed items are left out),
// padded likewise. A load maps the file and leaves the segments' tables and texts where they
// are, so that it parses no item and copies nothing. A file that fails any check, a
// checksum or the consistency of a segment's tables, is rejected as a whole and never trusted.
#pragma once

#include "core/engine/catalog/catalog.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace corvantile::engine {

inline constexpr std::uint32_t kIndexCacheVersion = 4;
// Files larger than this are not read.
inline constexpr std::size_t kMaxIndexCacheBytes = std::size_t{1} << 31;

std::string encode_index_cache(const CatalogSnapshot& catalog);

// The catalog saved in bytes, or null when they fail any check.
std::shared_ptr<const CatalogSnapshot> decode_index_cache(std::string_view bytes);
// The same without comparing checksums: for fuzzing the checks of what the bytes hold.
std::shared_ptr<const CatalogSnapshot> decode_index_cache_unchecked(std::string_view bytes);

// Writes the cache atomically; false on failure (the previous file is then intact).
bool save_index_cache(const std::filesystem::path& path, const CatalogSnapshot& catalog);

// The catalog saved at path, or null when the file is missing, unreadable or fails a check.
std::shared_ptr<const CatalogSnapshot> load_index_cache(const std::filesystem::path& path);

} // namespace corvantile::engine
