#include "core/bookmarks/BookmarkFiles.h"

#include <algorithm>
#include <optional>

#include "support/json_reader.h"
#include "support/tokenizer.h"

namespace corvantile::core {

using support::JsonValue;
using support::parse_json;
namespace {

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char ch = text[i];
        if (ch >= 'A' && ch <= 'Z')
            ch = static_cast<char>(ch - 'A' + 'a');
        if (ch != prefix[i])
            return false;
    }
    return true;
}

} // namespace

std::vector<Bookmark> parseChromiumBookmarks(std::string_view json) {
    std::vector<Bookmark> bookmarks;
    const std::optional<JsonValue> document = parse_json(json);
    if (!document || !document->is_object())
        return bookmarks;
    const JsonValue* roots = document->find("roots");
    if (!roots || !roots->is_object())
        return bookmarks;

    // Depth first, in the browser's order, without recursion.
    std::vector<const JsonValue*> pending;
    for (auto it = roots->members.rbegin(); it != roots->members.rend(); ++it) {
        if (it->second.is_object())
            pending.push_back(&it->second);
    }
    while (!pending.empty()) {
        const JsonValue* node = pending.back();
        pending.pop_back();
        const std::string_view type = node->string_of("type");
        const std::string_view url = support::trim_blanks(node->string_of("url"));
        if (type == "url" && !url.empty() && !startsWithNoCase(url, "javascript:")) {
            const std::string_view name = support::trim_blanks(node->string_of("name"));
            bookmarks.push_back({std::string(name.empty() ? url : name), std::string(url)});
        }
        const JsonValue* children = node->find("children");
        if (!children || !children->is_array())
            continue;
        for (auto it = children->items.rbegin(); it != children->items.rend(); ++it) {
            if (it->is_object())
                pending.push_back(&*it);
        }
    }
    return bookmarks;
}

std::string parseInternetShortcut(std::string_view text) {
    bool inSection = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = support::trim_blanks(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.starts_with("\xEF\xBB\xBF"))
            line.remove_prefix(3);
        if (line.starts_with('[')) {
            inSection = startsWithNoCase(line, "[internetshortcut]");
            continue;
        }
        if (!inSection)
            continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            continue;
        const std::string_view key = support::trim_blanks(line.substr(0, equals));
        if (key.size() == 3 && startsWithNoCase(key, "url"))
            return std::string(support::trim_blanks(line.substr(equals + 1)));
    }
    return {};
}

std::pair<std::size_t, std::size_t> urlHostRange(std::string_view url) {
    std::size_t first = 0;
    const std::size_t scheme = url.find("://");
    if (scheme != std::string_view::npos)
        first = scheme + 3;
    std::size_t last = url.find_first_of("/?#", first);
    if (last == std::string_view::npos)
        last = url.size();
    const std::size_t at = url.rfind('@', last);
    if (at != std::string_view::npos && at >= first)
        first = at + 1;
    const std::size_t colon = url.find(':', first);
    if (colon != std::string_view::npos && colon < last)
        last = colon;
    return {first, std::max(first, last)};
}

} // namespace corvantile::core
