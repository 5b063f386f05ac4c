#include "framework/CBCGPButton.h"

#include "framework/CDC.h"

void CBCGPButton::SetTextColor(COLORREF colour) {
    m_textColour = colour;
    if (m_hWnd)
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CBCGPButton::PreSubclassWindow() {
    ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW);
}

BOOL CBCGPButton::OnChildNotify(UINT message, WPARAM, LPARAM lParam, LRESULT* result) {
    if (message != WM_DRAWITEM)
        return FALSE;
    Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    *result = TRUE;
    return TRUE;
}

void CBCGPButton::Draw(const DRAWITEMSTRUCT& draw) {
    CDC dc(draw.hDC);
    RECT rect = draw.rcItem;
    const bool pushed = (draw.itemState & ODS_SELECTED) != 0;
    ::DrawFrameControl(draw.hDC, &rect, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
    CString text;
    GetWindowText(text);
    const auto font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    const HGDIOBJ before = font ? dc.SelectObject(static_cast<HGDIOBJ>(font)) : nullptr;
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor((draw.itemState & ODS_DISABLED) ? ::GetSysColor(COLOR_GRAYTEXT) : m_textColour);
    if (pushed)
        ::OffsetRect(&rect, 1, 1);
    dc.DrawText(text, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (before)
        dc.SelectObject(before);
    if (draw.itemState & ODS_FOCUS) {
        RECT focus = draw.rcItem;
        ::InflateRect(&focus, -3, -3);
        ::DrawFocusRect(draw.hDC, &focus);
    }
}
