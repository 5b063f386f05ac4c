// A plain top-level frame window; the program uses one, never shown, as the owner of its
// main window.
#pragma once

#include "framework/CWnd.h"

class CFrameWnd : public CWnd {
public:
    // Lets the system choose the place and size.
    static const CRect rectDefault;

    // A null class takes the framework's frame class; menuName names a menu resource (or is
    // MAKEINTRESOURCE of its id), null for none.
    BOOL Create(const char* className, const char* windowName, DWORD style = WS_OVERLAPPEDWINDOW,
                const RECT& rect = rectDefault, CWnd* parent = nullptr,
                const char* menuName = nullptr, DWORD exStyle = 0);
};
