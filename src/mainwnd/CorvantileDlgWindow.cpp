// The search bar's size and place: a fixed height, sizing from the left and right ends,
// dragging from anywhere, docking to the edges of its monitor's work area, staying on a
// monitor when the monitors change, and its sizes and font at its monitor's DPI.
#include "framework/MonitorList.h"
#include "framework/ScreenPlacement.h"
#include "mainwnd/CorvantileDlg.h"

namespace {

// The system rescales a dialog's font and controls itself on a DPI change unless told not to;
// the bar lays itself out. Looked up at run time, as older systems lack the call.
void keepDialogLayoutOurs(HWND dialog) {
    using SetBehavior =
        BOOL(WINAPI*)(HWND, DIALOG_DPI_CHANGE_BEHAVIORS, DIALOG_DPI_CHANGE_BEHAVIORS);
    const HMODULE user = GetModuleHandleW(L"user32.dll");
    const auto set = user ? reinterpret_cast<SetBehavior>(reinterpret_cast<void*>(
                                GetProcAddress(user, "SetDialogDpiChangeBehavior")))
                          : nullptr;
    if (set)
        set(dialog, DDC_DISABLE_ALL, DDC_DISABLE_ALL);
}

} // namespace

void CCorvantileDlg::initGeometry() {
    keepDialogLayoutOurs(m_hWnd);
    m_dpi = m_startDpi = MonitorList::current().dpiForWindow(m_hWnd);
    m_startFont = m_commandLine.GetFont();
    // A sizing frame lets the system size the bar from its ends; WM_NCCALCSIZE gives it no room.
    ModifyStyle(0, WS_THICKFRAME);
    SetWindowPos(nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    // Exactly as tall as the edit box needs: the box, its frame and a small margin.
    CRect client;
    GetClientRect(&client);
    CRect edit;
    m_commandLine.GetClientRect(&edit);
    m_startHeight = edit.Height() + 2 * GetSystemMetrics(SM_CYFRAME) + 4;
    SetWindowPos(nullptr, 0, 0, client.Width(), m_startHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    getList().setDpi(m_dpi, nullptr);
}

int CCorvantileDlg::barHeight() const {
    return MulDiv(m_startHeight, static_cast<int>(m_dpi), static_cast<int>(m_startDpi));
}

bool CCorvantileDlg::handleGeometryMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                           LRESULT* result) {
    switch (message) {
    case WM_NCCALCSIZE:
        // The whole window is client area: the sizing frame is there for the system only.
        if (!(GetStyle() & WS_THICKFRAME))
            return false;
        *result = 0;
        return true;
    case WM_DISPLAYCHANGE:
        keepOnScreen();
        return false;
    case WM_DPICHANGED:
        onDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        *result = 0;
        return true;
    default:
        return false;
    }
}

void CCorvantileDlg::OnSize(UINT type, int cx, int cy) {
    CTrayDialog::OnSize(type, cx, cy);
    if (!m_commandLine.m_hWnd)
        return;
    const auto px = [this](int pixels) { return screen::scale(pixels, m_dpi); };
    const int height = cy - px(4);
    m_actionIcon.MoveWindow(px(2), px(2), px(20), height, TRUE);
    m_commandLine.MoveWindow(px(24), px(2), cx - px(48), height, TRUE);
    m_menuButton.MoveWindow(cx - px(22), px(2), px(20), height, TRUE);
}

// The bar is as tall as its edit box allows and no taller; its width is free.
void CCorvantileDlg::OnGetMinMaxInfo(MINMAXINFO* info) {
    CTrayDialog::OnGetMinMaxInfo(info);
    if (!m_commandLine.m_hWnd || m_startHeight == 0)
        return;
    info->ptMinTrackSize.y = barHeight();
    info->ptMaxTrackSize.y = barHeight();
}

// Sized from its left and right ends only, and dragged from anywhere else on its surface.
LRESULT CCorvantileDlg::OnNcHitTest(CPoint point) {
    CRect window;
    GetWindowRect(&window);
    const int margin = screen::scale(kSizingMargin, m_dpi);
    if (point.x > window.left - margin && point.x < window.left + margin)
        return HTLEFT;
    if (point.x > window.right - margin && point.x < window.right + margin)
        return HTRIGHT;
    return HTCAPTION;
}

void CCorvantileDlg::OnWindowPosChanging(WINDOWPOS* pos) {
    CTrayDialog::OnWindowPosChanging(pos);
    if (!(pos->flags & SWP_NOMOVE))
        snapToWorkArea(pos);
}

// The list hangs below the bar where the bar is now, after any docking.
void CCorvantileDlg::OnWindowPosChanged(WINDOWPOS* pos) {
    CTrayDialog::OnWindowPosChanged(pos);
    if ((pos->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE))
        m_commandLine.followOwner();
}

void CCorvantileDlg::snapToWorkArea(WINDOWPOS* pos) const {
    CRect window;
    GetWindowRect(&window);
    const int width = (pos->flags & SWP_NOSIZE) ? window.Width() : pos->cx;
    const int height = (pos->flags & SWP_NOSIZE) ? window.Height() : pos->cy;
    // Sizing from an end docks nothing: moving the bar would shift the end the user holds.
    if (width != window.Width() || height != window.Height())
        return;
    const RECT proposed{pos->x, pos->y, pos->x + width, pos->y + height};
    const POINT docked = screen::dockToWorkArea(MonitorList::current().monitors(), proposed);
    pos->x = docked.x;
    pos->y = docked.y;
}

bool CCorvantileDlg::isPlaceOnScreen(POINT topLeft) const {
    CRect window;
    GetWindowRect(&window);
    const RECT placed{topLeft.x, topLeft.y, topLeft.x + window.Width(),
                      topLeft.y + window.Height()};
    return screen::isOnSomeMonitor(MonitorList::current().monitors(), placed);
}

void CCorvantileDlg::keepOnScreen() {
    CRect window;
    GetWindowRect(&window);
    if (!isPlaceOnScreen(window.TopLeft()))
        moveToDefaultPlace();
}

void CCorvantileDlg::onDpiChanged(UINT dpi, const RECT& suggested) {
    if (dpi == 0)
        return;
    m_dpi = dpi;
    HFONT font = m_startFont;
    m_dpiFont.DeleteObject();
    LOGFONTW logFont{};
    if (dpi != m_startDpi && m_startFont && GetObjectW(m_startFont, sizeof logFont, &logFont)) {
        logFont.lfHeight =
            MulDiv(logFont.lfHeight, static_cast<int>(dpi), static_cast<int>(m_startDpi));
        if (m_dpiFont.CreateFontIndirect(&logFont))
            font = m_dpiFont;
    }
    if (font) {
        m_commandLine.SetFont(font, TRUE);
        m_menuButton.SetFont(font, TRUE);
    }
    // The suggested rectangle keeps the bar where the user put it; the height is the bar's own.
    SetWindowPos(nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 barHeight(), SWP_NOZORDER | SWP_NOACTIVATE);
    getList().setDpi(dpi, font);
}
