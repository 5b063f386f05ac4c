#include "core/plugins/FilesPlugin.h"

#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <string>

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

CString join(const std::vector<CString>& parts, const char* separator) {
    CString text;
    for (const CString& part : parts) {
        if (!text.IsEmpty())
            text += separator;
        text += part;
    }
    return text;
}

} // namespace

CString groupedCount(std::size_t count) {
    const std::string digits = std::to_string(count);
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i != 0 && (digits.size() - i) % 3 == 0)
            grouped += ',';
        grouped += digits[i];
    }
    return CString(grouped.c_str());
}

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
    return join(extensions, ";");
}

std::vector<CString> FilesSettings::parseExclusions(const CString& text) {
    std::vector<CString> exclusions;
    for (const CString& part : split(text, ";\r\n"))
        if (std::find(exclusions.begin(), exclusions.end(), part) == exclusions.end())
            exclusions.push_back(part);
    return exclusions;
}

CString FilesSettings::joinExclusions(const std::vector<CString>& exclusions) {
    return join(exclusions, "; ");
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

bool FilesSettings::wants(const WalkEntry& entry, const CString& name) const {
    return entry.folder ? includeFolders : wantsFile(name);
}

WalkRules FilesSettings::walkRules() const {
    return {depth, includeHidden, Exclusions(exclusions)};
}

std::vector<std::wstring> FilesSettings::roots() const {
    std::vector<std::wstring> roots;
    const auto addRoot = [&roots](std::wstring root) {
        while (root.size() > 3 && root.back() == L'\\')
            root.pop_back();
        const std::wstring folded = Exclusions::fold(root);
        for (const std::wstring& known : roots)
            if (Exclusions::fold(known) == folded)
                return;
        roots.push_back(std::move(root));
    };
    for (const CString& folder : folders)
        addRoot(folder.W());
    if (allFixedDrives) {
        const DWORD drives = GetLogicalDrives();
        for (int letter = 0; letter < 26; ++letter) {
            if (!(drives & (1u << letter)))
                continue;
            const std::wstring drive{static_cast<wchar_t>(L'A' + letter), L':', L'\\'};
            if (GetDriveTypeW(drive.c_str()) == DRIVE_FIXED)
                addRoot(drive);
        }
    }
    return roots;
}

FilesPlugin::FilesPlugin()
    : BasicPlugin("FilesAndFolders", "Files and Folders",
                  "Finds the files and folders under the folders you choose",
                  {L"F", RGB(0xE0, 0xA0, 0x20)}),
      m_settings(defaults()) {}

FilesPlugin::~FilesPlugin() {
    stopWatching();
}

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
    settings.maxItems = std::max(settings.maxItems, FilesSettings::kLeastMaxItems);
    bool rootsChanged = false;
    {
        std::lock_guard lock(m_mutex);
        rootsChanged = settings.roots() != m_settings.roots();
        m_settings = std::move(settings);
    }
    if (rootsChanged)
        restartWatch();
}

CString FilesPlugin::limitText(std::size_t limit) {
    return "Files and Folders stopped at its limit of " + groupedCount(limit) +
           " items: files beyond it are not found. The limit can be raised in the plug-in's "
           "settings.";
}

void FilesPlugin::configure(HWND parent) {
    FilesSettings edited = settings();
    if (!runFilesSettingsDialog(parent, edited, limitReached()))
        return;
    setSettings(std::move(edited));
    if (settingsChanged)
        settingsChanged();
}

bool FilesPlugin::walkRoot(const FilesSettings& settings, const std::wstring& root, int firstLevel,
                           const std::function<bool(VItem)>& take,
                           const std::function<bool()>& stop) const {
    const FileWalker walker(settings.walkRules(), m_lister);
    return walker.walk(
        root,
        [&](const WalkEntry& entry) {
            CString name = CString::FromW(entry.name.data(), static_cast<int>(entry.name.size()));
            if (!settings.wants(entry, name))
                return true;
            return take({entry.folder ? VItemKind::Folder : VItemKind::File, std::move(name),
                         CString::FromW(entry.path.c_str(), static_cast<int>(entry.path.size())),
                         CString()});
        },
        stop, firstLevel);
}

void FilesPlugin::scan(VItemSink& sink) {
    const FilesSettings current = settings();
    std::size_t count = 0;
    bool full = false;
    for (const std::wstring& root : current.roots()) {
        const bool finished = walkRoot(
            current, root, 0,
            [&](VItem item) {
                if (count >= current.maxItems) {
                    full = true;
                    return false;
                }
                sink.add(item);
                ++count;
                return true;
            },
            [&] { return sink.cancelled(); });
        if (!finished)
            break;
    }
    if (sink.cancelled())
        return;
    m_limitReached = full ? count : 0;
    if (full && !m_limitTold.exchange(true))
        sink.notice(limitText(current.maxItems));
}

void FilesPlugin::loadSettings(const VPreferencesNode* node) {
    FilesSettings loaded = defaults();
    if (node) {
        CString text;
        if (node->getParam("Folders", text))
            loaded.folders = split(text, "|");
        if (node->getParam("Extensions", text))
            loaded.extensions = FilesSettings::parseExtensions(text);
        if (node->getParam("Exclusions", text))
            loaded.exclusions = FilesSettings::parseExclusions(text);
        node->getParam("Depth", loaded.depth);
        node->getParam("IncludeFolders", loaded.includeFolders);
        node->getParam("AllFixedDrives", loaded.allFixedDrives);
        node->getParam("IncludeHidden", loaded.includeHidden);
        CString limit;
        if (node->getParam("MaxItems", limit)) {
            const unsigned long long value = std::strtoull(limit.GetString(), nullptr, 10);
            if (value > 0)
                loaded.maxItems = static_cast<std::size_t>(value);
        }
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
    node->setParam("Exclusions", FilesSettings::joinExclusions(current.exclusions).GetString());
    node->setParam("Depth", current.depth);
    node->setParam("IncludeFolders", current.includeFolders);
    node->setParam("AllFixedDrives", current.allFixedDrives);
    node->setParam("IncludeHidden", current.includeHidden);
    node->setParam("MaxItems", std::to_string(current.maxItems).c_str());
}

} // namespace corvantile::core
