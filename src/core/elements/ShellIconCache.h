// The shell's small icons of files and folders, loaded off the window thread and kept.
//
// Asking the shell for a file's icon can take many milliseconds (it may open the file to read
// an icon out of it), far too long for a paint that shows a dozen new results. So a paint asks
// the cache, which answers at once: with the icon when it has it, otherwise with nothing (the
// result shows a stand-in) while a thread of the cache loads it. Once icons have come, the
// visible windows of the thread that asked for them are invalidated, and their next paint
// finds them.
//
// Files of most kinds show the icon of their kind (".pdf"), kept once per kind; programs,
// shortcuts, icon files and folders may each have their own and are kept per path.
#pragma once

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>

#include "framework/CString.h"

namespace corvantile::core {

using SharedIcon = std::shared_ptr<std::remove_pointer_t<HICON>>;

class ShellIconCache {
public:
    struct Answer {
        bool known = false; // false: being loaded, ask again at the next paint
        SharedIcon icon;    // null when known to have none
    };

    static ShellIconCache& instance();

    // maxPaths: icons kept per path at most; beyond, the oldest are forgotten (the results that
    // show them still hold theirs).
    explicit ShellIconCache(std::size_t maxPaths = kMaxPaths) : m_maxPaths(maxPaths) {}
    ~ShellIconCache();
    ShellIconCache(const ShellIconCache&) = delete;
    ShellIconCache& operator=(const ShellIconCache&) = delete;

    // The icon of a file or folder (folder: the path names a folder); never waits for the shell.
    Answer iconFor(const CString& path, bool folder);

    // Ends the loading thread; later requests start it again.
    void stop();

    static constexpr std::size_t kMaxPaths = 1024;
    // Requests waiting at most; the oldest are dropped (their rows have scrolled away or been
    // replaced by newer results).
    static constexpr std::size_t kMaxPending = 256;

    // The key an icon is kept under: "<folder>", "path:" and the lower-case path for files
    // with icons of their own, or the lower-case extension with its dot ("." for none).
    static std::string keyFor(const CString& path, bool folder);

private:
    struct Request {
        std::string key;
        CString path;
        bool folder = false;
        DWORD thread = 0;
    };

    void run();
    SharedIcon load(const Request& request);
    void store(const std::string& key, SharedIcon icon);

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::unordered_map<std::string, SharedIcon> m_icons;
    std::deque<std::string> m_pathOrder;      // per-path keys, oldest first
    std::deque<Request> m_pending;            // newest last
    std::unordered_set<std::string> m_queued; // keys pending or being loaded
    std::thread m_thread;
    std::chrono::steady_clock::time_point m_lastRequest;
    std::size_t m_maxPaths;
    bool m_stopping = false;
};

} // namespace corvantile::core
