// The places besides the Start Menu where Windows knows programs: the App Paths registrations,
// the folders on PATH and the shell's Applications folder (packaged apps). Texts are UTF-8.
#pragma once

#include <functional>
#include <set>
#include <vector>

#include <windows.h>

#include "core_iface/VPlugin.h"
#include "framework/CString.h"

namespace corvantile::core {

// A program found in one of the places: its shown name and the file (or shell address) that
// starts it.
struct FoundProgram {
    CString name;
    CString path;
};

// The programs registered under root\subkey (an "App Paths" key): one per subkey named after
// its file, whose default value is the program's path. Registrations of missing files are left
// out.
std::vector<FoundProgram> readAppPaths(HKEY root, const CString& subkey);

// The folders of a PATH value in order, once each, with quotes and variables resolved.
std::vector<CString> splitPathFolders(const CString& pathValue);

// The files with one of the extensions (".exe", lower case) directly in the folders, in PATH
// order: a name already found in an earlier folder is left out, as Windows would run that one.
std::vector<FoundProgram> readPathPrograms(const std::vector<CString>& folders,
                                           const std::vector<CString>& extensions);

struct PackagedApp {
    CString name;
    CString appUserModelId; // "Family_publisher!App"
};

// The packaged apps of the shell's Applications folder; empty where the system has none.
std::vector<PackagedApp> listAppsFolder();

// The address that starts a packaged app through the shell.
CString appsFolderAddress(const CString& appUserModelId);

// Keeps one item per program: the first one given for a target (ignoring case) wins, so the
// places are offered best first (Start Menu shortcuts, whose names and icons are the user's).
class ProgramDeduplicator {
public:
    // Whether an item with this target is new (and remembers it); empty targets always are.
    bool isNew(const CString& target);

private:
    std::set<CString> m_seen;
};

} // namespace corvantile::core
