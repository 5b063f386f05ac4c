// A menu that owns its handle: loaded from a resource, or taken over with Attach. The
// sub-menus it hands out stay owned by it.
#pragma once

#include "framework/CWnd.h"

class CMenu {
public:
    CMenu() = default;
    ~CMenu() { DestroyMenu(); }
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    HMENU m_hMenu = nullptr;

    operator HMENU() const { return m_hMenu; }

    // Loads a menu resource of the program, replacing the menu held; false when there is none.
    bool LoadMenu(UINT id);
    // Takes over a menu (destroying the one held before); false for null.
    bool Attach(HMENU menu);
    // Lets go of the menu without destroying it.
    HMENU Detach();
    bool DestroyMenu();

    // The pop-up at a position, or null; it belongs to this menu.
    HMENU GetSubMenu(int position) const;
    int GetMenuItemCount() const;
    UINT GetMenuItemID(int position) const;
    // The item's text, UTF-8, "&" marks kept.
    CString GetMenuString(UINT item, UINT flags) const;

    // Makes an item of a pop-up its default (bold) item, by command id or by position.
    static bool SetDefaultItem(HMENU popup, UINT item, bool byPosition);
    // Shows a pop-up at a screen point; with TPM_RETURNCMD the chosen command (0: none) is
    // returned instead of being sent to owner as WM_COMMAND.
    static UINT TrackPopupMenu(HMENU popup, UINT flags, int x, int y, CWnd* owner);
};
