#include "framework/CEdit.h"

#include <algorithm>

namespace {

bool IsHighSurrogate(wchar_t ch) {
    return ch >= 0xD800 && ch <= 0xDBFF;
}
bool IsLowSurrogate(wchar_t ch) {
    return ch >= 0xDC00 && ch <= 0xDFFF;
}

// UTF-8 length of the character at text[i], and its length in UTF-16 units.
void MeasureAt(const std::wstring& text, size_t i, int& utf8, size_t& utf16) {
    const wchar_t ch = text[i];
    utf16 = 1;
    if (ch < 0x80) {
        utf8 = 1;
    } else if (ch < 0x800) {
        utf8 = 2;
    } else if (IsHighSurrogate(ch) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
        utf8 = 4;
        utf16 = 2;
    } else {
        utf8 = 3; // lone surrogates become U+FFFD, three bytes too
    }
}

// The UTF-16 index of a UTF-8 offset; an offset inside a character stands for its end.
int WideIndexOf(const std::wstring& text, int offset) {
    if (offset < 0)
        return offset;
    size_t i = 0;
    int bytes = 0;
    while (i < text.size() && bytes < offset) {
        int utf8 = 0;
        size_t utf16 = 0;
        MeasureAt(text, i, utf8, utf16);
        bytes += utf8;
        i += utf16;
    }
    return static_cast<int>(i);
}

// The UTF-8 offset of a UTF-16 index.
int Utf8OffsetOf(const std::wstring& text, int index) {
    if (index < 0)
        return index;
    const size_t limit = std::min(static_cast<size_t>(index), text.size());
    size_t i = 0;
    int bytes = 0;
    while (i < limit) {
        int utf8 = 0;
        size_t utf16 = 0;
        MeasureAt(text, i, utf8, utf16);
        bytes += utf8;
        i += utf16;
    }
    return bytes;
}

} // namespace

std::wstring CEdit::WideText() const {
    const int length = ::GetWindowTextLengthW(m_hWnd);
    std::wstring text(static_cast<size_t>(std::max(length, 0)) + 1, L'\0');
    const int copied = length > 0 ? ::GetWindowTextW(m_hWnd, text.data(), length + 1) : 0;
    text.resize(static_cast<size_t>(std::max(copied, 0)));
    return text;
}

void CEdit::GetSel(int& start, int& end) const {
    DWORD wideStart = 0;
    DWORD wideEnd = 0;
    SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&wideStart),
                reinterpret_cast<LPARAM>(&wideEnd));
    const std::wstring text = WideText();
    start = Utf8OffsetOf(text, static_cast<int>(wideStart));
    end = Utf8OffsetOf(text, static_cast<int>(wideEnd));
}

DWORD CEdit::GetSel() const {
    int start = 0;
    int end = 0;
    GetSel(start, end);
    return MAKELONG(start, end);
}

void CEdit::SetSel(int start, int end, BOOL noScroll) {
    const std::wstring text = WideText();
    SendMessage(EM_SETSEL, static_cast<WPARAM>(WideIndexOf(text, start)), WideIndexOf(text, end));
    if (!noScroll)
        SendMessage(EM_SCROLLCARET);
}

void CEdit::SetSel(DWORD selection, BOOL noScroll) {
    SetSel(static_cast<short>(LOWORD(selection)), static_cast<short>(HIWORD(selection)), noScroll);
}
