// Walking folder trees for the index: breadth first, down to a depth, leaving out the excluded
// folders without opening them and, unless asked, hidden and system entries. The folders are
// read through a DirectoryLister, the seam where tests see which folders were opened, a few
// folders ahead of the walk on worker threads (FolderReadAhead).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "core/files/Exclusions.h"

namespace corvantile::core {

class DirectoryLister {
public:
    virtual ~DirectoryLister() = default;
    // Calls entry for each entry of folder ("." and ".." left out) until it returns false.
    // False when the folder could not be opened. A walk calls it from several threads at once,
    // for different folders.
    virtual bool list(const std::wstring& folder,
                      const std::function<bool(const WIN32_FIND_DATAW&)>& entry) const;
};

struct WalkRules {
    int depth = 4;              // levels of subfolders read below the root (0: its own entries)
    bool includeHidden = false; // hidden and system entries too
    Exclusions exclusions;
};

struct WalkEntry {
    const std::wstring& path; // full path
    std::wstring_view name;
    bool folder;
    int level; // 0: an entry of the root itself
};

class FileWalker {
public:
    // How many of the folders queued next are listed, at most, while one is handed over.
    static constexpr std::size_t kReadAhead = 4;

    explicit FileWalker(WalkRules rules, const DirectoryLister* lister = nullptr);

    // Visits every entry below root (not root itself) until visit returns false or stop()
    // turns true; false when the walk was stopped so. Visit and stop are called on this thread
    // only, one at a time, in the order of a plain breadth-first walk. firstLevel is the level of
    // root's own entries (for a folder met below a walked root: its level there plus one).
    bool walk(const std::wstring& root, const std::function<bool(const WalkEntry&)>& visit,
              const std::function<bool()>& stop, int firstLevel = 0) const;

    // Whether an entry with these attributes, at path, is walked into or reported.
    bool admits(DWORD attributes) const;
    const WalkRules& rules() const { return m_rules; }

private:
    WalkRules m_rules;
    const DirectoryLister* m_lister;
};

} // namespace corvantile::core
