#include "core/plugins/BookmarksPlugin.h"

#include <shlobj.h>

#include <set>
#include <string>

#include "core/bookmarks/BookmarkFiles.h"
#include "core/shell/Shell.h"
#include "core_iface/CPath.h"

namespace corvantile::core {
namespace {

struct Browser {
    const char* id;
    const char* userData; // below the local application data folder
};

const Browser kBrowsers[] = {
    {"chrome", "Google\\Chrome\\User Data"},
    {"edge", "Microsoft\\Edge\\User Data"},
    {"brave", "BraveSoftware\\Brave-Browser\\User Data"},
};

constexpr int kFavoritesDepth = 8;

// The text of a ".url" file, which may be saved as UTF-16.
std::string shortcutText(const std::string& bytes) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        std::wstring wide(reinterpret_cast<const wchar_t*>(bytes.data() + 2),
                          (bytes.size() - 2) / sizeof(wchar_t));
        return WideToUtf8(wide);
    }
    return bytes;
}

} // namespace

BookmarksPlugin::BookmarksPlugin()
    : BasicPlugin("Bookmarks", "Bookmarks",
                  "Finds the bookmarks of Chrome, Edge, Brave and Internet Explorer",
                  {L"B", RGB(0xF4, 0xB4, 0x00), RGB(0x30, 0x30, 0x30)}) {}

void BookmarksPlugin::setFolders(const CString& localAppData, const CString& favorites) {
    std::lock_guard lock(m_mutex);
    m_localAppData = localAppData;
    m_favorites = favorites;
}

void BookmarksPlugin::scan(VItemSink& sink) {
    CString localAppData;
    CString favorites;
    {
        std::lock_guard lock(m_mutex);
        localAppData = m_localAppData;
        favorites = m_favorites;
    }
    if (localAppData.IsEmpty())
        localAppData = environmentVariable("LOCALAPPDATA");
    if (localAppData.IsEmpty())
        localAppData = specialFolder(CSIDL_LOCAL_APPDATA);
    if (favorites.IsEmpty())
        favorites = specialFolder(CSIDL_FAVORITES);
    if (!localAppData.IsEmpty())
        scanChromium(localAppData, sink);
    if (!favorites.IsEmpty() && !sink.cancelled())
        scanFavorites(favorites, sink);
}

void BookmarksPlugin::scanChromium(const CString& localAppData, VItemSink& sink) {
    for (const Browser& browser : kBrowsers) {
        const CString userData = CPath::AddBackSlash(localAppData) + browser.userData;
        // Every profile ("Default", "Profile 1" ...) is a folder with its own bookmarks.
        std::set<std::string> seen;
        walkFolder(
            userData, 0,
            [&](const FolderEntry& profile) {
                if (!profile.folder)
                    return true;
                std::string json;
                if (!readWholeFile(profile.path + "\\Bookmarks", json, kMaxFileBytes))
                    return true;
                for (Bookmark& bookmark : parseChromiumBookmarks(json)) {
                    if (!seen.insert(bookmark.url).second)
                        continue;
                    sink.add({VItemKind::Bookmark, CString(std::move(bookmark.title)),
                              CString(std::move(bookmark.url)), browser.id});
                }
                return !sink.cancelled();
            },
            [&] { return sink.cancelled(); });
    }
}

void BookmarksPlugin::scanFavorites(const CString& favorites, VItemSink& sink) {
    walkFolder(
        favorites, kFavoritesDepth,
        [&](const FolderEntry& entry) {
            if (entry.folder || entry.name.GetLength() <= 4 ||
                entry.name.Right(4).CompareNoCase(".url") != 0)
                return true;
            std::string bytes;
            if (!readWholeFile(entry.path, bytes, 1u << 20))
                return true;
            const std::string url = parseInternetShortcut(shortcutText(bytes));
            if (!url.empty())
                sink.add({VItemKind::Bookmark, entry.name.Left(entry.name.GetLength() - 4),
                          CString(url), "ie"});
            return true;
        },
        [&] { return sink.cancelled(); });
}

} // namespace corvantile::core
