// The folders a walk has queued, listed a few ahead of it on worker threads while the walk hands
// over the entries of the folder before. Folders come out in the order they were queued, each
// with all its entries, so what the walk reports does not depend on which listing ended first.
#pragma once

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace corvantile::core {

class DirectoryLister;

// One folder's entries, as its lister gave them.
class ListedFolder {
public:
    ListedFolder(std::wstring path, int level) : m_path(std::move(path)), m_level(level) {}

    const std::wstring& path() const { return m_path; }
    int level() const { return m_level; }
    // False when the folder could not be opened.
    bool opened() const { return m_opened; }
    std::size_t size() const { return m_entries.size(); }
    DWORD attributes(std::size_t i) const { return m_entries[i].attributes; }
    std::wstring_view name(std::size_t i) const {
        return std::wstring_view(m_names).substr(m_entries[i].offset, m_entries[i].length);
    }

private:
    friend class FolderReadAhead;
    enum class State { Queued, Listing, Listed };
    struct Entry {
        std::size_t offset;
        std::uint32_t length;
        DWORD attributes;
    };

    std::wstring m_path;
    int m_level;
    State m_state = State::Queued;
    bool m_opened = false;
    std::vector<Entry> m_entries;
    std::wstring m_names; // every entry's name, one after the other
    std::exception_ptr m_failure;
};

class FolderReadAhead {
public:
    // window: how many queued folders may be listed before the walk takes them.
    FolderReadAhead(const DirectoryLister& lister, std::size_t window);
    // Ends the listings under way at their next entry and joins the workers.
    ~FolderReadAhead();
    FolderReadAhead(const FolderReadAhead&) = delete;
    FolderReadAhead& operator=(const FolderReadAhead&) = delete;

    // Queues a folder after those queued before. Workers start with the second folder queued,
    // so that a walk of one folder lists it on its own thread.
    void queue(std::wstring path, int level);
    bool empty() const;

    // The first queued folder, listed: here when no worker has begun it, else once the worker is
    // done. Rethrows what its lister threw. nullptr when stop (may be null) turned true first.
    std::unique_ptr<ListedFolder> next(const std::function<bool()>& stop);

    // Worker threads for a walk on this machine: its hardware threads, at least 2, at most 4.
    static std::size_t workerCount();

private:
    void startWorkers();
    void work();
    void list(ListedFolder& folder, const std::function<bool()>& stop);
    bool claimable() const { return m_claimed < m_slots.size() && m_claimed < m_window; }

    const DirectoryLister& m_lister;
    const std::size_t m_window;
    mutable std::mutex m_mutex;
    std::condition_variable m_work;   // a folder can be claimed, or the walk ended
    std::condition_variable m_listed; // a worker finished a folder
    std::deque<std::unique_ptr<ListedFolder>> m_slots;
    std::size_t m_claimed = 0; // the first slots, being listed or listed
    std::size_t m_queuedEver = 0;
    std::atomic<bool> m_ended{false};
    std::vector<std::thread> m_workers;
};

} // namespace corvantile::core
