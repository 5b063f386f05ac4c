#include "framework/CToolTipCtrl.h"

#include <commctrl.h>

#include "framework/AfxWin.h"

CToolTipCtrl::~CToolTipCtrl() {
    DestroyWindow();
}

BOOL CToolTipCtrl::Create(CWnd* parent) {
    DestroyWindow();
    m_parent = parent->m_hWnd;
    m_hWnd = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_parent, nullptr,
                               AfxGetInstanceHandle(), nullptr);
    // Texts with line breaks need a width to wrap at.
    if (m_hWnd)
        ::SendMessageW(m_hWnd, TTM_SETMAXTIPWIDTH, 0, 400);
    return m_hWnd != nullptr;
}

BOOL CToolTipCtrl::AddTool(int controlId, const char* text) {
    const HWND control = ::GetDlgItem(m_parent, controlId);
    if (!m_hWnd || !control)
        return FALSE;
    std::wstring wide = CString(text).W();
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = m_parent;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = wide.data();
    return static_cast<BOOL>(
        ::SendMessageW(m_hWnd, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)));
}

void CToolTipCtrl::RelayEvent(MSG* msg) {
    if (m_hWnd && msg->message != 0)
        ::SendMessageW(m_hWnd, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
}

void CToolTipCtrl::DestroyWindow() {
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
}
