#include "core/elements/ShellIconCache.h"

#include <algorithm>
#include <chrono>
#include <vector>

#include "core/elements/IconBitmaps.h"
#include "core/elements/Icons.h"
#include "core/shell/Shell.h"
#include "support/event_report.h"

namespace corvantile::core {
namespace {

// Kinds of file whose every file may carry an icon of its own.
constexpr const char* kOwnIconExtensions[] = {".exe", ".lnk", ".ico", ".cur", ".ani",
                                              ".url", ".scr", ".cpl", ".msc", ".appref-ms"};

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    });
    return text;
}

// The cache's icons are drawn often: they are kept as pictures too, until destroyed.
SharedIcon share(HICON icon) {
    if (!icon)
        return {};
    IconBitmaps::instance().keep(icon);
    return SharedIcon(icon, [](HICON shared) {
        IconBitmaps::instance().forget(shared);
        DestroyIcon(shared);
    });
}

BOOL CALLBACK invalidateVisible(HWND window, LPARAM) {
    if (IsWindowVisible(window))
        InvalidateRect(window, nullptr, FALSE);
    return TRUE;
}

} // namespace

ShellIconCache& ShellIconCache::instance() {
    // Made first, the pictures outlive the cache, whose icons forget theirs as they go.
    IconBitmaps::instance();
    static ShellIconCache cache;
    return cache;
}

ShellIconCache::~ShellIconCache() {
    stop();
}

std::string ShellIconCache::keyFor(const CString& path, bool folder) {
    if (folder)
        return "path:" + lowerCase(path.str());
    const std::string& text = path.str();
    const std::size_t slash = text.find_last_of("\\/");
    const std::size_t dot = text.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return ".";
    const std::string extension = lowerCase(text.substr(dot));
    for (const char* own : kOwnIconExtensions) {
        if (extension == own)
            return "path:" + lowerCase(text);
    }
    return extension;
}

ShellIconCache::Answer ShellIconCache::iconFor(const CString& path, bool folder) {
    std::string key = keyFor(path, folder);
    std::lock_guard lock(m_mutex);
    if (const auto found = m_icons.find(key); found != m_icons.end())
        return {true, found->second};
    if (!m_queued.contains(key)) {
        if (m_pending.size() >= kMaxPending) {
            m_queued.erase(m_pending.front().key);
            m_pending.pop_front();
        }
        m_queued.insert(key);
        m_pending.push_back({std::move(key), path, folder, GetCurrentThreadId()});
        m_lastRequest = std::chrono::steady_clock::now();
        if (!m_thread.joinable()) {
            m_stopping = false;
            m_thread = std::thread(
                [this] { support::run_reporting("the icon loader", [this] { run(); }); });
        }
        m_wake.notify_one();
    }
    return {};
}

void ShellIconCache::stop() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_pending.clear();
        m_queued.clear();
    }
    m_wake.notify_one();
    if (m_thread.joinable())
        m_thread.join();
}

SharedIcon ShellIconCache::load(const Request& request) {
    if (request.key.starts_with("path:"))
        return share(shellIconForFile(request.path));
    const std::string sample = "file" + (request.key == "." ? std::string() : request.key);
    return share(shellIconForKind(CString(sample.c_str()).W().c_str(), false));
}

void ShellIconCache::store(const std::string& key, SharedIcon icon) {
    std::lock_guard lock(m_mutex);
    m_queued.erase(key);
    m_icons[key] = std::move(icon);
    if (!key.starts_with("path:"))
        return;
    m_pathOrder.push_back(key);
    if (m_pathOrder.size() > m_maxPaths) {
        m_icons.erase(m_pathOrder.front());
        m_pathOrder.pop_front();
    }
}

// Loads the newest requests first (the rows on screen now), and has the windows of the threads
// that asked repainted whenever the queue runs dry, and at least every 50 ms while it does not.
void ShellIconCache::run() {
    using Clock = std::chrono::steady_clock;
    constexpr auto kQuiet = std::chrono::milliseconds(5);
    ComScope com;
    std::vector<DWORD> waiting;
    Clock::time_point lastNotice = Clock::now();
    for (;;) {
        Request request;
        bool drained = false;
        {
            std::unique_lock lock(m_mutex);
            if (m_pending.empty() && waiting.empty())
                m_wake.wait(lock, [this] { return m_stopping || !m_pending.empty(); });
            // A paint asks for the icons of its rows one after the other: loading starts once
            // it has finished, so as not to slow it down.
            while (!m_stopping && Clock::now() - m_lastRequest < kQuiet)
                m_wake.wait_for(lock, kQuiet);
            if (m_stopping)
                return;
            if (m_pending.empty()) {
                drained = true;
            } else {
                request = std::move(m_pending.back());
                m_pending.pop_back();
            }
        }
        if (!drained) {
            store(request.key, load(request));
            if (std::find(waiting.begin(), waiting.end(), request.thread) == waiting.end())
                waiting.push_back(request.thread);
        }
        if (drained || Clock::now() - lastNotice > std::chrono::milliseconds(50)) {
            for (const DWORD thread : waiting)
                EnumThreadWindows(thread, invalidateVisible, 0);
            waiting.clear();
            lastNotice = Clock::now();
        }
    }
}

} // namespace corvantile::core
