#include "core/plugins/ProgramSources.h"

#include <knownfolders.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <string>

#include "core/shell/Shell.h"
#include "framework/Win32Handles.h"

namespace corvantile::core {
namespace {

CString lowered(CString text) {
    text.MakeLower();
    return text;
}

CString withoutQuotes(CString text) {
    text.Trim();
    if (text.GetLength() >= 2 && text[0] == '"') {
        const int close = text.Find('"', 1);
        text = close > 0 ? text.Mid(1, close - 1) : text.Mid(1);
    }
    return text.Trim();
}

CString expanded(const CString& text) {
    const std::wstring wide = text.W();
    const DWORD needed = ExpandEnvironmentStringsW(wide.c_str(), nullptr, 0);
    if (needed == 0)
        return text;
    std::wstring result(needed, L'\0');
    const DWORD written = ExpandEnvironmentStringsW(wide.c_str(), result.data(), needed);
    if (written == 0 || written > needed)
        return text;
    return CString::FromW(result.c_str());
}

// The name a program file is shown by: without ".exe", other extensions kept (".msc").
CString shownName(const CString& fileName) {
    const int dot = fileName.ReverseFind('.');
    if (dot > 0 && fileName.Mid(dot).CompareNoCase(".exe") == 0)
        return fileName.Left(dot);
    return fileName;
}

// The default value of root\subkey as text, variables expanded; empty when unreadable.
CString defaultValue(HKEY root, const std::wstring& subkey) {
    DWORD bytes = 0;
    // The system refuses to expand on its own when both types are asked for.
    const DWORD types = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
    if (RegGetValueW(root, subkey.c_str(), nullptr, types, nullptr, nullptr, &bytes) !=
            ERROR_SUCCESS ||
        bytes == 0)
        return {};
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    if (RegGetValueW(root, subkey.c_str(), nullptr, types, nullptr, value.data(), &bytes) !=
        ERROR_SUCCESS)
        return {};
    return expanded(CString::FromW(value.c_str()));
}

} // namespace

std::vector<FoundProgram> readAppPaths(HKEY root, const CString& subkey) {
    std::vector<FoundProgram> programs;
    RegKey key;
    if (!key.open(root, subkey.W().c_str()))
        return programs;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD length = 256;
        const LONG status =
            RegEnumKeyExW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA)
            continue; // no file name is that long
        if (status != ERROR_SUCCESS)
            break;
        const CString path = withoutQuotes(defaultValue(key.get(), name));
        if (path.IsEmpty() || !fileExists(path))
            continue;
        programs.push_back({shownName(CString::FromW(name, static_cast<int>(length))), path});
    }
    return programs;
}

std::vector<CString> splitPathFolders(const CString& pathValue) {
    std::vector<CString> folders;
    std::set<CString> seen;
    int start = 0;
    while (start <= pathValue.GetLength()) {
        int end = pathValue.Find(';', start);
        if (end < 0)
            end = pathValue.GetLength();
        CString folder = expanded(withoutQuotes(pathValue.Mid(start, end - start)));
        folder.TrimRight("\\/");
        // Only whole paths: a relative entry would depend on the current folder.
        const bool absolute = folder.GetLength() >= 2 &&
                              (folder[1] == ':' || (folder[0] == '\\' && folder[1] == '\\'));
        if (absolute && seen.insert(lowered(folder)).second)
            folders.push_back(folder);
        start = end + 1;
    }
    return folders;
}

std::vector<FoundProgram> readPathPrograms(const std::vector<CString>& folders,
                                           const std::vector<CString>& extensions) {
    std::vector<FoundProgram> programs;
    std::set<CString> names;
    for (const CString& folder : folders) {
        walkFolder(folder, 0,
                   [&](const FolderEntry& entry) {
                       if (entry.folder)
                           return true;
                       const int dot = entry.name.ReverseFind('.');
                       const CString extension = dot > 0 ? lowered(entry.name.Mid(dot)) : CString();
                       bool wanted = false;
                       for (const CString& candidate : extensions)
                           wanted = wanted || candidate == extension;
                       if (wanted && names.insert(lowered(entry.name)).second)
                           programs.push_back({shownName(entry.name), entry.path});
                       return true;
                   },
                   {});
    }
    return programs;
}

std::vector<PackagedApp> listAppsFolder() {
    std::vector<PackagedApp> apps;
    ComScope com;
    ComRef<IShellItem> folder;
    if (FAILED(SHGetKnownFolderItem(FOLDERID_AppsFolder, KF_FLAG_DEFAULT, nullptr, IID_IShellItem,
                                    folder.out_void())))
        return apps;
    ComRef<IEnumShellItems> items;
    if (FAILED(
            folder->BindToHandler(nullptr, BHID_EnumItems, IID_IEnumShellItems, items.out_void())))
        return apps;
    for (;;) {
        ComRef<IShellItem> item;
        if (items->Next(1, item.out(), nullptr) != S_OK)
            break;
        wchar_t* name = nullptr;
        wchar_t* id = nullptr;
        if (SUCCEEDED(item->GetDisplayName(SIGDN_NORMALDISPLAY, &name)) &&
            SUCCEEDED(item->GetDisplayName(SIGDN_PARENTRELATIVEPARSING, &id))) {
            const CString appId = CString::FromW(id);
            // Desktop programs are listed there too, by path: only packaged apps are new.
            if (appId.Find('!') > 0 && appId.Find('\\') < 0)
                apps.push_back({CString::FromW(name), appId});
        }
        CoTaskMemFree(name);
        CoTaskMemFree(id);
    }
    return apps;
}

CString appsFolderAddress(const CString& appUserModelId) {
    return "shell:AppsFolder\\" + appUserModelId;
}

bool ProgramDeduplicator::isNew(const CString& target) {
    return target.IsEmpty() || m_seen.insert(lowered(target)).second;
}

} // namespace corvantile::core
