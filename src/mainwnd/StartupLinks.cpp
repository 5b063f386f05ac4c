#include "mainwnd/StartupLinks.h"

#include <shlobj.h>

#include "core_iface/CPath.h"
#include "core_iface/CShellLink.h"

namespace startuplinks {

namespace {
const char* const kLinkName = "Corvantile.lnk";
}

CString startupLinkPath(HWND owner) {
    wchar_t folder[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(owner, folder, CSIDL_STARTUP, FALSE))
        return CString();
    return CPath::AddBackSlash(CString::FromW(folder), 0) + kLinkName;
}

CString quickLaunchLinkPath() {
    const DWORD size = GetEnvironmentVariableW(L"APPDATA", nullptr, 0);
    if (size == 0)
        return CString();
    std::wstring value(size, L'\0');
    const DWORD copied = GetEnvironmentVariableW(L"APPDATA", value.data(), size);
    value.resize(copied);
    if (value.empty())
        return CString();
    return CPath::AddBackSlash(CString::FromW(value.c_str()), 0) +
           "Microsoft\\Internet Explorer\\Quick Launch\\" + kLinkName;
}

bool linkExists(const CString& linkPath) {
    return !linkPath.IsEmpty() &&
           GetFileAttributesW(linkPath.W().c_str()) != INVALID_FILE_ATTRIBUTES;
}

void setLink(const CString& linkPath, bool on, const CString& target, const CString& folder) {
    if (linkPath.IsEmpty())
        return;
    if (!on) {
        if (linkExists(linkPath))
            DeleteFileW(linkPath.W().c_str());
        return;
    }
    if (linkExists(linkPath))
        return;
    CShellLinkInfo info;
    info.m_strTarget = target;
    info.m_strDescription = "Corvantile";
    info.m_strWorkingDir = folder;
    CShellLink link;
    if (link.Create(info))
        link.Save(linkPath);
}

} // namespace startuplinks
