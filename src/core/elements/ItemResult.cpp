#include "core/elements/ItemResult.h"

namespace corvantile::core {

CString folderOf(const CString& path) {
    return CPath(path).GetLocation();
}

ItemResult* ItemResult::create(VPlugin* plugin, const VItem& item, ResultMatch match) {
    return new ItemResult(plugin, item, std::move(match));
}

ItemResult::ItemResult(VPlugin* plugin, const VItem& item, ResultMatch match)
    : VResult(plugin), m_item(item), m_usageKey(std::move(match.usageKey)) {
    m_title = item.name;
    m_titleMatches = std::move(match.nameMatches);
    m_query = match.query;
    switch (item.kind) {
    case VItemKind::File:
        m_detail = item.target;
        m_detailMatches = std::move(match.pathMatches);
        addProperty(PropertyPath, item.target);
        if (!folderOf(item.target).IsEmpty())
            addProperty(PropertyFolder, folderOf(item.target));
        addProperty(PropertyName, item.name);
        break;
    case VItemKind::Folder:
        m_detail = item.target;
        m_detailMatches = std::move(match.pathMatches);
        addProperty(PropertyPath, item.target);
        addProperty(PropertyName, item.name);
        break;
    case VItemKind::Program: {
        m_detail = item.extra.IsEmpty() ? item.target : item.extra;
        addProperty(PropertyPath, item.target);
        if (!item.extra.IsEmpty())
            addProperty(PropertyCommandLine, item.extra);
        const CString folder = folderOf(item.extra.IsEmpty() ? item.target : item.extra);
        if (!folder.IsEmpty())
            addProperty(PropertyFolder, folder);
        break;
    }
    case VItemKind::Bookmark:
        m_detail = item.target;
        m_detailMatches = std::move(match.pathMatches);
        addProperty(PropertyUrl, item.target);
        addProperty(PropertyName, item.name);
        break;
    case VItemKind::Window:
        m_detail = item.extra.Mid(item.extra.ReverseFind('\\') + 1);
        addProperty(PropertyWindow, item.target);
        addProperty(PropertyName, item.name);
        if (!item.extra.IsEmpty())
            addProperty(PropertyPath, item.extra);
        break;
    case VItemKind::Text:
    case VItemKind::Action:
        m_detail = item.extra;
        addProperty(PropertyText, item.target);
        break;
    }
}

CString ItemResult::iconFile(bool& folder) const {
    folder = m_item.kind == VItemKind::Folder;
    if (m_item.kind == VItemKind::File || m_item.kind == VItemKind::Folder ||
        m_item.kind == VItemKind::Program)
        return m_item.target;
    if (m_item.kind == VItemKind::Window)
        return m_item.extra;
    return {};
}

} // namespace corvantile::core
