#include "framework/CMenu.h"

#include <string>

bool CMenu::LoadMenu(UINT id) {
    HMENU menu = ::LoadMenuW(AfxGetResourceHandle(), MAKEINTRESOURCEW(id));
    return menu && Attach(menu);
}

bool CMenu::Attach(HMENU menu) {
    if (!menu)
        return false;
    if (menu != m_hMenu)
        DestroyMenu();
    m_hMenu = menu;
    return true;
}

HMENU CMenu::Detach() {
    HMENU menu = m_hMenu;
    m_hMenu = nullptr;
    return menu;
}

bool CMenu::DestroyMenu() {
    if (!m_hMenu)
        return false;
    const bool destroyed = ::DestroyMenu(m_hMenu) != 0;
    m_hMenu = nullptr;
    return destroyed;
}

HMENU CMenu::GetSubMenu(int position) const {
    return m_hMenu ? ::GetSubMenu(m_hMenu, position) : nullptr;
}

int CMenu::GetMenuItemCount() const {
    return m_hMenu ? ::GetMenuItemCount(m_hMenu) : -1;
}

UINT CMenu::GetMenuItemID(int position) const {
    return m_hMenu ? ::GetMenuItemID(m_hMenu, position) : static_cast<UINT>(-1);
}

CString CMenu::GetMenuString(UINT item, UINT flags) const {
    if (!m_hMenu)
        return CString();
    const int length = ::GetMenuStringW(m_hMenu, item, nullptr, 0, flags);
    if (length <= 0)
        return CString();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = ::GetMenuStringW(m_hMenu, item, text.data(), length + 1, flags);
    return CString::FromW(text.c_str(), copied);
}

bool CMenu::SetDefaultItem(HMENU popup, UINT item, bool byPosition) {
    return popup && ::SetMenuDefaultItem(popup, item, byPosition ? TRUE : FALSE) != 0;
}

UINT CMenu::TrackPopupMenu(HMENU popup, UINT flags, int x, int y, CWnd* owner) {
    if (!popup || !owner || !owner->m_hWnd)
        return 0;
    return static_cast<UINT>(::TrackPopupMenu(popup, flags, x, y, 0, owner->m_hWnd, nullptr));
}
