// CRC-32 (the zlib/PNG polynomial). It catches every error confined to 32 consecutive bits,
// so any single corrupted byte of a checked file.
#pragma once

#include <cstdint>
#include <string_view>

namespace corvantile::support {

// Continues a CRC over more bytes; start with crc = 0.
std::uint32_t crc32_update(std::uint32_t crc, std::string_view bytes);

inline std::uint32_t crc32(std::string_view bytes) {
    return crc32_update(0, bytes);
}

} // namespace corvantile::support
