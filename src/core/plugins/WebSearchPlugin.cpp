#include "core/plugins/WebSearchPlugin.h"

#include "core/shell/Shell.h"

namespace corvantile::core {

WebSearchAction::WebSearchAction(const Definition& definition, const char* searchUrl,
                                 const char* homeUrl)
    : CoreAction(definition), m_searchUrl(searchUrl), m_homeUrl(homeUrl) {}

CString WebSearchAction::urlFor(const CString& text) const {
    CString trimmed = text;
    trimmed.Trim();
    if (trimmed.IsEmpty())
        return m_homeUrl;
    CString url = m_searchUrl;
    url.Replace("%s", urlEncode(trimmed));
    return url;
}

bool WebSearchAction::runWithText(const CString& text) {
    return shellOpen(urlFor(text));
}

CString WebSearchAction::getLabel(VProperty* property) {
    if (!property)
        return name;
    return "Search " + name + " for " + property->value;
}

bool WebSearchAction::perform(VResult*, const VProperty& property, const CString&) {
    return shellOpen(urlFor(property.value));
}

namespace {

struct Site {
    const char* id;
    const char* name;
    const char* description;
    const char* shortcut; // the keyword and a blank: a letter alone still searches
    Badge badge;
    const char* searchUrl;
    const char* homeUrl;
};

const Site kSites[] = {
    {"web.google",
     "Google",
     "Searches the web with Google",
     "g ",
     {L"G", RGB(0x42, 0x85, 0xF4)},
     "https://www.google.com/search?q=%s",
     "https://www.google.com/"},
    {"web.wikipedia",
     "Wikipedia",
     "Looks the text up in Wikipedia",
     "w ",
     {L"W", RGB(0x44, 0x44, 0x44)},
     "https://en.wikipedia.org/wiki/Special:Search?search=%s",
     "https://en.wikipedia.org/"},
    {"web.youtube",
     "YouTube",
     "Searches YouTube videos",
     "y ",
     {L"4", RGB(0xFF, 0x00, 0x00), RGB(255, 255, 255), BadgeShape::Rounded, L"Marlett"},
     "https://www.youtube.com/results?search_query=%s",
     "https://www.youtube.com/"},
    {"web.bing",
     "Bing",
     "Searches the web with Bing",
     "b ",
     {L"b", RGB(0x00, 0x80, 0x80)},
     "https://www.bing.com/search?q=%s",
     "https://www.bing.com/"},
    {"web.duckduckgo",
     "DuckDuckGo",
     "Searches the web with DuckDuckGo",
     "d ",
     {L"D", RGB(0xDE, 0x58, 0x33), RGB(255, 255, 255), BadgeShape::Circle},
     "https://duckduckgo.com/?q=%s",
     "https://duckduckgo.com/"},
    {"web.maps",
     "Maps",
     "Finds a place on Google Maps",
     "m ",
     {L"M", RGB(0x34, 0xA8, 0x53)},
     "https://www.google.com/maps/search/%s",
     "https://www.google.com/maps/"},
};

} // namespace

WebSearchPlugin::WebSearchPlugin()
    : BasicPlugin("WebSearches", "Web Searches",
                  "Searches web sites for the text typed after a shortcut",
                  {L"W", RGB(0x1A, 0x73, 0xE8), RGB(255, 255, 255), BadgeShape::Circle}) {
    for (const Site& site : kSites) {
        // Earlier versions gave each site its letter alone, which took the letter from searches.
        CString letter = site.shortcut;
        letter.Trim();
        CoreAction::Definition definition{
            site.id,    site.name, site.description, {PropertyName, PropertyText},
            site.badge, nullptr,   site.shortcut,    letter.GetString()};
        m_actions.push_back(
            std::make_unique<WebSearchAction>(definition, site.searchUrl, site.homeUrl));
    }
}

std::vector<VAction*> WebSearchPlugin::getActions() {
    std::vector<VAction*> actions;
    for (const auto& action : m_actions)
        actions.push_back(action.get());
    return actions;
}

} // namespace corvantile::core
