#include "core/files/FileWalker.h"

#include "core/files/FolderReadAhead.h"

#include "framework/Win32Handles.h"

namespace corvantile::core {
namespace {

const DirectoryLister& systemLister() {
    static const DirectoryLister lister;
    return lister;
}

} // namespace

bool DirectoryLister::list(const std::wstring& folder,
                           const std::function<bool(const WIN32_FIND_DATAW&)>& entry) const {
    std::wstring pattern = folder;
    if (!pattern.empty() && pattern.back() != L'\\')
        pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW data{};
    const FindHandle find(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data,
                                           FindExSearchNameMatch, nullptr,
                                           FIND_FIRST_EX_LARGE_FETCH));
    if (!find.valid())
        return false;
    do {
        const wchar_t* name = data.cFileName;
        if (name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0)))
            continue;
        if (!entry(data))
            break;
    } while (FindNextFileW(find.get(), &data));
    return true;
}

FileWalker::FileWalker(WalkRules rules, const DirectoryLister* lister)
    : m_rules(std::move(rules)), m_lister(lister ? lister : &systemLister()) {}

bool FileWalker::admits(DWORD attributes) const {
    return m_rules.includeHidden || !(attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
}

bool FileWalker::walk(const std::wstring& root, const std::function<bool(const WalkEntry&)>& visit,
                      const std::function<bool()>& stop, int firstLevel) const {
    // Breadth first, a folder's entries together; the folders queued next are being listed
    // meanwhile, so that the time spent opening and reading them overlaps the visits.
    FolderReadAhead folders(*m_lister, kReadAhead);
    folders.queue(root, firstLevel);
    std::wstring path;
    while (!folders.empty()) {
        const std::unique_ptr<ListedFolder> current = folders.next(stop);
        if (!current)
            return false;
        std::wstring base = current->path();
        if (!base.empty() && base.back() != L'\\')
            base += L'\\';
        for (std::size_t i = 0; i < current->size(); ++i) {
            if (stop && stop())
                return false;
            const DWORD attributes = current->attributes(i);
            if (!admits(attributes))
                continue;
            const bool folder = attributes & FILE_ATTRIBUTE_DIRECTORY;
            path.assign(base).append(current->name(i));
            if (folder && m_rules.exclusions.excludes(path))
                continue;
            if (!visit(
                    {path, std::wstring_view(path).substr(base.size()), folder, current->level()}))
                return false;
            // Links to other folders could lead in circles: they are not followed.
            if (folder && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
                current->level() < m_rules.depth)
                folders.queue(path, current->level() + 1);
        }
    }
    return true;
}

} // namespace corvantile::core
