#include "resultlist/VFileBrowser.h"

#include <vector>

#include "core_iface/CPath.h"
#include "core_iface/VElement.h"
#include "framework/Win32Handles.h"
#include "resultlist/VElementListCtrl.h"

namespace {

bool isDots(const wchar_t* name) {
    return (name[0] == L'.' && name[1] == L'\0') ||
           (name[0] == L'.' && name[1] == L'.' && name[2] == L'\0');
}

// The folder with its first character (the drive letter) in upper case.
CString upperFirst(const CString& folder) {
    CString result = folder;
    const char first = result.GetAt(0);
    if (first >= 'a' && first <= 'z')
        result.SetAt(0, static_cast<char>(first - 'a' + 'A'));
    return result;
}

} // namespace

void VFileBrowser::browse(const char* text) {
    if (!m_list || !text)
        return;
    const CPath path(text, 0, 0);
    const CString location = path.GetLocation();
    if (location.IsEmpty())
        return;
    const CString folder = upperFirst(location);
    CString pattern = folder + path.GetFileName();
    if (pattern.IsEmpty() || pattern.GetAt(pattern.GetLength() - 1) != '*')
        pattern += '*';

    std::vector<VFileResult*> folders;
    std::vector<VFileResult*> files;
    WIN32_FIND_DATAW found{};
    FindHandle find(FindFirstFileExW(pattern.W().c_str(), FindExInfoBasic, &found,
                                     FindExSearchNameMatch, nullptr, 0));
    if (!find.valid())
        return;
    do {
        const DWORD attributes = found.dwFileAttributes;
        if ((attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) ||
            isDots(found.cFileName))
            continue;
        const bool isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        CString name = CString::FromW(found.cFileName);
        if (isFolder && (name.IsEmpty() || name.GetAt(name.GetLength() - 1) != '\\'))
            name += '\\';
        VFileResult* result = VFileResult::createInstance(nullptr);
        if (!result)
            continue;
        result->setFile(CPath(folder + name, 0, 0));
        (isFolder ? folders : files).push_back(result);
    } while (FindNextFileW(find.get(), &found));

    folders.insert(folders.end(), files.begin(), files.end());
    if (!folders.empty())
        m_list->addFileResults(folders.data(), static_cast<int>(folders.size()));
}
