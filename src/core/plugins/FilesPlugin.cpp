#include "core/plugins/FilesPlugin.h"

#include <shlobj.h>

#include <algorithm>

#include "core/shell/Shell.h"
#include "core_iface/VPreferences.h"

namespace corvantile::core {
namespace {

constexpr char kFolderSeparator = '|';

std::vector<CString> split(const CString& text, const char* separators) {
    std::vector<CString> parts;
    CString current;
    for (const char ch : text.str()) {
        if (strchr(separators, ch)) {
            current.Trim();
            if (!current.IsEmpty())
                parts.push_back(current);
            current.Empty();
        } else {
            current += ch;
        }
    }
    current.Trim();
    if (!current.IsEmpty())
        parts.push_back(current);
    return parts;
}

} // namespace

std::vector<CString> FilesSettings::parseExtensions(const CString& text) {
    std::vector<CString> extensions;
    for (CString part : split(text, ";, \t")) {
        part.TrimLeft("*.");
        part.MakeLower();
        if (!part.IsEmpty() &&
            std::find(extensions.begin(), extensions.end(), part) == extensions.end())
            extensions.push_back(part);
    }
    return extensions;
}

CString FilesSettings::joinExtensions(const std::vector<CString>& extensions) {
    CString text;
    for (const CString& extension : extensions) {
        if (!text.IsEmpty())
            text += ";";
        text += extension;
    }
    return text;
}

bool FilesSettings::wantsFile(const CString& name) const {
    if (extensions.empty())
        return true;
    const int dot = name.ReverseFind('.');
    if (dot < 0)
        return false;
    CString extension = name.Mid(dot + 1);
    extension.MakeLower();
    return std::find(extensions.begin(), extensions.end(), extension) != extensions.end();
}

FilesPlugin::FilesPlugin()
    : BasicPlugin("FilesAndFolders", "Files and Folders",
                  "Finds the files and folders under the folders you choose",
                  {L"F", RGB(0xE0, 0xA0, 0x20)}),
      m_settings(defaults()) {}

FilesSettings FilesPlugin::defaults() {
    FilesSettings settings;
    for (int csidl : {CSIDL_DESKTOPDIRECTORY, CSIDL_PERSONAL}) {
        const CString folder = specialFolder(csidl);
        if (!folder.IsEmpty())
            settings.folders.push_back(folder);
    }
    return settings;
}

FilesSettings FilesPlugin::settings() const {
    std::lock_guard lock(m_mutex);
    return m_settings;
}

void FilesPlugin::setSettings(FilesSettings settings) {
    settings.depth = std::clamp(settings.depth, 0, FilesSettings::kMaxDepth);
    std::lock_guard lock(m_mutex);
    m_settings = std::move(settings);
}

void FilesPlugin::configure(HWND parent) {
    FilesSettings edited = settings();
    if (!runFilesSettingsDialog(parent, edited))
        return;
    setSettings(std::move(edited));
    if (settingsChanged)
        settingsChanged();
}

void FilesPlugin::scan(VItemSink& sink) {
    const FilesSettings current = settings();
    std::size_t count = 0;
    for (const CString& folder : current.folders) {
        walkFolder(
            folder, current.depth,
            [&](const FolderEntry& entry) {
                if (entry.folder ? !current.includeFolders : !current.wantsFile(entry.name))
                    return true;
                sink.add({entry.folder ? VItemKind::Folder : VItemKind::File, entry.name,
                          entry.path, CString()});
                return ++count < kMaxItems;
            },
            [&] { return sink.cancelled(); });
        if (count >= kMaxItems || sink.cancelled())
            return;
    }
}

void FilesPlugin::loadSettings(const VPreferencesNode* node) {
    FilesSettings loaded = defaults();
    if (node) {
        CString text;
        if (node->getParam("Folders", text))
            loaded.folders = split(text, "|");
        if (node->getParam("Extensions", text))
            loaded.extensions = FilesSettings::parseExtensions(text);
        node->getParam("Depth", loaded.depth);
        node->getParam("IncludeFolders", loaded.includeFolders);
    }
    setSettings(std::move(loaded));
}

void FilesPlugin::saveSettings(VPreferencesNode* node) {
    if (!node)
        return;
    const FilesSettings current = settings();
    CString folders;
    for (const CString& folder : current.folders) {
        if (!folders.IsEmpty())
            folders += kFolderSeparator;
        folders += folder;
    }
    node->setParam("Folders", folders.GetString());
    node->setParam("Extensions", FilesSettings::joinExtensions(current.extensions).GetString());
    node->setParam("Depth", current.depth);
    node->setParam("IncludeFolders", current.includeFolders);
}

} // namespace corvantile::core
