// A UTF-8 string with the operations the program uses, in the classic class-library shape.
// Win32 text goes through W() and FromW(), which convert to and from UTF-16.
#pragma once

#include <compare>
#include <string>
#include <string_view>

#include <windows.h>

class CString {
public:
    CString() = default;
    CString(const char* text) : m_text(text ? text : "") {}
    CString(const char* text, int length) : m_text(text ? std::string(text, length) : "") {}
    CString(char ch, int repeat = 1) : m_text(repeat > 0 ? repeat : 0, ch) {}
    CString(std::string text) : m_text(std::move(text)) {}
    CString(std::string_view text) : m_text(text) {}
    CString(const wchar_t* text);

    operator const char*() const { return m_text.c_str(); }
    const char* GetString() const { return m_text.c_str(); }
    const std::string& str() const { return m_text; }

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    char GetAt(int index) const { return m_text.at(index); }
    void SetAt(int index, char ch) { m_text.at(index) = ch; }

    CString Left(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Right(int count) const;

    // Byte index of the first match at or after start, or -1.
    int Find(char ch, int start = 0) const;
    int Find(const char* sub, int start = 0) const;
    int ReverseFind(char ch) const;
    int FindOneOf(const char* chars) const;

    void Format(const char* format, ...);
    void AppendFormat(const char* format, ...);

    CString& Trim();
    CString& Trim(const char* chars);
    CString& TrimLeft();
    CString& TrimLeft(const char* chars);
    CString& TrimRight();
    CString& TrimRight(const char* chars);

    // Case changes touch ASCII letters only; other UTF-8 text stays as it is.
    CString& MakeLower();
    CString& MakeUpper();

    int Replace(const char* old, const char* replacement);
    int Replace(char old, char replacement);
    int Remove(char ch);
    int Insert(int index, const char* text);
    int Delete(int index, int count = 1);

    int Compare(const char* other) const;
    // Compares ignoring the case of ASCII letters.
    int CompareNoCase(const char* other) const;

    // A writable buffer of at least minLength bytes; ReleaseBuffer trims to the first NUL
    // (or to newLength when it is not -1).
    char* GetBuffer(int minLength = 0);
    void ReleaseBuffer(int newLength = -1);

    // Loads a string resource of the program; false (and empty text) when there is none.
    bool LoadString(unsigned id);

    // UTF-16 for Win32; FromW converts back.
    std::wstring W() const;
    static CString FromW(const wchar_t* text, int length = -1);

    CString& operator=(const char* text);
    CString& operator+=(const CString& other);
    CString& operator+=(const char* text);
    CString& operator+=(char ch);

    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator==(const CString& a, const char* b) { return a.m_text == (b ? b : ""); }
    friend std::strong_ordering operator<=>(const CString& a, const CString& b) {
        return a.m_text <=> b.m_text;
    }
    friend CString operator+(const CString& a, const CString& b) {
        return CString(a.m_text + b.m_text);
    }
    friend CString operator+(const CString& a, const char* b) {
        return CString(a.m_text + (b ? b : ""));
    }
    friend CString operator+(const char* a, const CString& b) {
        return CString((a ? a : "") + b.m_text);
    }
    friend CString operator+(const CString& a, char b) { return CString(a.m_text + b); }

private:
    std::string m_text;
};

// UTF-8 <-> UTF-16 conversions for code that talks to Win32 without a CString at hand.
std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);
