#include "core/plugins/ProgramsPlugin.h"

#include <shlobj.h>

#include <utility>

#include "core/shell/Shell.h"
#include "core_iface/CShellLink.h"
#include "core_iface/VPreferences.h"

namespace corvantile::core {
namespace {

constexpr int kStartMenuDepth = 8;
constexpr char kAppPathsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths";

bool hasExtension(const CString& name, const char* extension) {
    const int length = static_cast<int>(strlen(extension));
    return name.GetLength() > length && name.Right(length).CompareNoCase(extension) == 0;
}

struct SettingKey {
    const char* key;
    bool ProgramsSettings::*flag;
};

const SettingKey kSettingKeys[] = {
    {"StartMenu", &ProgramsSettings::startMenu},
    {"AppPaths", &ProgramsSettings::appPaths},
    {"Path", &ProgramsSettings::path},
    {"Scripts", &ProgramsSettings::scripts},
    {"AppsFolder", &ProgramsSettings::appsFolder},
};

} // namespace

ProgramsPlugin::ProgramsPlugin()
    : BasicPlugin("Programs", "Programs",
                  "Finds the programs of the Start Menu and the Desktop, the programs Windows "
                  "has registered or on its PATH, and the installed apps",
                  {L"P", RGB(0x00, 0x78, 0xD4)}) {}

ProgramsSettings ProgramsPlugin::settings() const {
    std::lock_guard lock(m_mutex);
    return m_settings;
}

void ProgramsPlugin::setSettings(const ProgramsSettings& settings) {
    std::lock_guard lock(m_mutex);
    m_settings = settings;
}

void ProgramsPlugin::setPlaces(ProgramPlaces places) {
    std::lock_guard lock(m_mutex);
    m_places = std::move(places);
}

void ProgramsPlugin::configure(HWND parent) {
    ProgramsSettings edited = settings();
    if (!runProgramsSettingsDialog(parent, edited))
        return;
    setSettings(edited);
    if (settingsChanged)
        settingsChanged();
}

void ProgramsPlugin::loadSettings(const VPreferencesNode* node) {
    ProgramsSettings loaded;
    if (node) {
        for (const SettingKey& setting : kSettingKeys)
            node->getParam(setting.key, loaded.*setting.flag);
    }
    setSettings(loaded);
}

void ProgramsPlugin::saveSettings(VPreferencesNode* node) {
    if (!node)
        return;
    const ProgramsSettings current = settings();
    for (const SettingKey& setting : kSettingKeys)
        node->setParam(setting.key, current.*setting.flag);
}

std::vector<ProgramsPlugin::Root> ProgramsPlugin::roots(const ProgramPlaces& places) const {
    if (places.menuFolders) {
        std::vector<Root> chosen;
        for (const CString& folder : *places.menuFolders)
            chosen.push_back({folder, kStartMenuDepth});
        return chosen;
    }
    return {{specialFolder(CSIDL_PROGRAMS), kStartMenuDepth},
            {specialFolder(CSIDL_COMMON_PROGRAMS), kStartMenuDepth},
            {specialFolder(CSIDL_DESKTOPDIRECTORY), 0},
            {specialFolder(CSIDL_COMMON_DESKTOPDIRECTORY), 0}};
}

void ProgramsPlugin::scanShortcuts(const ProgramPlaces& places, ProgramDeduplicator& seen,
                                   VItemSink& sink, std::size_t& count) const {
    // The same program is often linked from several places under one name: list it once.
    std::set<std::pair<CString, CString>> named;
    for (const Root& root : roots(places)) {
        if (root.folder.IsEmpty())
            continue;
        walkFolder(
            root.folder, root.depth,
            [&](const FolderEntry& entry) {
                if (entry.folder)
                    return true;
                VItem item;
                item.kind = VItemKind::Program;
                item.target = entry.path;
                if (hasExtension(entry.name, ".lnk")) {
                    item.name = entry.name.Left(entry.name.GetLength() - 4);
                    CShellLinkInfo info;
                    if (readShellLink(entry.path, info))
                        item.extra = info.m_strTarget;
                } else if (hasExtension(entry.name, ".exe")) {
                    item.name = entry.name.Left(entry.name.GetLength() - 4);
                    item.extra = entry.path;
                } else {
                    return true;
                }
                CString lowerName = item.name;
                CString lowerTarget = item.extra;
                if (!named.insert({lowerName.MakeLower(), lowerTarget.MakeLower()}).second)
                    return true;
                // Two names for one program (a shortcut renamed by the user) both stay.
                seen.isNew(item.extra);
                sink.add(item);
                return ++count < kMaxPrograms;
            },
            [&] { return sink.cancelled(); });
    }
}

void ProgramsPlugin::scan(VItemSink& sink) {
    ComScope com;
    ProgramsSettings current;
    ProgramPlaces places;
    {
        std::lock_guard lock(m_mutex);
        current = m_settings;
        places = m_places;
    }
    ProgramDeduplicator seen;
    std::size_t count = 0;
    if (current.startMenu)
        scanShortcuts(places, seen, sink, count);

    const auto offer = [&](const CString& name, const CString& target) {
        if (count >= kMaxPrograms || sink.cancelled() || !seen.isNew(target))
            return;
        sink.add({VItemKind::Program, name, target, target});
        ++count;
    };
    if (current.appsFolder) {
        const auto apps = places.appsFolder ? places.appsFolder() : listAppsFolder();
        for (const PackagedApp& app : apps)
            offer(app.name, appsFolderAddress(app.appUserModelId));
    }
    if (current.appPaths) {
        const std::vector<std::pair<HKEY, CString>> keys =
            places.appPathsKeys
                ? *places.appPathsKeys
                : std::vector<std::pair<HKEY, CString>>{{HKEY_CURRENT_USER, kAppPathsKey},
                                                        {HKEY_LOCAL_MACHINE, kAppPathsKey}};
        for (const auto& [root, subkey] : keys) {
            for (const FoundProgram& program : readAppPaths(root, subkey))
                offer(program.name, program.path);
        }
    }
    if (current.path) {
        std::vector<CString> extensions{".exe", ".msc"};
        if (current.scripts)
            extensions.insert(extensions.end(), {".bat", ".cmd"});
        const CString pathValue = places.path ? *places.path : environmentVariable("PATH");
        for (const FoundProgram& program :
             readPathPrograms(splitPathFolders(pathValue), extensions))
            offer(program.name, program.path);
    }
    if (count >= kMaxPrograms && !sink.cancelled() && !m_limitTold.exchange(true))
        sink.notice("Programs stopped at its limit of 20,000 programs: the others are not found.");
}

} // namespace corvantile::core
