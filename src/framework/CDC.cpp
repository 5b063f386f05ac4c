#include "framework/CDC.h"

#include <string>

#include "framework/CWnd.h"

CDC::~CDC() {
    DeleteDC();
}

void CDC::Attach(HDC dc) {
    DeleteDC();
    m_hDC = dc;
}

HDC CDC::Detach() {
    HDC dc = m_hDC;
    m_hDC = nullptr;
    m_ownsMemoryDC = false;
    return dc;
}

bool CDC::CreateCompatibleDC(CDC* like) {
    HDC dc = ::CreateCompatibleDC(like ? like->m_hDC : nullptr);
    if (!dc)
        return false;
    DeleteDC();
    m_hDC = dc;
    m_ownsMemoryDC = true;
    return true;
}

bool CDC::DeleteDC() {
    if (!m_ownsMemoryDC || !m_hDC)
        return false;
    const bool deleted = ::DeleteDC(m_hDC) != 0;
    m_hDC = nullptr;
    m_ownsMemoryDC = false;
    return deleted;
}

HGDIOBJ CDC::SelectObject(HGDIOBJ object) {
    return object ? ::SelectObject(m_hDC, object) : nullptr;
}

HFONT CDC::SelectObject(const CFont* font) {
    return static_cast<HFONT>(SelectObject(font ? font->m_hObject : nullptr));
}

HPEN CDC::SelectObject(const CPen* pen) {
    return static_cast<HPEN>(SelectObject(pen ? pen->m_hObject : nullptr));
}

HBRUSH CDC::SelectObject(const CBrush* brush) {
    return static_cast<HBRUSH>(SelectObject(brush ? brush->m_hObject : nullptr));
}

HBITMAP CDC::SelectObject(const CBitmap* bitmap) {
    return static_cast<HBITMAP>(SelectObject(bitmap ? bitmap->m_hObject : nullptr));
}

HGDIOBJ CDC::SelectStockObject(int index) {
    return SelectObject(::GetStockObject(index));
}

COLORREF CDC::SetTextColor(COLORREF colour) {
    return ::SetTextColor(m_hDC, colour);
}

COLORREF CDC::GetTextColor() const {
    return ::GetTextColor(m_hDC);
}

COLORREF CDC::SetBkColor(COLORREF colour) {
    return ::SetBkColor(m_hDC, colour);
}

int CDC::SetBkMode(int mode) {
    return ::SetBkMode(m_hDC, mode);
}

int CDC::GetBkMode() const {
    return ::GetBkMode(m_hDC);
}

int CDC::SaveDC() {
    return ::SaveDC(m_hDC);
}

bool CDC::RestoreDC(int savedState) {
    return ::RestoreDC(m_hDC, savedState) != 0;
}

int CDC::IntersectClipRect(const RECT* rect) {
    return rect ? ::IntersectClipRect(m_hDC, rect->left, rect->top, rect->right, rect->bottom)
                : ERROR;
}

void CDC::FillSolidRect(const RECT* rect, COLORREF colour) {
    if (!rect)
        return;
    // ExtTextOut with an opaque rectangle fills without creating a brush.
    const COLORREF old = ::SetBkColor(m_hDC, colour);
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, rect, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}

void CDC::FillSolidRect(int x, int y, int width, int height, COLORREF colour) {
    const RECT rect{x, y, x + width, y + height};
    FillSolidRect(&rect, colour);
}

void CDC::FillRect(const RECT* rect, const CBrush* brush) {
    if (rect && brush && brush->m_hObject)
        ::FillRect(m_hDC, rect, *brush);
}

int CDC::DrawText(const CString& text, RECT* rect, UINT format) {
    const std::wstring wide = text.W();
    return DrawText(wide.c_str(), static_cast<int>(wide.size()), rect, format);
}

int CDC::DrawText(const wchar_t* text, int length, RECT* rect, UINT format) {
    if (!rect || !text)
        return 0;
    // DrawTextW may write into the text with DT_MODIFYSTRING; work on a copy.
    std::wstring copy(text, length < 0 ? wcslen(text) : static_cast<size_t>(length));
    return ::DrawTextW(m_hDC, copy.data(), static_cast<int>(copy.size()), rect,
                       format & ~static_cast<UINT>(DT_MODIFYSTRING));
}

bool CDC::TextOut(int x, int y, const CString& text) {
    const std::wstring wide = text.W();
    return ::TextOutW(m_hDC, x, y, wide.c_str(), static_cast<int>(wide.size())) != 0;
}

CSize CDC::GetTextExtent(const CString& text) const {
    const std::wstring wide = text.W();
    return GetTextExtent(wide.c_str(), static_cast<int>(wide.size()));
}

CSize CDC::GetTextExtent(const wchar_t* text, int length) const {
    SIZE size{0, 0};
    if (text && length > 0)
        ::GetTextExtentPoint32W(m_hDC, text, length, &size);
    return CSize(size);
}

bool CDC::GetTextMetrics(TEXTMETRICW* metrics) const {
    return metrics && ::GetTextMetricsW(m_hDC, metrics) != 0;
}

bool CDC::DrawIcon(int x, int y, HICON icon) {
    return icon && ::DrawIcon(m_hDC, x, y, icon) != 0;
}

bool CDC::DrawIconEx(int x, int y, HICON icon, int width, int height, UINT flags) {
    return icon && ::DrawIconEx(m_hDC, x, y, icon, width, height, 0, nullptr, flags) != 0;
}

CPoint CDC::MoveTo(int x, int y) {
    POINT previous{0, 0};
    ::MoveToEx(m_hDC, x, y, &previous);
    return CPoint(previous);
}

bool CDC::LineTo(int x, int y) {
    return ::LineTo(m_hDC, x, y) != 0;
}

bool CDC::BitBlt(int x, int y, int width, int height, CDC* source, int sourceX, int sourceY,
                 DWORD rop) {
    return ::BitBlt(m_hDC, x, y, width, height, source ? source->m_hDC : nullptr, sourceX, sourceY,
                    rop) != 0;
}

CPaintDC::CPaintDC(HWND window) : m_hWnd(window) {
    Attach(::BeginPaint(window, &m_ps));
}

CPaintDC::CPaintDC(CWnd* window) : CPaintDC(window ? window->GetSafeHwnd() : nullptr) {}

CPaintDC::~CPaintDC() {
    if (m_hDC)
        ::EndPaint(m_hWnd, &m_ps);
    Detach();
}

CClientDC::CClientDC(HWND window) : m_hWnd(window) {
    Attach(::GetDC(window));
}

CClientDC::CClientDC(CWnd* window) : CClientDC(window ? window->GetSafeHwnd() : nullptr) {}

CClientDC::~CClientDC() {
    if (m_hDC)
        ::ReleaseDC(m_hWnd, m_hDC);
    Detach();
}
