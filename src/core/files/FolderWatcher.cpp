#include "core/files/FolderWatcher.h"

#include <algorithm>
#include "support/event_report.h"

namespace corvantile::core {

struct FolderWatcher::Root {
    std::wstring path;
    KernelHandle directory;
    KernelHandle event{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    OVERLAPPED overlapped{};
    std::vector<DWORD> buffer; // DWORD-aligned, as the notifications must be
    bool reading = false;
    bool tried = false;       // opening it was tried before: a later opening reads it whole
    bool needsRescan = false; // handed over at the next flush
    std::vector<Change> changes;
    Clock::time_point firstChange{};
    Clock::time_point lastChange{};
    Clock::time_point nextTry{};
};

FolderWatcher::FolderWatcher(std::vector<std::wstring> roots, Callbacks callbacks)
    : FolderWatcher(std::move(roots), std::move(callbacks), Timing{}) {}

FolderWatcher::FolderWatcher(std::vector<std::wstring> roots, Callbacks callbacks, Timing timing)
    : m_callbacks(std::move(callbacks)), m_timing(timing),
      m_stop(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    for (std::wstring& path : roots) {
        while (path.size() > 3 && path.back() == L'\\')
            path.pop_back();
        auto root = std::make_unique<Root>();
        root->path = std::move(path);
        root->buffer.resize(m_timing.bufferBytes / sizeof(DWORD));
        m_roots.push_back(std::move(root));
    }
    m_thread =
        std::thread([this] { support::run_reporting("the folder watcher", [this] { run(); }); });
}

FolderWatcher::~FolderWatcher() {
    SetEvent(m_stop.get());
    if (m_thread.joinable())
        m_thread.join();
}

int FolderWatcher::watching() const {
    return m_watching.load();
}

bool FolderWatcher::open(Root& root) {
    const bool again = root.tried;
    root.tried = true;
    root.directory = KernelHandle(
        CreateFileW(root.path.c_str(), FILE_LIST_DIRECTORY,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr));
    if (!root.directory.valid() || !startRead(root)) {
        root.directory.reset();
        return false;
    }
    if (again)
        root.needsRescan = true;
    ++m_watching;
    return true;
}

bool FolderWatcher::startRead(Root& root) {
    root.overlapped = OVERLAPPED{};
    root.overlapped.hEvent = root.event.get();
    ResetEvent(root.event.get());
    root.reading =
        ReadDirectoryChangesW(root.directory.get(), root.buffer.data(),
                              static_cast<DWORD>(root.buffer.size() * sizeof(DWORD)), TRUE,
                              FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME, nullptr,
                              &root.overlapped, nullptr);
    return root.reading;
}

void FolderWatcher::finishRead(Root& root) {
    DWORD bytes = 0;
    const bool ok = GetOverlappedResult(root.directory.get(), &root.overlapped, &bytes, FALSE);
    const DWORD error = ok ? ERROR_SUCCESS : GetLastError();
    if (!ok && error == ERROR_IO_INCOMPLETE)
        return;
    root.reading = false;
    const auto now = Clock::now();
    const auto noteChange = [&] {
        if (root.changes.empty() && !root.needsRescan)
            root.firstChange = now;
        root.lastChange = now;
    };
    if (!ok && error != ERROR_NOTIFY_ENUM_DIR) {
        // The handle is lost (the folder went away, or its drive): try it again later.
        root.directory.reset();
        --m_watching;
        root.nextTry = now + m_timing.retry;
        return;
    }
    if (!ok || bytes == 0) {
        // More changes than the buffer held: only reading it again tells what is there.
        noteChange();
        root.needsRescan = true;
        root.changes.clear();
    } else {
        const auto* data = reinterpret_cast<const BYTE*>(root.buffer.data());
        for (DWORD offset = 0;;) {
            const auto* info = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(data + offset);
            const std::wstring_view name(info->FileName, info->FileNameLength / sizeof(wchar_t));
            const bool added =
                info->Action == FILE_ACTION_ADDED || info->Action == FILE_ACTION_RENAMED_NEW_NAME;
            const bool removed =
                info->Action == FILE_ACTION_REMOVED || info->Action == FILE_ACTION_RENAMED_OLD_NAME;
            if ((added || removed) && !name.empty() && !root.needsRescan) {
                noteChange();
                std::wstring path = root.path;
                if (path.back() != L'\\')
                    path += L'\\';
                path += name;
                root.changes.push_back({std::move(path), added});
            }
            if (info->NextEntryOffset == 0)
                break;
            offset += info->NextEntryOffset;
            if (offset >= bytes)
                break;
        }
    }
    if (!startRead(root)) {
        root.directory.reset();
        --m_watching;
        root.nextTry = now + m_timing.retry;
    }
}

void FolderWatcher::flush(Root& root, Clock::time_point now, bool force) {
    if (root.changes.empty() && !root.needsRescan)
        return;
    if (!force && now - root.lastChange < m_timing.quiet &&
        now - root.firstChange < m_timing.longest)
        return;
    if (root.needsRescan) {
        root.needsRescan = false;
        root.changes.clear();
        if (m_callbacks.rescan)
            m_callbacks.rescan(root.path);
        return;
    }
    std::vector<Change> changes;
    changes.swap(root.changes);
    if (m_callbacks.changed)
        m_callbacks.changed(root.path, changes);
}

void FolderWatcher::run() {
    for (auto& root : m_roots)
        if (!open(*root))
            root->nextTry = Clock::now() + m_timing.retry;
    for (;;) {
        const auto now = Clock::now();
        // Missing roots are tried again, and open ones checked for still being there (a
        // folder removed from under its handle does not always end the read).
        for (auto& root : m_roots) {
            if (now < root->nextTry)
                continue;
            root->nextTry = now + m_timing.retry;
            if (!root->directory.valid()) {
                open(*root);
                continue;
            }
            const DWORD attributes = GetFileAttributesW(root->path.c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
                CancelIoEx(root->directory.get(), &root->overlapped);
                DWORD ignored = 0;
                GetOverlappedResult(root->directory.get(), &root->overlapped, &ignored, TRUE);
                root->reading = false;
                root->directory.reset();
                --m_watching;
            }
        }
        for (auto& root : m_roots) {
            if (root->directory.valid() && root->reading &&
                WaitForSingleObject(root->event.get(), 0) == WAIT_OBJECT_0)
                finishRead(*root);
            flush(*root, now, false);
        }

        // Waits for the stop event, the first roots' reads, or the next moment to act.
        std::vector<HANDLE> handles{m_stop.get()};
        auto wake = now + m_timing.retry;
        for (auto& root : m_roots) {
            if (root->directory.valid() && root->reading && handles.size() < MAXIMUM_WAIT_OBJECTS)
                handles.push_back(root->event.get());
            wake = std::min(wake, root->nextTry);
            if (!root->changes.empty() || root->needsRescan)
                wake = std::min({wake, root->lastChange + m_timing.quiet,
                                 root->firstChange + m_timing.longest});
        }
        if (handles.size() == MAXIMUM_WAIT_OBJECTS)
            wake = std::min(wake, now + std::chrono::milliseconds(250)); // the roots not waited on
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(wake - now);
        const DWORD result = WaitForMultipleObjects(
            static_cast<DWORD>(handles.size()), handles.data(), FALSE,
            static_cast<DWORD>(std::clamp<long long>(wait.count() + 1, 1, 60000)));
        if (result == WAIT_OBJECT_0)
            break;
    }
    for (auto& root : m_roots) {
        if (root->directory.valid() && root->reading) {
            CancelIoEx(root->directory.get(), &root->overlapped);
            DWORD ignored = 0;
            GetOverlappedResult(root->directory.get(), &root->overlapped, &ignored, TRUE);
        }
    }
}

} // namespace corvantile::core
