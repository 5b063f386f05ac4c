// Decodes any bytes as an index cache and checks that a cache that decodes is taken whole:
// re-encoded, it decodes again to a catalog that encodes to the same bytes, with as many items.
// Most random bytes fail the checksum, so an input whose first byte is even is taken as the
// item count (its second byte) and the payload (the rest), framed with a valid header.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/engine/catalog/index_cache.h"
#include "support/crc32.h"

using namespace corvantile::engine;

namespace {

void put_le(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A header that passes every check for this payload and item count.
std::string framed(std::uint64_t count, std::string_view payload) {
    std::string out("CVTLIDX\n");
    put_le(out, kIndexCacheVersion, 4);
    put_le(out, 0, 4);
    put_le(out, count, 8);
    put_le(out, payload.size(), 8);
    put_le(out, corvantile::support::crc32_update(corvantile::support::crc32(out), payload), 4);
    out += payload;
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);
    const std::string bytes = data[0] % 2 == 0
                                  ? framed(data[1], rest)
                                  : std::string(reinterpret_cast<const char*>(data), size);
    const auto decoded = decode_index_cache(bytes);
    if (!decoded)
        return 0;
    const std::string encoded = encode_index_cache(*decoded);
    const auto again = decode_index_cache(encoded);
    if (!again || again->size() != decoded->size() || encode_index_cache(*again) != encoded)
        std::abort();
    return 0;
}
