// Reading the browsers' bookmark files: Chromium bookmark trees, Internet Shortcut files and the
// host part of addresses.
#include <gtest/gtest.h>

#include "core/bookmarks/BookmarkFiles.h"

using namespace corvantile::core;

namespace {

TEST(ChromiumBookmarks, ListsUrlsOfEveryFolderInOrder) {
    const char* json = R"json({
      "checksum": "x", "version": 1,
      "roots": {
        "bookmark_bar": {"type": "folder", "name": "Bar", "children": [
          {"type": "url", "name": "Example", "url": "https://example.com/"},
          {"type": "folder", "name": "Work", "children": [
            {"type": "url", "name": "  Wiki  ", "url": "https://wiki.example.org/Main"},
            {"type": "url", "name": "", "url": "https://untitled.example.net/"}
          ]},
          {"type": "url", "name": "Bookmarklet", "url": "javascript:alert(1)"}
        ]},
        "other": {"type": "folder", "children": [
          {"type": "url", "name": "Caf\u00e9", "url": "https://cafe.example/"},
          {"type": "url", "name": "No address"}
        ]},
        "synced": {"type": "folder", "children": []}
      }
    })json";
    const auto bookmarks = parseChromiumBookmarks(json);
    ASSERT_EQ(bookmarks.size(), 4u);
    EXPECT_EQ(bookmarks[0].title, "Example");
    EXPECT_EQ(bookmarks[1].title, "Wiki");
    EXPECT_EQ(bookmarks[1].url, "https://wiki.example.org/Main");
    EXPECT_EQ(bookmarks[2].title, "https://untitled.example.net/");
    EXPECT_EQ(bookmarks[3].title, "Caf\xC3\xA9");
}

TEST(ChromiumBookmarks, DamagedFilesGiveNothing) {
    EXPECT_TRUE(parseChromiumBookmarks("").empty());
    EXPECT_TRUE(parseChromiumBookmarks("{\"roots\": [1, 2]}").empty());
    EXPECT_TRUE(
        parseChromiumBookmarks("{\"roots\": {\"bookmark_bar\": {\"children\": 5}}}").empty());
    EXPECT_TRUE(
        parseChromiumBookmarks("{\"roots\": {\"bookmark_bar\": {\"type\": \"url\", \"url\": ")
            .empty());
}

TEST(InternetShortcut, ReadsTheUrlOfItsSection) {
    EXPECT_EQ(parseInternetShortcut("[InternetShortcut]\r\nURL=https://a.example/x\r\n"),
              "https://a.example/x");
    EXPECT_EQ(parseInternetShortcut("[{000214A0-0000-0000-C000-000000000046}]\nProp3=19,2\n"
                                    "[internetshortcut]\nIconIndex=0\nurl = http://b.example/ \n"),
              "http://b.example/");
    EXPECT_EQ(parseInternetShortcut("[Other]\nURL=http://no.example/\n"), "");
    EXPECT_EQ(parseInternetShortcut("garbage without sections"), "");
    EXPECT_EQ(parseInternetShortcut("[InternetShortcut]\nURLX=nope\nURL\n"), "");
}

TEST(UrlHost, IsTheNamePartOfTheAddress) {
    const auto host = [](std::string_view url) {
        const auto [first, last] = urlHostRange(url);
        return std::string(url.substr(first, last - first));
    };
    EXPECT_EQ(host("https://www.example.com/path?q=1"), "www.example.com");
    EXPECT_EQ(host("https://user:pw@example.com:8080/x"), "example.com");
    EXPECT_EQ(host("example.org"), "example.org");
    EXPECT_EQ(host("file:///C:/x.html"), "");
    EXPECT_EQ(host("http://host#frag"), "host");
}

} // namespace
