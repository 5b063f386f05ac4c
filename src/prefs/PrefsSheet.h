// The Preferences window: the pages of settings in a tree beside them, OK and Cancel.
#pragma once

#include "framework/CBCGPPropertySheet.h"
#include "prefs/PrefsPageGeneral.h"
#include "prefs/PrefsPageSearching.h"

class CCorvantileDlg;

class PrefsSheet : public CBCGPPropertySheet {
public:
    PrefsSheet(CCorvantileDlg* parent, const char* caption, UINT selectPage = 0);

    PrefsPageGeneral& generalPage() { return m_generalPage; }

private:
    PrefsPageGeneral m_generalPage;
    PrefsPageSearching m_searchingPage;
};
