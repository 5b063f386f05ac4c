// Reading the bookmarks that browsers keep: the JSON "Bookmarks" file of Chromium-based
// browsers (one per profile) and the ".url" files of the Favorites folder.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace corvantile::core {

struct Bookmark {
    std::string title;
    std::string url;
};

// The bookmarks of a Chromium "Bookmarks" file, in the order the browser shows them (bar,
// other, mobile). A damaged file gives none. Script bookmarklets are left out; a bookmark
// without a title is named by its address.
std::vector<Bookmark> parseChromiumBookmarks(std::string_view json);

// The address of an Internet Shortcut (".url") file's text: the URL key of its
// [InternetShortcut] section; empty when there is none.
std::string parseInternetShortcut(std::string_view text);

// The host part of an address ("https://user@www.example.com:8080/a?b" gives
// "www.example.com"), as a byte range of url: [first, last).
std::pair<std::size_t, std::size_t> urlHostRange(std::string_view url);

} // namespace corvantile::core
