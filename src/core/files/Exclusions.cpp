#include "core/files/Exclusions.h"

#include <windows.h>

namespace corvantile::core {
namespace {

// Whether name matches pattern, where * stands for any run of characters and ? for one.
bool wildcardMatch(std::wstring_view pattern, std::wstring_view name) {
    std::size_t p = 0, n = 0, starAt = std::wstring_view::npos, resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == L'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == L'*') {
            starAt = p++;
            resumeAt = n;
        } else if (starAt != std::wstring_view::npos) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*')
        ++p;
    return p == pattern.size();
}

std::wstring expand(const std::wstring& text) {
    if (text.find(L'%') == std::wstring::npos)
        return text;
    const DWORD needed = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (needed == 0)
        return text;
    std::wstring expanded(needed, L'\0');
    const DWORD written = ExpandEnvironmentStringsW(text.c_str(), expanded.data(), needed);
    if (written == 0 || written > needed)
        return text;
    expanded.resize(written - 1);
    return expanded;
}

std::wstring_view lastPart(std::wstring_view path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring_view::npos ? path : path.substr(slash + 1);
}

} // namespace

Exclusions::Exclusions(const std::vector<CString>& patterns) {
    for (const CString& pattern : patterns) {
        std::wstring text = expand(pattern.W());
        while (!text.empty() && (text.back() == L'\\' || text.back() == L'/'))
            text.pop_back();
        if (text.empty() || text.find(L'%') != std::wstring::npos)
            continue; // an unset variable names no folder
        if (text.find_first_of(L"\\/:") == std::wstring::npos)
            m_names.push_back(fold(text));
        else
            m_folders.push_back(fold(text));
    }
}

std::vector<CString> Exclusions::defaults() {
    return {"%SystemRoot%", "$Recycle.Bin", "System Volume Information", "%TEMP%", "%TMP%",
            "node_modules", ".git"};
}

std::wstring Exclusions::fold(std::wstring_view text) {
    std::wstring folded(text);
    for (wchar_t& ch : folded)
        if (ch == L'/')
            ch = L'\\';
    if (!folded.empty())
        CharUpperBuffW(folded.data(), static_cast<DWORD>(folded.size()));
    return folded;
}

bool Exclusions::excludes(std::wstring_view path) const {
    if (empty())
        return false;
    const std::wstring folded = fold(path);
    const std::wstring_view name = lastPart(folded);
    for (const std::wstring& pattern : m_names)
        if (wildcardMatch(pattern, name))
            return true;
    for (const std::wstring& folder : m_folders)
        if (folded == folder)
            return true;
    return false;
}

bool Exclusions::excludesBelow(std::wstring_view root, std::wstring_view path) const {
    if (empty() || path.size() <= root.size())
        return false;
    // Tests each folder from the first one below root down to path itself.
    std::size_t end = root.size() + (root.back() == L'\\' ? 0 : 1);
    while (end <= path.size()) {
        const std::size_t next = path.find(L'\\', end);
        const std::size_t stop = next == std::wstring_view::npos ? path.size() : next;
        if (excludes(path.substr(0, stop)))
            return true;
        end = stop + 1;
    }
    return false;
}

} // namespace corvantile::core
