// The Preferences window: the pages of settings in a tree beside them, OK and Cancel.
#pragma once

#include "framework/CBCGPPropertySheet.h"
#include "prefs/PrefsPageGeneral.h"
#include "prefs/PrefsPagePlugins.h"
#include "prefs/PrefsPageSearching.h"
#include "prefs/PrefsPageShortcuts.h"

class PrefsOwner;

class PrefsSheet : public CBCGPPropertySheet {
public:
    // The pages read their settings from owner and write them back to it.
    PrefsSheet(CWnd* parent, PrefsOwner& owner, const char* caption, UINT selectPage = 0);

    PrefsPageGeneral& generalPage() { return m_generalPage; }

private:
    PrefsPageGeneral m_generalPage;
    PrefsPageSearching m_searchingPage;
    PrefsPageShortcuts m_shortcutsPage;
    PrefsPagePlugins m_pluginsPage;
};
