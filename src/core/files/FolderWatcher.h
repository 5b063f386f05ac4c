// Watches folder trees for files and folders that appear, go or are renamed, on a thread of
// its own: one directory handle per root, read with overlapped ReadDirectoryChangesW. Changes
// are gathered and handed over together once a root has been quiet for a moment (or a second
// at most after the first), so a burst of them costs one update. When the system's buffer
// overflows the root is to be read again whole; a root that cannot be opened or goes away is
// tried again every few seconds, quietly, and read again whole when it is back.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "framework/Win32Handles.h"

namespace corvantile::core {

class FolderWatcher {
public:
    struct Change {
        std::wstring path; // full path
        bool added;        // created or renamed to; otherwise deleted or renamed from
    };
    struct Callbacks {
        // Changes under root, in the order they happened.
        std::function<void(const std::wstring& root, const std::vector<Change>& changes)> changed;
        // Root must be read again whole: changes were lost, or it came back.
        std::function<void(const std::wstring& root)> rescan;
    };
    struct Timing {
        std::chrono::milliseconds quiet{250};    // hand over once a root was quiet this long
        std::chrono::milliseconds longest{1000}; // or this long after its first change
        std::chrono::milliseconds retry{3000};   // how often missing roots are tried again
        DWORD bufferBytes = 64 * 1024;           // per root
    };

    // Starts watching; the callbacks run on the watcher's thread.
    FolderWatcher(std::vector<std::wstring> roots, Callbacks callbacks);
    FolderWatcher(std::vector<std::wstring> roots, Callbacks callbacks, Timing timing);
    // Stops and waits for the thread (and any callback running on it).
    ~FolderWatcher();
    FolderWatcher(const FolderWatcher&) = delete;
    FolderWatcher& operator=(const FolderWatcher&) = delete;

    // Number of roots being watched at the moment (open handles).
    int watching() const;

private:
    struct Root;
    using Clock = std::chrono::steady_clock;

    void run();
    bool open(Root& root);
    bool startRead(Root& root);
    void finishRead(Root& root);
    void flush(Root& root, Clock::time_point now, bool force);

    std::vector<std::unique_ptr<Root>> m_roots;
    Callbacks m_callbacks;
    Timing m_timing;
    KernelHandle m_stop;
    std::atomic<int> m_watching{0};
    std::thread m_thread;
};

} // namespace corvantile::core
