// Web Searches: one action per search site, each with a short shortcut ("g " for Google: the
// letter and a blank, so that the letter alone still searches), that opens the site's results
// for the typed text.
#pragma once

#include <memory>
#include <vector>

#include "core/actions/CoreAction.h"
#include "core/plugins/BasicPlugin.h"

namespace corvantile::core {

class WebSearchAction final : public CoreAction {
public:
    // searchUrl holds "%s" where the encoded text goes; homeUrl opens for an empty text.
    WebSearchAction(const Definition& definition, const char* searchUrl, const char* homeUrl);

    bool takesText() const override { return true; }
    bool runWithText(const CString& text) override;
    CString getLabel(VProperty* property) override;

    // The address of the results for text.
    CString urlFor(const CString& text) const;

protected:
    bool perform(VResult* result, const VProperty& property, const CString& text) override;

private:
    CString m_searchUrl;
    CString m_homeUrl;
};

class WebSearchPlugin final : public BasicPlugin {
public:
    WebSearchPlugin();
    std::vector<VAction*> getActions() override;

private:
    std::vector<std::unique_ptr<WebSearchAction>> m_actions;
};

} // namespace corvantile::core
