#include "prefs/PrefsSheet.h"

PrefsSheet::PrefsSheet(CWnd* parent, PrefsOwner& owner, const char* caption, UINT selectPage)
    : CBCGPPropertySheet(caption, parent, selectPage), m_generalPage(owner),
      m_searchingPage(owner) {
    SetLook(PropSheetLook_Tree, 100);
    AddPageToTree(nullptr, &m_generalPage);
    AddPageToTree(nullptr, &m_searchingPage);
    AddPageToTree(nullptr, &m_shortcutsPage);
    AddPageToTree(nullptr, &m_pluginsPage);
}
