// A result made from an item that a plug-in found: its kind decides the lines it shows, its
// properties and its icon.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core_iface/VElement.h"
#include "core_iface/VPlugin.h"

namespace corvantile::core {

struct ResultMatch {
    CString query;                          // the text searched for
    std::vector<std::uint32_t> nameMatches; // byte offsets in the item's name
    std::vector<std::uint32_t> pathMatches; // byte offsets in the item's target (files, bookmarks)
    std::string usageKey;                   // under which choosing it is recorded
};

class ItemResult : public VResult {
public:
    // A new result that the caller owns (freed with deleteThis).
    static ItemResult* create(VPlugin* plugin, const VItem& item, ResultMatch match);

    const VItem& item() const { return m_item; }
    const std::string& usageKey() const { return m_usageKey; }

protected:
    CString iconFile(bool& folder) const override;

private:
    ItemResult(VPlugin* plugin, const VItem& item, ResultMatch match);

    VItem m_item;
    std::string m_usageKey;
};

// The folder part of a path, ending in a backslash; empty when the path has none.
CString folderOf(const CString& path);

} // namespace corvantile::core
