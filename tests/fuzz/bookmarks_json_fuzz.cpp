// Reads any bytes as a bookmarks file and checks the reader's bound on nesting: what it
// accepts nests no deeper than kMaxJsonDepth, and wrapped in arrays it is still accepted up to
// that depth exactly and refused one level past it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/json_reader.h"

using namespace corvantile::support;

namespace {

// The depth of the deepest value, the whole document being at depth 0.
int depth_of(const JsonValue& root) {
    int deepest = 0;
    std::vector<std::pair<const JsonValue*, int>> todo{{&root, 0}};
    while (!todo.empty()) {
        const auto [value, depth] = todo.back();
        todo.pop_back();
        deepest = std::max(deepest, depth);
        for (const JsonValue& item : value->items)
            todo.push_back({&item, depth + 1});
        for (const auto& member : value->members)
            todo.push_back({&member.second, depth + 1});
    }
    return deepest;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto document = parse_json(text);
    if (!document)
        return 0;
    const int depth = depth_of(*document);
    if (depth > kMaxJsonDepth)
        std::abort();
    if (text.starts_with("\xEF\xBB\xBF"))
        return 0; // a byte-order mark belongs at the very start only
    const auto wrapped = [&](int wraps) {
        std::string deeper(static_cast<std::size_t>(wraps), '[');
        deeper += text;
        deeper.append(static_cast<std::size_t>(wraps), ']');
        return parse_json(deeper).has_value();
    };
    if (!wrapped(kMaxJsonDepth - depth) || wrapped(kMaxJsonDepth + 1 - depth))
        std::abort();
    return 0;
}
