#include "core/files/FileWalker.h"

#include <deque>

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
    struct Pending {
        std::wstring path;
        int level;
    };
    std::deque<Pending> pending{{root, firstLevel}};
    bool stopped = false;
    std::wstring path;
    while (!pending.empty() && !stopped) {
        const Pending current = std::move(pending.front());
        pending.pop_front();
        std::wstring base = current.path;
        if (!base.empty() && base.back() != L'\\')
            base += L'\\';
        m_lister->list(current.path, [&](const WIN32_FIND_DATAW& data) {
            if (stop && stop()) {
                stopped = true;
                return false;
            }
            const DWORD attributes = data.dwFileAttributes;
            if (!admits(attributes))
                return true;
            const bool folder = attributes & FILE_ATTRIBUTE_DIRECTORY;
            path.assign(base).append(data.cFileName);
            if (folder && m_rules.exclusions.excludes(path))
                return true;
            if (!visit(
                    {path, std::wstring_view(path).substr(base.size()), folder, current.level})) {
                stopped = true;
                return false;
            }
            // Links to other folders could lead in circles: they are not followed.
            if (folder && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
                current.level < m_rules.depth)
                pending.push_back({path, current.level + 1});
            return true;
        });
    }
    return !stopped;
}

} // namespace corvantile::core
