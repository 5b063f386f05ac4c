// Bookmarks: the bookmarks of every profile of Chrome, Edge and Brave, and the Internet
// Explorer Favorites.
#pragma once

#include <mutex>

#include "core/plugins/BasicPlugin.h"

namespace corvantile::core {

class BookmarksPlugin final : public BasicPlugin {
public:
    BookmarksPlugin();
    void scan(VItemSink& sink) override;

    // Where to look instead of the user's local application data and Favorites folders (for
    // tests); an empty text means the system's folder.
    void setFolders(const CString& localAppData, const CString& favorites);

    // Largest bookmark file read.
    static constexpr std::size_t kMaxFileBytes = 64u << 20;

private:
    void scanChromium(const CString& localAppData, VItemSink& sink);
    void scanFavorites(const CString& favorites, VItemSink& sink);

    std::mutex m_mutex;
    CString m_localAppData;
    CString m_favorites;
};

} // namespace corvantile::core
