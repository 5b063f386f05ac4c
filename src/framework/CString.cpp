#include "framework/CString.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

#include <windows.h>

namespace {

const char* const kWhiteSpace = " \t\r\n\v\f";

int Clamp(int value, int low, int high) {
    return std::max(low, std::min(value, high));
}

std::string VFormat(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (needed <= 0)
        return {};
    std::string text(static_cast<size_t>(needed) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, args);
    text.resize(static_cast<size_t>(needed));
    return text;
}

char AsciiLower(char ch) {
    return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
}
char AsciiUpper(char ch) {
    return (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch;
}

} // namespace

std::wstring Utf8ToWide(std::string_view text) {
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(std::max(needed, 0)), L'\0');
    if (needed > 0)
        MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), needed);
    return wide;
}

std::string WideToUtf8(std::wstring_view text) {
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int needed =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(std::max(needed, 0)), '\0');
    if (needed > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), size, utf8.data(), needed, nullptr, nullptr);
    return utf8;
}

CString::CString(const wchar_t* text) : m_text(text ? WideToUtf8(text) : "") {}

CString CString::Left(int count) const {
    return CString(m_text.substr(0, static_cast<size_t>(Clamp(count, 0, GetLength()))));
}

CString CString::Mid(int first) const {
    return Mid(first, GetLength());
}

CString CString::Mid(int first, int count) const {
    first = Clamp(first, 0, GetLength());
    count = Clamp(count, 0, GetLength() - first);
    return CString(m_text.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

CString CString::Right(int count) const {
    count = Clamp(count, 0, GetLength());
    return CString(m_text.substr(m_text.size() - static_cast<size_t>(count)));
}

int CString::Find(char ch, int start) const {
    if (start < 0 || start > GetLength())
        return -1;
    const size_t at = m_text.find(ch, static_cast<size_t>(start));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::Find(const char* sub, int start) const {
    if (!sub || start < 0 || start > GetLength())
        return -1;
    const size_t at = m_text.find(sub, static_cast<size_t>(start));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(char ch) const {
    const size_t at = m_text.rfind(ch);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::FindOneOf(const char* chars) const {
    if (!chars)
        return -1;
    const size_t at = m_text.find_first_of(chars);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

void CString::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    m_text = VFormat(format, args);
    va_end(args);
}

void CString::AppendFormat(const char* format, ...) {
    va_list args;
    va_start(args, format);
    m_text += VFormat(format, args);
    va_end(args);
}

CString& CString::Trim() {
    return TrimRight().TrimLeft();
}
CString& CString::Trim(const char* chars) {
    return TrimRight(chars).TrimLeft(chars);
}
CString& CString::TrimLeft() {
    return TrimLeft(kWhiteSpace);
}
CString& CString::TrimRight() {
    return TrimRight(kWhiteSpace);
}

CString& CString::TrimLeft(const char* chars) {
    const size_t first = m_text.find_first_not_of(chars ? chars : "");
    m_text.erase(0, first == std::string::npos ? m_text.size() : first);
    return *this;
}

CString& CString::TrimRight(const char* chars) {
    const size_t last = m_text.find_last_not_of(chars ? chars : "");
    m_text.erase(last == std::string::npos ? 0 : last + 1);
    return *this;
}

CString& CString::MakeLower() {
    std::transform(m_text.begin(), m_text.end(), m_text.begin(), AsciiLower);
    return *this;
}

CString& CString::MakeUpper() {
    std::transform(m_text.begin(), m_text.end(), m_text.begin(), AsciiUpper);
    return *this;
}

int CString::Replace(const char* old, const char* replacement) {
    if (!old || !*old)
        return 0;
    const std::string with = replacement ? replacement : "";
    const size_t oldLength = std::strlen(old);
    int count = 0;
    for (size_t at = m_text.find(old); at != std::string::npos;
         at = m_text.find(old, at + with.size())) {
        m_text.replace(at, oldLength, with);
        ++count;
    }
    return count;
}

int CString::Replace(char old, char replacement) {
    int count = 0;
    for (char& ch : m_text) {
        if (ch == old) {
            ch = replacement;
            ++count;
        }
    }
    return count;
}

int CString::Remove(char ch) {
    const size_t before = m_text.size();
    std::erase(m_text, ch);
    return static_cast<int>(before - m_text.size());
}

int CString::Insert(int index, const char* text) {
    index = Clamp(index, 0, GetLength());
    m_text.insert(static_cast<size_t>(index), text ? text : "");
    return GetLength();
}

int CString::Delete(int index, int count) {
    if (index >= 0 && index < GetLength() && count > 0)
        m_text.erase(static_cast<size_t>(index), static_cast<size_t>(count));
    return GetLength();
}

int CString::Compare(const char* other) const {
    const int result = m_text.compare(other ? other : "");
    return (result > 0) - (result < 0);
}

int CString::CompareNoCase(const char* other) const {
    const char* a = m_text.c_str();
    const char* b = other ? other : "";
    for (;; ++a, ++b) {
        const unsigned char x = static_cast<unsigned char>(AsciiLower(*a));
        const unsigned char y = static_cast<unsigned char>(AsciiLower(*b));
        if (x != y)
            return x < y ? -1 : 1;
        if (!x)
            return 0;
    }
}

char* CString::GetBuffer(int minLength) {
    if (minLength > GetLength())
        m_text.resize(static_cast<size_t>(minLength));
    return m_text.data();
}

void CString::ReleaseBuffer(int newLength) {
    if (newLength < 0)
        m_text.resize(std::strlen(m_text.c_str()));
    else
        m_text.resize(static_cast<size_t>(std::min(newLength, GetLength())));
}

bool CString::LoadString(unsigned id) {
    const wchar_t* resource = nullptr;
    const int length =
        ::LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&resource), 0);
    if (length <= 0 || !resource) {
        m_text.clear();
        return false;
    }
    m_text = WideToUtf8(std::wstring_view(resource, static_cast<size_t>(length)));
    return true;
}

std::wstring CString::W() const {
    return Utf8ToWide(m_text);
}

CString CString::FromW(const wchar_t* text, int length) {
    if (!text)
        return CString();
    return CString(
        WideToUtf8(length < 0 ? std::wstring_view(text) : std::wstring_view(text, length)));
}

CString& CString::operator=(const char* text) {
    m_text = text ? text : "";
    return *this;
}

CString& CString::operator+=(const CString& other) {
    m_text += other.m_text;
    return *this;
}

CString& CString::operator+=(const char* text) {
    m_text += text ? text : "";
    return *this;
}

CString& CString::operator+=(char ch) {
    m_text += ch;
    return *this;
}
