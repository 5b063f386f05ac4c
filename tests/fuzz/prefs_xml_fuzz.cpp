// Reads any bytes as a preferences document; whatever reads must write, read back to the same
// tree, and write to the same text again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "support/prefs_tree.h"
#include "support/prefs_xml.h"

using namespace corvantile::support;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    PrefsNode document("");
    if (!read_prefs_xml(text, document))
        return 0;
    const auto written = write_prefs_document(document);
    if (!written)
        return 0; // escaping made it larger than a file may be
    PrefsNode again("");
    if (!read_prefs_xml(*written, again) || !same_tree(document, again))
        std::abort();
    if (write_prefs_document(again) != written)
        std::abort();
    return 0;
}
