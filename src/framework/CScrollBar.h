// A scroll bar control.
#pragma once

#include "framework/CWnd.h"

class CScrollBar : public CWnd {
public:
    // Always a child window (WS_CHILD is added).
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
        return CWnd::Create("ScrollBar", nullptr, style, rect, parent, id);
    }
    BOOL SetScrollInfo(LPSCROLLINFO info, BOOL redraw = TRUE) {
        return CWnd::SetScrollInfo(SB_CTL, info, redraw);
    }
    BOOL GetScrollInfo(LPSCROLLINFO info, UINT mask = SIF_ALL) const {
        return CWnd::GetScrollInfo(SB_CTL, info, mask);
    }
    int SetScrollPos(int pos, BOOL redraw = TRUE) {
        return CWnd::SetScrollPos(SB_CTL, pos, redraw);
    }
    int GetScrollPos() const { return CWnd::GetScrollPos(SB_CTL); }
    void ShowScrollBar(BOOL show = TRUE) { CWnd::ShowScrollBar(SB_CTL, show); }
};
