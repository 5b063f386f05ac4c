// Device contexts: CDC wraps an HDC for drawing; CPaintDC and CClientDC acquire one for a
// scope and give it back. Text goes through the UTF-16 API, so UTF-8 text of any script
// is drawn and measured correctly.
#pragma once

#include <windows.h>

#include "framework/CGdiObject.h"
#include "framework/CRect.h"
#include "framework/CString.h"

class CWnd;

class CDC {
public:
    CDC() = default;
    // Draws on a device context that someone else owns.
    explicit CDC(HDC dc) : m_hDC(dc) {}
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC = nullptr;

    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

    // Borrows a device context (letting go of the one held before); Detach hands it back.
    void Attach(HDC dc);
    HDC Detach();
    // A memory device context like `like` (the screen for null), owned by this object.
    bool CreateCompatibleDC(CDC* like);
    // Deletes an owned memory device context.
    bool DeleteDC();

    // Selection returns the object that was selected before, for restoring it later.
    HGDIOBJ SelectObject(HGDIOBJ object);
    HFONT SelectObject(const CFont* font);
    HPEN SelectObject(const CPen* pen);
    HBRUSH SelectObject(const CBrush* brush);
    HBITMAP SelectObject(const CBitmap* bitmap);
    HGDIOBJ SelectStockObject(int index);

    COLORREF SetTextColor(COLORREF colour);
    COLORREF GetTextColor() const;
    COLORREF SetBkColor(COLORREF colour);
    int SetBkMode(int mode);
    int GetBkMode() const;

    int SaveDC();
    bool RestoreDC(int savedState);
    int IntersectClipRect(const RECT* rect);

    void FillSolidRect(const RECT* rect, COLORREF colour);
    void FillSolidRect(int x, int y, int width, int height, COLORREF colour);
    void FillRect(const RECT* rect, const CBrush* brush);

    // Draws UTF-8 text with DrawTextW; returns the height of the text (0 on failure). With
    // DT_CALCRECT, rect receives the size the text needs and nothing is drawn.
    int DrawText(const CString& text, RECT* rect, UINT format);
    int DrawText(const wchar_t* text, int length, RECT* rect, UINT format);
    bool TextOut(int x, int y, const CString& text);

    // Size of one line of text in the selected font.
    CSize GetTextExtent(const CString& text) const;
    CSize GetTextExtent(const wchar_t* text, int length) const;
    bool GetTextMetrics(TEXTMETRICW* metrics) const;

    bool DrawIcon(int x, int y, HICON icon);
    bool DrawIconEx(int x, int y, HICON icon, int width, int height, UINT flags = DI_NORMAL);

    CPoint MoveTo(int x, int y);
    bool LineTo(int x, int y);
    bool BitBlt(int x, int y, int width, int height, CDC* source, int sourceX, int sourceY,
                DWORD rop);

private:
    bool m_ownsMemoryDC = false;
};

// Restores the device context's state (selected objects, colours, modes, clipping) at the end
// of a scope.
class CSavedDC {
public:
    explicit CSavedDC(CDC& dc) : m_dc(dc), m_state(dc.SaveDC()) {}
    ~CSavedDC() {
        if (m_state)
            m_dc.RestoreDC(m_state);
    }
    CSavedDC(const CSavedDC&) = delete;
    CSavedDC& operator=(const CSavedDC&) = delete;

private:
    CDC& m_dc;
    int m_state;
};

// The device context of a WM_PAINT: BeginPaint on construction, EndPaint on destruction.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(HWND window);
    explicit CPaintDC(CWnd* window);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps{};

private:
    HWND m_hWnd;
};

// The device context of a window's client area, released on destruction.
class CClientDC : public CDC {
public:
    explicit CClientDC(HWND window);
    explicit CClientDC(CWnd* window);
    ~CClientDC() override;

private:
    HWND m_hWnd;
};
