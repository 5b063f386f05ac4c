#include "dialogs/CFileVersionInfo.h"

#include <cstring>
#include <vector>

const char* const CFileVersionInfo::kStringKeys[kStringCount] = {
    "CompanyName",    "FileDescription",  "FileVersion",  "InternalName",
    "LegalCopyright", "OriginalFileName", "ProductName",  "ProductVersion",
    "Comments",       "LegalTrademarks",  "PrivateBuild", "SpecialBuild"};

CFileVersionInfo::CFileVersionInfo() {
    Reset();
}

CFileVersionInfo::CFileVersionInfo(HMODULE module) : CFileVersionInfo() {
    Create(module);
}

BOOL CFileVersionInfo::Create(HMODULE module) {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        Reset();
        return FALSE;
    }
    return Create(CString(path));
}

void CFileVersionInfo::Reset() {
    m_fixedInfo.fill(0);
    for (CString& text : m_strings)
        text.Empty();
}

int CFileVersionInfo::ChooseTranslation(std::span<const Translation> table, LANGID user) {
    if (table.empty())
        return -1;
    const auto find = [&](auto&& matches) {
        for (std::size_t i = 0; i < table.size(); ++i)
            if (matches(table[i].language))
                return int(i);
        return -1;
    };
    const auto primary = [](WORD language) { return language & 0xFF; };
    const auto tries = {
        find([&](WORD language) { return language == user; }),
        find([&](WORD language) { return primary(language) == primary(user); }),
        find([](WORD language) { return language == 0; }),
        find([&](WORD language) { return primary(language) == 0; }),
        find([](WORD language) { return language == 9; }),
        find([&](WORD language) { return primary(language) == 9; }),
    };
    for (const int found : tries)
        if (found >= 0)
            return found;
    return 0;
}

BOOL CFileVersionInfo::Create(const char* path) {
    Reset();
    const std::wstring file = CString(path).W();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    if (size == 0)
        return FALSE;
    std::vector<BYTE> block(size);
    if (!GetFileVersionInfoW(file.c_str(), 0, size, block.data()))
        return FALSE;

    void* value = nullptr;
    UINT length = 0;
    if (VerQueryValueW(block.data(), L"\\", &value, &length) && value &&
        length == sizeof(DWORD) * m_fixedInfo.size())
        std::memcpy(m_fixedInfo.data(), value, length);

    // Without a translation table there is no string table to read.
    std::vector<Translation> table;
    if (VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &length) && value)
        for (UINT at = 0; at + sizeof(Translation) <= length; at += sizeof(Translation)) {
            Translation entry;
            std::memcpy(&entry, static_cast<const BYTE*>(value) + at, sizeof entry);
            table.push_back(entry);
        }
    const int chosen = ChooseTranslation(table, GetUserDefaultLangID());
    if (chosen < 0)
        return TRUE;
    CString prefix;
    prefix.Format("\\StringFileInfo\\%04X%04X\\", table[chosen].language, table[chosen].codePage);
    for (int k = 0; k < kStringCount; ++k) {
        const std::wstring query = (prefix + kStringKeys[k]).W();
        if (VerQueryValueW(block.data(), query.c_str(), &value, &length) && value && length > 0)
            m_strings[k] = CString(static_cast<const wchar_t*>(value));
    }
    return TRUE;
}

WORD CFileVersionInfo::versionPart(int mostSignificantWord, int index) const {
    if (index < 0 || index > 3)
        return 0;
    const DWORD word = m_fixedInfo[mostSignificantWord + (index < 2 ? 1 : 0)];
    return index % 2 == 0 ? LOWORD(word) : HIWORD(word);
}
