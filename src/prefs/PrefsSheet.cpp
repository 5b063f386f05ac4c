#include "prefs/PrefsSheet.h"

#include "mainwnd/CorvantileDlg.h"

PrefsSheet::PrefsSheet(CCorvantileDlg* parent, const char* caption, UINT selectPage)
    : CBCGPPropertySheet(caption, parent, selectPage), m_generalPage(parent),
      m_searchingPage(parent), m_shortcutsPage(parent), m_pluginsPage(parent) {
    SetLook(PropSheetLook_Tree, 100);
    AddPageToTree(nullptr, &m_generalPage);
    AddPageToTree(nullptr, &m_searchingPage);
    AddPageToTree(nullptr, &m_shortcutsPage);
    AddPageToTree(nullptr, &m_pluginsPage);
}
