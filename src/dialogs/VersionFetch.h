// Reading the latest version's number from the program's web site: bounded in size and in time,
// and, when started, on a thread of its own that the window waiting for it can leave behind.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>

#include "framework/CString.h"

class VersionFetch {
public:
    struct Limits {
        DWORD deadlineMs = 15000;     // connecting and reading together
        std::size_t lineBytes = 4096; // a longer first line is no version
    };

    // The version in the first line at url, or empty when that line is not a version or cannot
    // be read within the limits; stops early once cancelled is set.
    static CString fetch(const CString& url, const Limits& limits,
                         const std::atomic<bool>* cancelled = nullptr);
    // Four dot-separated numbers and nothing else.
    static bool isVersion(const CString& text);

    VersionFetch() = default;
    // Cancels a fetch still running; its thread ends on its own and posts nothing.
    ~VersionFetch();
    VersionFetch(const VersionFetch&) = delete;
    VersionFetch& operator=(const VersionFetch&) = delete;

    // Fetches on a new thread and then posts message to window; result() holds what it found.
    void start(const CString& url, const Limits& limits, HWND window, UINT message);
    void cancel();
    // The version fetched; empty while running, after a failure and after cancel().
    CString result() const;

private:
    struct State;
    std::shared_ptr<State> m_state;
};
