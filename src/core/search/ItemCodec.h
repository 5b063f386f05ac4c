// How the plug-ins' items are stored in the engine's catalog and read back: the kind is the
// catalog item's kind, the name is matched, the path (matched after the name) is the file's
// path or the bookmark's address, and the payload carries the rest.
#pragma once

#include <cstdint>
#include <string>

#include "core/engine/catalog/segment.h"
#include "core_iface/VPlugin.h"

namespace corvantile::core {

struct EncodedItem {
    std::string name;
    std::string path;
    std::string payload;
    std::uint16_t kind = 0;

    engine::ItemData data(std::string_view source) const {
        return {name, path, payload, source, kind};
    }
};

EncodedItem encodeItem(const VItem& item);
VItem decodeItem(const engine::ItemView& item);

// Whether a catalog kind is one of ours (a cache may hold anything).
bool isKnownKind(std::uint16_t kind);

} // namespace corvantile::core
