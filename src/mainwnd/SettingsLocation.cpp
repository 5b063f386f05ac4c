#include "mainwnd/SettingsLocation.h"

#include <windows.h>

#include <shlobj.h>

namespace settingslocation {

bool canWriteIn(const CString& folder) {
    if (folder.IsEmpty())
        return false;
    CString probe = folder;
    if (probe[probe.GetLength() - 1] != '\\')
        probe += "\\";
    probe += "Corvantile.write-test.tmp";
    const std::wstring name = probe.W();
    HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    DeleteFileW(name.c_str());
    return true;
}

CString fallbackFolder() {
    PWSTR appData = nullptr;
    CString folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_CREATE, nullptr, &appData)))
        folder = CString::FromW(appData);
    CoTaskMemFree(appData);
    if (folder.IsEmpty())
        return folder;
    folder += "\\Corvantile\\";
    CreateDirectoryW(folder.W().c_str(), nullptr);
    return folder;
}

CString dataFolder(const CString& programFolder) {
    if (canWriteIn(programFolder))
        return programFolder;
    const CString fallback = fallbackFolder();
    return fallback.IsEmpty() ? programFolder : fallback;
}

} // namespace settingslocation
