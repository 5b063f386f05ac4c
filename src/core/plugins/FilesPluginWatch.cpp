// The Files and Folders plug-in between scans: its folders are watched, and what is created,
// renamed or deleted in them reaches the index as the settings would have had a scan take it.
#include <algorithm>
#include <set>

#include "core/plugins/FilesPlugin.h"

namespace corvantile::core {
namespace {

// Levels below root of an entry at path (0: one of root's own entries).
int levelBelow(const std::wstring& root, const std::wstring& path) {
    const std::size_t start = root.size() + (root.back() == L'\\' ? 0 : 1);
    if (path.size() <= start)
        return -1;
    return static_cast<int>(
        std::count(path.begin() + static_cast<std::ptrdiff_t>(start), path.end(), L'\\'));
}

} // namespace

void FilesPlugin::startWatching(VItemUpdates& updates) {
    {
        std::lock_guard lock(m_watchMutex);
        m_updates = &updates;
    }
    restartWatch();
}

void FilesPlugin::stopWatching() {
    std::unique_ptr<FolderWatcher> watcher;
    {
        std::lock_guard lock(m_watchMutex);
        m_updates = nullptr;
        watcher = std::move(m_watcher);
    }
    // Outside the lock: the watcher's last callback may be waiting for it.
    watcher.reset();
}

void FilesPlugin::restartWatch() {
    std::unique_ptr<FolderWatcher> old;
    {
        std::lock_guard lock(m_watchMutex);
        old = std::move(m_watcher);
    }
    old.reset();
    std::lock_guard lock(m_watchMutex);
    if (!m_updates)
        return;
    m_watcher = std::make_unique<FolderWatcher>(
        settings().roots(),
        FolderWatcher::Callbacks{
            [this](const std::wstring& root, const std::vector<FolderWatcher::Change>& changes) {
                onChanges(root, changes);
            },
            [this](const std::wstring& root) { onRescan(root); }});
}

void FilesPlugin::collectRoot(const FilesSettings& settings, const std::wstring& root,
                              int firstLevel, std::vector<VItem>& items) const {
    walkRoot(
        settings, root, firstLevel,
        [&](VItem item) {
            items.push_back(std::move(item));
            return true;
        },
        nullptr);
}

void FilesPlugin::onChanges(const std::wstring& root,
                            const std::vector<FolderWatcher::Change>& changes) {
    const FilesSettings current = settings();
    const FileWalker walker(current.walkRules(), m_lister);
    std::vector<CString> removed;
    std::vector<VItem> added;
    std::set<std::wstring> seen;
    for (const FolderWatcher::Change& change : changes) {
        // Whatever was at the path before goes; what is there now comes back below.
        removed.push_back(CString::FromW(change.path.c_str()));
        if (change.added)
            seen.insert(change.path);
    }
    // Sorted, a folder comes before what it holds: what a walked folder holds is taken once.
    std::vector<std::wstring> walked;
    for (const std::wstring& path : seen) {
        if (std::any_of(walked.begin(), walked.end(), [&](const std::wstring& folder) {
                return path.size() > folder.size() && path[folder.size()] == L'\\' &&
                       path.compare(0, folder.size(), folder) == 0;
            }))
            continue;
        const int level = levelBelow(root, path);
        if (level < 0 || level > current.depth)
            continue;
        const std::size_t slash = path.rfind(L'\\');
        const std::wstring parent = path.substr(0, slash);
        if (walker.rules().exclusions.excludesBelow(root, parent))
            continue;
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !walker.admits(attributes))
            continue; // gone again, or hidden
        const bool folder = attributes & FILE_ATTRIBUTE_DIRECTORY;
        if (folder && walker.rules().exclusions.excludes(path))
            continue;
        const WalkEntry entry{path, std::wstring_view(path).substr(slash + 1), folder, level};
        CString name = CString::FromW(entry.name.data(), static_cast<int>(entry.name.size()));
        if (current.wants(entry, name))
            added.push_back({folder ? VItemKind::Folder : VItemKind::File, std::move(name),
                             CString::FromW(path.c_str()), CString()});
        // A folder moved or copied in brings what it holds.
        if (folder && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT) && level < current.depth) {
            walked.push_back(path);
            collectRoot(current, path, level + 1, added);
        }
    }
    std::lock_guard lock(m_watchMutex);
    if (m_updates)
        m_updates->update(added, removed);
}

void FilesPlugin::onRescan(const std::wstring& root) {
    const FilesSettings current = settings();
    std::vector<VItem> added;
    collectRoot(current, root, 0, added);
    std::lock_guard lock(m_watchMutex);
    if (m_updates)
        m_updates->update(added, {CString::FromW(root.c_str())});
}

} // namespace corvantile::core
