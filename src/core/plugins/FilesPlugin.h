// Files and Folders: the files (and folders) under the folders the user picks, or on every
// fixed drive, down to a depth, of the extensions the user lists, leaving out the excluded
// folders. By default the user's Desktop and Documents. While the program runs, the folders
// are watched and the index follows what is created, renamed and deleted in them.
#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/files/FileWalker.h"
#include "core/files/FolderWatcher.h"
#include "core/plugins/BasicPlugin.h"

namespace corvantile::core {

struct FilesSettings {
    std::vector<CString> folders;
    bool allFixedDrives = false;     // every fixed drive besides the folders
    std::vector<CString> extensions; // without dots, lower case; empty: every file
    int depth = 4;                   // levels of subfolders below each folder
    bool includeFolders = true;      // folders are results too
    bool includeHidden = false;      // hidden and system files and folders too
    std::vector<CString> exclusions = Exclusions::defaults();
    // Most items one scan takes, so that a runaway tree cannot take all the memory.
    std::size_t maxItems = kDefaultMaxItems;

    static constexpr int kMaxDepth = 64;
    static constexpr std::size_t kDefaultMaxItems = 10'000'000;
    static constexpr std::size_t kLeastMaxItems = 1000;

    // Extensions from text such as "txt; .PDF,docx".
    static std::vector<CString> parseExtensions(const CString& text);
    static CString joinExtensions(const std::vector<CString>& extensions);
    // Exclusion patterns from text separated by semicolons or line ends, and back.
    static std::vector<CString> parseExclusions(const CString& text);
    static CString joinExclusions(const std::vector<CString>& exclusions);
    bool wantsFile(const CString& name) const;
    bool wants(const WalkEntry& entry, const CString& name) const;
    WalkRules walkRules() const;
    // The folders walked: the chosen ones and, when asked, the fixed drives ("C:\").
    std::vector<std::wstring> roots() const;
};

class FilesPlugin final : public BasicPlugin {
public:
    FilesPlugin();
    ~FilesPlugin() override;

    bool isConfigurable() override { return true; }
    // A dialog where the user edits the folders, drives, exclusions, extensions and depth.
    void configure(HWND parent) override;

    void scan(VItemSink& sink) override;
    void startWatching(VItemUpdates& updates) override;
    void stopWatching() override;
    void loadSettings(const VPreferencesNode* node) override;
    void saveSettings(VPreferencesNode* node) override;

    FilesSettings settings() const;
    // Takes new settings; the watch follows the new folders.
    void setSettings(FilesSettings settings);

    // Nonzero when the last scan stopped at the limit: the number of items it took.
    std::size_t limitReached() const { return m_limitReached.load(); }
    // What the user is told when a scan stops at the limit.
    static CString limitText(std::size_t limit);

    // For tests: the walk reads folders through lister (null: the file system).
    void setLister(const DirectoryLister* lister) { m_lister = lister; }

private:
    static FilesSettings defaults();
    // Walks root as the settings say, handing over every item wanted; false when stopped.
    bool walkRoot(const FilesSettings& settings, const std::wstring& root, int firstLevel,
                  const std::function<bool(VItem)>& take, const std::function<bool()>& stop) const;
    // Appends every item wanted below root (a whole walk, for the watcher's updates).
    void collectRoot(const FilesSettings& settings, const std::wstring& root, int firstLevel,
                     std::vector<VItem>& items) const;
    void onChanges(const std::wstring& root, const std::vector<FolderWatcher::Change>& changes);
    void onRescan(const std::wstring& root);
    void restartWatch();

    mutable std::mutex m_mutex;
    FilesSettings m_settings;
    std::atomic<std::size_t> m_limitReached{0};
    std::atomic<bool> m_limitTold{false};
    const DirectoryLister* m_lister = nullptr;

    std::mutex m_watchMutex; // guards the two below
    VItemUpdates* m_updates = nullptr;
    std::unique_ptr<FolderWatcher> m_watcher;
};

// Runs the settings dialog; true (and settings changed) on OK. limitReached (0: none) is the
// number of items the last scan stopped at, told in the dialog.
bool runFilesSettingsDialog(HWND parent, FilesSettings& settings, std::size_t limitReached = 0);

// A count with its thousands grouped: "412,000".
CString groupedCount(std::size_t count);

} // namespace corvantile::core
