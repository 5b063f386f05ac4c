// Decodes any bytes as an index cache, with its checksums left unchecked so that what is
// fuzzed are the checks of what the bytes hold, and checks that a cache that decodes is taken
// whole: re-encoded, it decodes (checksums and all) to a catalog that encodes to the same
// bytes, with as many items. An input whose first byte is even gets the magic and the format
// version put before the rest, so that the fuzzer need not find them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/engine/catalog/index_cache.h"

using namespace corvantile::engine;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    std::string bytes;
    if (data[0] % 2 == 0) {
        bytes = "CVTLIDX\n";
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<char>((kIndexCacheVersion >> (8 * i)) & 0xFF));
        bytes += rest;
    } else {
        bytes.assign(reinterpret_cast<const char*>(data), size);
    }
    const auto decoded = decode_index_cache_unchecked(bytes);
    if (!decoded)
        return 0;
    const std::string encoded = encode_index_cache(*decoded);
    const auto again = decode_index_cache(encoded);
    if (!again || again->size() != decoded->size() || encode_index_cache(*again) != encoded)
        std::abort();
    return 0;
}
