#include "ui/VPopupWnd.h"

bool VPopupWnd::createPopup(const CRect& rect, CWnd* fontSource) {
    const char* className =
        AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW | CS_CLASSDC | CS_SAVEBITS,
                            nullptr, reinterpret_cast<HBRUSH>(5), nullptr);
    CreateArgs args;
    args.className = className;
    args.exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    args.style = WS_CHILD | WS_CLIPSIBLINGS | WS_BORDER;
    args.SetRect(rect);
    args.parent = ::GetDesktopWindow();
    if (!className || !CreateEx(args))
        return false;
    if (fontSource && fontSource->m_hWnd)
        SetFont(fontSource->GetFont(), TRUE);
    return true;
}

LRESULT VPopupWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETFONT:
        m_font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam))
            Invalidate(TRUE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(m_font);
    case WM_NCCALCSIZE: {
        // The client area is the window less a one-pixel border on every side.
        auto* rect = reinterpret_cast<RECT*>(lParam);
        const int bx = GetSystemMetrics(SM_CXBORDER);
        const int by = GetSystemMetrics(SM_CYBORDER);
        rect->left += bx;
        rect->right -= bx;
        rect->top += by;
        rect->bottom -= by;
        return 0;
    }
    default:
        return CWnd::WindowProc(message, wParam, lParam);
    }
}
