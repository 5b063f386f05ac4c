// Programs: the shortcuts of the Start Menu and the Desktop (the user's and all users'), the
// programs registered under App Paths, the programs on PATH and the packaged apps of the shell's
// Applications folder. A program found in several places is listed once, by its shortcut when
// it has one.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "core/plugins/BasicPlugin.h"
#include "core/plugins/ProgramSources.h"

namespace corvantile::core {

// Which places the plug-in reads; each can be switched off in its settings.
struct ProgramsSettings {
    bool startMenu = true;  // Start Menu and Desktop shortcuts
    bool appPaths = true;   // App Paths registrations
    bool path = true;       // .exe and .msc files in the PATH folders
    bool scripts = false;   // .bat and .cmd files there too
    bool appsFolder = true; // packaged apps

    bool operator==(const ProgramsSettings&) const = default;
};

// Where the places are; each one left unset is the system's.
struct ProgramPlaces {
    std::optional<std::vector<CString>> menuFolders;
    std::optional<std::vector<std::pair<HKEY, CString>>> appPathsKeys;
    std::optional<CString> path; // a PATH value
    std::function<std::vector<PackagedApp>()> appsFolder;
};

class ProgramsPlugin final : public BasicPlugin {
public:
    ProgramsPlugin();
    void scan(VItemSink& sink) override;

    bool isConfigurable() override { return true; }
    // A dialog with a check box per place.
    void configure(HWND parent) override;
    void loadSettings(const VPreferencesNode* node) override;
    void saveSettings(VPreferencesNode* node) override;

    ProgramsSettings settings() const;
    void setSettings(const ProgramsSettings& settings);

    // Places to look in instead of the system's (for tests).
    void setPlaces(ProgramPlaces places);

    // Most programs one scan gives.
    static constexpr std::size_t kMaxPrograms = 20000;

private:
    struct Root {
        CString folder;
        int depth;
    };
    std::vector<Root> roots(const ProgramPlaces& places) const;
    void scanShortcuts(const ProgramPlaces& places, ProgramDeduplicator& seen, VItemSink& sink,
                       std::size_t& count) const;

    mutable std::mutex m_mutex;
    std::atomic<bool> m_limitTold{false}; // the limit is told once a run
    ProgramsSettings m_settings;
    ProgramPlaces m_places;
};

// Runs the settings dialog; true (and settings changed) on OK.
bool runProgramsSettingsDialog(HWND parent, ProgramsSettings& settings);

} // namespace corvantile::core
