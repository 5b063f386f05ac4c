#include "mainwnd/TrayDialog.h"

#include <algorithm>
#include <cwchar>

#include "ui/ProgramEvents.h"

namespace {

// Sent to every top-level window when a shell's task bar (re)starts.
UINT taskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

// Copies UTF-8 text into a fixed UTF-16 field, cut to fit.
template <size_t N> void copyText(wchar_t (&field)[N], const char* text) {
    const std::wstring wide = Utf8ToWide(text ? text : "");
    const size_t count = std::min(wide.size(), N - 1);
    std::wmemcpy(field, wide.c_str(), count);
    field[count] = L'\0';
}

} // namespace

CTrayDialog::CTrayDialog(UINT templateId, CWnd* parent) : CDialog(templateId, parent) {
    m_data.cbSize = sizeof m_data;
    m_data.uID = kTrayIconId;
    m_data.uFlags = NIF_MESSAGE;
    m_data.uCallbackMessage = kTrayNotify;
}

CTrayDialog::~CTrayDialog() {
    TrayHide();
}

bool CTrayDialog::notify(DWORD command) {
    m_data.hWnd = m_hWnd;
    if (!m_hWnd || !Shell_NotifyIconW(command, &m_data))
        return false;
    // A balloon goes with the one add or modify that showed it, never with a later one.
    m_data.uFlags &= ~NIF_INFO;
    return true;
}

void CTrayDialog::addIcon() {
    if (m_wanted && !m_visible && m_hWnd) {
        // An add that the shell refuses may mean the icon is still there (a repeated
        // "TaskbarCreated"): a modify tells.
        m_visible = notify(NIM_ADD) || notify(NIM_MODIFY);
        if (!m_visible)
            ProgramEvents::record("The tray icon could not be added; trying again.");
    }
    if (m_wanted && !m_visible)
        SetTimer(kRetryTimer, kRetryMilliseconds);
    else if (m_hWnd)
        KillTimer(kRetryTimer);
}

void CTrayDialog::TraySetIcon(HICON icon) {
    m_data.hIcon = icon;
    m_data.uFlags |= NIF_ICON;
}

void CTrayDialog::TraySetIcon(UINT iconId) {
    TraySetIcon(::LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(iconId)));
}

void CTrayDialog::TraySetToolTip(const char* tip) {
    copyText(m_data.szTip, tip);
    m_data.uFlags |= NIF_TIP;
}

bool CTrayDialog::TrayShow() {
    const bool wasVisible = m_visible;
    m_wanted = true;
    addIcon();
    if (m_visible && !wasVisible)
        ProgramEvents::record("The tray icon was added.");
    return m_visible;
}

bool CTrayDialog::TrayHide() {
    m_wanted = false;
    if (m_visible && notify(NIM_DELETE))
        m_visible = false;
    if (m_hWnd)
        KillTimer(kRetryTimer);
    return !m_visible;
}

bool CTrayDialog::TrayUpdate() {
    return m_visible && notify(NIM_MODIFY);
}

bool CTrayDialog::TraySetMenu(UINT menuId, UINT defaultPosition) {
    m_defaultPosition = defaultPosition;
    return m_menu.LoadMenu(menuId);
}

bool CTrayDialog::TrayShowBalloon(const char* title, const char* text, DWORD iconFlags,
                                  UINT seconds) {
    m_data.uFlags |= NIF_INFO;
    m_data.dwInfoFlags = iconFlags;
    m_data.uTimeout = seconds * 1000;
    copyText(m_data.szInfoTitle, title);
    copyText(m_data.szInfo, text);
    return TrayUpdate();
}

void CTrayDialog::OnTimer(UINT_PTR id) {
    if (id == kRetryTimer) {
        addIcon();
        if (m_visible)
            ProgramEvents::record("The tray icon was added after a retry.");
        return;
    }
    CDialog::OnTimer(id);
}

void CTrayDialog::OnTrayLButtonDblClk(CPoint) {
    if (m_minimizeToTray && m_visible && TrayHide())
        ShowWindow(SW_SHOW);
}

void CTrayDialog::OnTrayRButtonDown(CPoint point) {
    TrayPopupMenu(point);
}

void CTrayDialog::TrayPopupMenu(CPoint point) {
    const HMENU popup = m_menu.GetSubMenu(0);
    if (!popup)
        return;
    CMenu::SetDefaultItem(popup, m_defaultPosition, true);
    // The menu closes properly when the user clicks elsewhere only if its owner is in front.
    SetForegroundWindow();
    CMenu::TrackPopupMenu(popup, TPM_RIGHTBUTTON | TPM_BOTTOMALIGN, point.x, point.y, this);
    PostMessage(WM_NULL);
}

LRESULT CTrayDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == taskbarCreatedMessage() && message != 0) {
        // A new shell knows no icons: ours is added again, without its balloon.
        m_visible = false;
        if (m_wanted)
            ProgramEvents::record("The shell restarted; the tray icon is added again.");
        addIcon();
        return 0;
    }
    if (message != kTrayNotify)
        return CDialog::WindowProc(message, wParam, lParam);
    if (wParam != kTrayIconId)
        return 0;
    CPoint point;
    GetCursorPos(&point);
    switch (LOWORD(lParam)) {
    case WM_LBUTTONDOWN:
        OnTrayLButtonDown(point);
        break;
    case WM_LBUTTONDBLCLK:
        OnTrayLButtonDblClk(point);
        break;
    case WM_RBUTTONDOWN:
    case WM_CONTEXTMENU:
        OnTrayRButtonDown(point);
        break;
    case WM_RBUTTONDBLCLK:
        OnTrayRButtonDblClk(point);
        break;
    case WM_MOUSEMOVE:
        OnTrayMouseMove(point);
        break;
    default:
        break;
    }
    return 0;
}

void CTrayDialog::OnDestroy() {
    CDialog::OnDestroy();
    TrayHide();
}

void CTrayDialog::OnSysCommand(UINT id, LPARAM lParam) {
    if (m_minimizeToTray && (id & 0xFFF0) == SC_MINIMIZE) {
        if (!m_visible && TrayShow())
            ShowWindow(SW_HIDE);
        return;
    }
    CDialog::OnSysCommand(id, lParam);
}
