// Matches any query against any name and path, with any options, and checks what the search
// relies on: a floor at an item's own rank never excludes it (the cheap screens and bounds
// are sound), the match found with positions is the same match, and an item matches either
// through its name alone or through its path, never both ways; and the raw screen of the
// command-line filter lets through every name that matches.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/engine/match/matcher.h"
#include "core/engine/match/raw_screen.h"
#include "core/engine/text/text_fold.h"

using namespace corvantile::engine;

namespace {

std::string_view next_line(std::string_view& rest) {
    const std::size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    return line;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    MatchOptions options;
    options.case_sensitive = data[0] & 1;
    options.match_start_only = data[0] & 2;
    std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string_view query = next_line(rest);
    const std::string_view name = next_line(rest);
    const std::string_view path = next_line(rest);
    const std::string folded_name = folded(name), folded_path = folded(path);
    const ItemText item{name, path, folded_name, folded_path, char_mask(folded_name)};

    const Query prepared(query, options);
    Matcher matcher(prepared);
    const auto free = matcher.match(item);
    if (!free)
        return 0;
    if (matcher.match({name, {}, folded_name, {}}) && !RawScreen(prepared).may_match(name))
        std::abort();
    const Floor own{free->score, std::uint32_t(name.size())};
    const auto bounded = matcher.match(item, own);
    if (!bounded || bounded->score != free->score)
        std::abort();
    MatchPositions positions;
    const auto placed = matcher.match(item, {}, &positions);
    if (!placed || placed->score != free->score)
        std::abort();
    for (const auto& [list, limit] :
         {std::pair{&positions.name, name.size()}, std::pair{&positions.path, path.size()}})
        for (std::size_t i = 0; i < list->size(); ++i)
            if ((*list)[i] >= limit || (i > 0 && (*list)[i] <= (*list)[i - 1]))
                std::abort();
    const auto by_name = matcher.match(item, own, nullptr, PathUse::Never);
    const auto by_path = matcher.match(item, own, nullptr, PathUse::Needed);
    if (bool(by_name) == bool(by_path))
        std::abort();
    if ((by_name ? by_name : by_path)->score != free->score)
        std::abort();
    return 0;
}
