// The folders a walk of the file system leaves out, with everything below them. A pattern
// without a backslash is a folder name, with the wildcards * and ? ("node_modules", ".git",
// "$Recycle.Bin"); a pattern with one is a folder by its full path ("C:\Windows"), which may
// begin with an environment variable ("%TEMP%"). Case is ignored.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "framework/CString.h"

namespace corvantile::core {

class Exclusions {
public:
    Exclusions() = default;
    explicit Exclusions(const std::vector<CString>& patterns);

    // The patterns a new user starts with: the Windows folder, the recycle bins, the volume
    // information, the temporary folders, node_modules and .git.
    static std::vector<CString> defaults();

    // True when the folder at path (a full path without a trailing backslash) is left out.
    bool excludes(std::wstring_view path) const;
    // True when path, or a folder between root and it, is left out (root itself is not tested:
    // a folder the user chose is always read).
    bool excludesBelow(std::wstring_view root, std::wstring_view path) const;

    bool empty() const { return m_names.empty() && m_folders.empty(); }

    // Upper-case copy of text, for comparisons that ignore case.
    static std::wstring fold(std::wstring_view text);

private:
    std::vector<std::wstring> m_names;   // folded name patterns
    std::vector<std::wstring> m_folders; // folded full paths, no trailing backslash
};

} // namespace corvantile::core
