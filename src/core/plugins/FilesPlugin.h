// Files and Folders: the files (and folders) under the folders the user picks, down to a
// depth, of the extensions the user lists. By default the user's Desktop and Documents.
#pragma once

#include <mutex>
#include <vector>

#include "core/plugins/BasicPlugin.h"

namespace corvantile::core {

struct FilesSettings {
    std::vector<CString> folders;
    std::vector<CString> extensions; // without dots, lower case; empty: every file
    int depth = 4;                   // levels of subfolders below each folder
    bool includeFolders = true;      // folders are results too

    static constexpr int kMaxDepth = 12;

    // Extensions from text such as "txt; .PDF,docx".
    static std::vector<CString> parseExtensions(const CString& text);
    static CString joinExtensions(const std::vector<CString>& extensions);
    bool wantsFile(const CString& name) const;
};

class FilesPlugin final : public BasicPlugin {
public:
    FilesPlugin();

    bool isConfigurable() override { return true; }
    // A dialog where the user edits the folders, extensions and depth.
    void configure(HWND parent) override;

    void scan(VItemSink& sink) override;
    void loadSettings(const VPreferencesNode* node) override;
    void saveSettings(VPreferencesNode* node) override;

    FilesSettings settings() const;
    void setSettings(FilesSettings settings);

    // Most items one scan gives.
    static constexpr std::size_t kMaxItems = 200000;

private:
    static FilesSettings defaults();

    mutable std::mutex m_mutex;
    FilesSettings m_settings;
};

// Runs the settings dialog; true (and settings changed) on OK.
bool runFilesSettingsDialog(HWND parent, FilesSettings& settings);

} // namespace corvantile::core
