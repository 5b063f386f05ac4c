#include "resultlist/VFileBrowser.h"

#include <windows.h>

#include <atomic>
#include <exception>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "core_iface/CPath.h"
#include "core_iface/VElement.h"
#include "framework/Win32Handles.h"
#include "resultlist/VElementListCtrl.h"
#include "ui/ProgramEvents.h"

struct VFileBrowser::State {
    std::mutex mutex;
    VElementListCtrl* list = nullptr; // null once the browser is gone
    std::atomic<unsigned> latest{0};  // the listing that may still reach the list
};

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

void release(std::vector<VFileResult*>& results) {
    for (VFileResult* result : results)
        result->deleteThis();
    results.clear();
}

// The entries text names; nothing once stillWanted() turns false. The caller owns the results.
template <class StillWanted>
std::vector<VFileResult*> listEntries(const char* text, StillWanted stillWanted) {
    std::vector<VFileResult*> folders;
    if (!text)
        return folders;
    const CPath path(text, 0, 0);
    const CString location = path.GetLocation();
    if (location.IsEmpty())
        return folders;
    const CString folder = upperFirst(location);
    CString pattern = folder + path.GetFileName();
    if (pattern.IsEmpty() || pattern.GetAt(pattern.GetLength() - 1) != '*')
        pattern += '*';

    std::vector<VFileResult*> files;
    WIN32_FIND_DATAW found{};
    FindHandle find(FindFirstFileExW(pattern.W().c_str(), FindExInfoBasic, &found,
                                     FindExSearchNameMatch, nullptr, 0));
    if (!find.valid())
        return folders;
    do {
        if (!stillWanted()) {
            release(folders);
            release(files);
            return folders;
        }
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
    return folders;
}

} // namespace

VFileBrowser::VFileBrowser(VElementListCtrl* list) : m_state(std::make_shared<State>()) {
    m_state->list = list;
}

VFileBrowser::~VFileBrowser() {
    const std::lock_guard lock(m_state->mutex);
    m_state->list = nullptr;
    ++m_state->latest;
}

void VFileBrowser::cancel() {
    const std::lock_guard lock(m_state->mutex);
    ++m_state->latest;
}

void VFileBrowser::browse(const char* text) {
    if (!text)
        return;
    unsigned listing = 0;
    {
        const std::lock_guard lock(m_state->mutex);
        if (!m_state->list)
            return;
        listing = ++m_state->latest;
    }
    const std::string typed = text;
    const auto body = [state = m_state, listing, typed] {
        // An empty removable drive fails quietly instead of asking for a disk.
        DWORD previous = 0;
        ::SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previous);
        try {
            const auto stillWanted = [&] { return state->latest == listing; };
            std::vector<VFileResult*> results = listEntries(typed.c_str(), stillWanted);
            const std::lock_guard lock(state->mutex);
            if (!results.empty() && state->list && stillWanted())
                state->list->addFileResults(results.data(), static_cast<int>(results.size()));
            else
                release(results);
        } catch (const std::exception& error) {
            ProgramEvents::record(
                (std::string("Listing a folder failed: ") + error.what()).c_str());
        } catch (...) {
            ProgramEvents::record("Listing a folder failed.");
        }
    };
    try {
        std::thread(body).detach();
    } catch (const std::system_error&) {
        ProgramEvents::record("A folder could not be listed: no thread could be started.");
    }
}
