// A button control: push button, check box or radio button.
#pragma once

#include "framework/CWnd.h"

class CButton : public CWnd {
public:
    BOOL Create(const char* caption, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
        return CWnd::Create("Button", caption, style, rect, parent, id);
    }
    // Shows the icon (BS_ICON); returns the one shown before. The caller keeps ownership.
    HICON SetIcon(HICON icon) {
        return reinterpret_cast<HICON>(
            SendMessage(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon)));
    }
};
