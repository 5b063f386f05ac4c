#include "core/search/ItemCodec.h"

namespace corvantile::core {
namespace {

constexpr char kSeparator = '\n';

bool pathIsTarget(VItemKind kind) {
    return kind == VItemKind::File || kind == VItemKind::Folder;
}

} // namespace

EncodedItem encodeItem(const VItem& item) {
    EncodedItem encoded;
    encoded.kind = static_cast<std::uint16_t>(item.kind);
    encoded.name = item.name.str();
    if (pathIsTarget(item.kind)) {
        encoded.path = item.target.str();
        return encoded;
    }
    if (item.kind == VItemKind::Bookmark)
        encoded.path = item.target.str();
    // The payload identifies the item (its usage is recorded under it) and holds the rest.
    encoded.payload = item.target.str();
    if (!item.extra.IsEmpty()) {
        encoded.payload += kSeparator;
        encoded.payload += item.extra.str();
    }
    return encoded;
}

VItem decodeItem(const engine::ItemView& view) {
    VItem item;
    item.kind = static_cast<VItemKind>(view.kind);
    item.name = CString(view.name);
    if (pathIsTarget(item.kind)) {
        item.target = CString(view.path);
        return item;
    }
    const std::size_t separator = view.payload.find(kSeparator);
    item.target = CString(view.payload.substr(0, separator));
    if (separator != std::string_view::npos)
        item.extra = CString(view.payload.substr(separator + 1));
    return item;
}

bool isKnownKind(std::uint16_t kind) {
    return kind >= static_cast<std::uint16_t>(VItemKind::File) &&
           kind <= static_cast<std::uint16_t>(VItemKind::Window);
}

} // namespace corvantile::core
