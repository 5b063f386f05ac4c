// The index cache file: the catalog saved beside the program so that the next start has its
// items at once.
//
// Layout (little-endian): the magic "CVTLIDX\n", a 32-bit format version, 32 bits of flags
// (0), the 64-bit item count, the 64-bit payload size, and the CRC-32 of those 32 header
// bytes followed by the payload. The payload lists the source names (count, then each as
// length and bytes), then each item as source index (16 bits), kind (16 bits), the lengths of
// name, path and payload (32 bits each) and their bytes. A file that fails any check is
// rejected as a whole and never trusted.
#pragma once

#include "core/engine/catalog/catalog.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace corvantile::engine {

inline constexpr std::uint32_t kIndexCacheVersion = 1;
// Files larger than this are not read.
inline constexpr std::size_t kMaxIndexCacheBytes = std::size_t{1} << 31;

std::string encode_index_cache(const CatalogSnapshot& catalog);

// The catalog saved in bytes, or null when they fail any check.
std::shared_ptr<const CatalogSnapshot> decode_index_cache(std::string_view bytes);

// Writes the cache atomically; false on failure (the previous file is then intact).
bool save_index_cache(const std::filesystem::path& path, const CatalogSnapshot& catalog);

// The catalog saved at path, or null when the file is missing, unreadable or fails a check.
std::shared_ptr<const CatalogSnapshot> load_index_cache(const std::filesystem::path& path);

} // namespace corvantile::engine
