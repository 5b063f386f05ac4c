// Reads the version resource of a program file: the fixed version block and the standard
// strings of the string table that best suits the user's language.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "framework/CString.h"

class CFileVersionInfo {
public:
    // The standard string keys, in the order they are read and stored.
    static constexpr int kStringCount = 12;
    static const char* const kStringKeys[kStringCount];

    CFileVersionInfo();
    explicit CFileVersionInfo(HMODULE module);
    virtual ~CFileVersionInfo() = default;

    // Reads the version resource of a module's file (null: the running program's own file).
    BOOL Create(HMODULE module = nullptr);
    // Reads the version resource of a file; FALSE, with everything empty, when it has none or
    // it cannot be read.
    BOOL Create(const char* path);
    virtual void Reset();

    // One 16-bit part of a version: 3 is the first number of "1.5.1.0", 0 the last; other
    // indexes give 0.
    WORD GetFileVersionPart(int index) const { return versionPart(2, index); }
    WORD GetProductVersionPart(int index) const { return versionPart(4, index); }
    DWORD GetFileFlagsMask() const { return m_fixedInfo[6]; }
    DWORD GetFileFlags() const { return m_fixedInfo[7]; }
    DWORD GetFileOs() const { return m_fixedInfo[8]; }
    DWORD GetFileType() const { return m_fixedInfo[9]; }
    DWORD GetFileSubtype() const { return m_fixedInfo[10]; }

    CString GetCompanyName() const { return m_strings[0]; }
    CString GetFileDescription() const { return m_strings[1]; }
    CString GetFileVersionText() const { return m_strings[2]; }
    CString GetInternalName() const { return m_strings[3]; }
    CString GetLegalCopyright() const { return m_strings[4]; }
    CString GetOriginalFileName() const { return m_strings[5]; }
    CString GetProductName() const { return m_strings[6]; }
    CString GetProductVersionText() const { return m_strings[7]; }
    CString GetComments() const { return m_strings[8]; }
    CString GetLegalTrademarks() const { return m_strings[9]; }
    CString GetPrivateBuild() const { return m_strings[10]; }
    CString GetSpecialBuild() const { return m_strings[11]; }

    // A translation of a version resource: language, then code page.
    struct Translation {
        WORD language = 0;
        WORD codePage = 0;
    };
    // The index of the translation to read for a user of this language: the user's own, one
    // of the same primary language, a neutral one, an English one, else the first (-1: none).
    static int ChooseTranslation(std::span<const Translation> table, LANGID userLanguage);

private:
    WORD versionPart(int mostSignificantWord, int index) const;

    std::array<DWORD, 13> m_fixedInfo{};
    std::array<CString, kStringCount> m_strings;
};
