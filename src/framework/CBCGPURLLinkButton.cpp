#include "framework/CBCGPURLLinkButton.h"

#include <shellapi.h>

#include "framework/CDC.h"

namespace {
// The blue of links in the system's own dialogs.
constexpr COLORREF kLinkColour = RGB(0, 102, 204);

CString TextOf(const CWnd& wnd) {
    CString text;
    wnd.GetWindowText(text);
    return text;
}
} // namespace

CString CBCGPURLLinkButton::GetURL() const {
    return TextOf(*this);
}

bool CBCGPURLLinkButton::OpenURL() const {
    const std::wstring url = GetURL().W();
    if (url.empty())
        return false;
    const auto result = reinterpret_cast<INT_PTR>(::ShellExecuteW(
        ::GetDesktopWindow(), nullptr, url.c_str(), nullptr, nullptr, SW_SHOWDEFAULT));
    return result > 32;
}

// The button draws itself: the system's push button would frame the text.
void CBCGPURLLinkButton::PreSubclassWindow() {
    ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW);
}

BOOL CBCGPURLLinkButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam,
                                       LRESULT* result) {
    if (message == WM_DRAWITEM) {
        Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        *result = TRUE;
        return TRUE;
    }
    // The click opens the address; the parent still hears of it.
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED)
        OpenURL();
    return FALSE;
}

BOOL CBCGPURLLinkButton::OnSetCursor(CWnd*, UINT, UINT) {
    const LPCWSTR hand = MAKEINTRESOURCEW(32649); // IDC_HAND, which is narrow here
    ::SetCursor(::LoadCursorW(nullptr, hand));
    return TRUE;
}

void CBCGPURLLinkButton::Draw(const DRAWITEMSTRUCT& draw) {
    CDC dc(draw.hDC);
    if (!m_underlined.GetSafeHandle()) {
        LOGFONTW font{};
        const auto shown = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
        ::GetObjectW(shown ? static_cast<HGDIOBJ>(shown) : ::GetStockObject(DEFAULT_GUI_FONT),
                     sizeof font, &font);
        font.lfUnderline = TRUE;
        m_underlined.CreateFontIndirect(&font);
    }
    RECT rect = draw.rcItem;
    dc.FillSolidRect(&rect, ::GetSysColor(COLOR_BTNFACE));
    const HFONT before = dc.SelectObject(&m_underlined);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(kLinkColour);
    dc.DrawText(TextOf(*this), &rect, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    dc.SelectObject(before);
    if (draw.itemState & ODS_FOCUS)
        ::DrawFocusRect(draw.hDC, &rect);
}
