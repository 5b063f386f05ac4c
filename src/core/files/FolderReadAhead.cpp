#include "core/files/FolderReadAhead.h"

#include <algorithm>
#include <chrono>

#include "core/files/FileWalker.h"
#include "support/event_report.h"

namespace corvantile::core {

FolderReadAhead::FolderReadAhead(const DirectoryLister& lister, std::size_t window)
    : m_lister(lister), m_window(std::max<std::size_t>(window, 1)) {}

FolderReadAhead::~FolderReadAhead() {
    {
        std::lock_guard lock(m_mutex);
        m_ended = true;
    }
    m_work.notify_all();
    for (std::thread& worker : m_workers)
        worker.join();
}

std::size_t FolderReadAhead::workerCount() {
    return std::clamp<std::size_t>(std::thread::hardware_concurrency(), 2, 4);
}

bool FolderReadAhead::empty() const {
    std::lock_guard lock(m_mutex);
    return m_slots.empty();
}

void FolderReadAhead::queue(std::wstring path, int level) {
    bool wake = false;
    {
        std::lock_guard lock(m_mutex);
        m_slots.push_back(std::make_unique<ListedFolder>(std::move(path), level));
        wake = claimable();
    }
    if (++m_queuedEver == 2)
        startWorkers();
    else if (wake)
        m_work.notify_one();
}

void FolderReadAhead::startWorkers() {
    const std::size_t count = workerCount();
    try {
        for (std::size_t i = 0; i < count; ++i)
            m_workers.emplace_back([this] { work(); });
    } catch (...) {
        // The walk goes on with the workers it has, or lists every folder itself.
        support::report_caught("the start of the folder read-ahead");
    }
}

std::unique_ptr<ListedFolder> FolderReadAhead::next(const std::function<bool()>& stop) {
    std::unique_lock lock(m_mutex);
    ListedFolder* front = m_slots.front().get();
    if (front->m_state == ListedFolder::State::Queued) {
        // No worker has begun it: waiting for one would only add their wake-up.
        front->m_state = ListedFolder::State::Listing;
        ++m_claimed;
        lock.unlock();
        list(*front, stop);
        if (stop && stop())
            return nullptr; // its listing may have ended early
        lock.lock();
        front->m_state = ListedFolder::State::Listed;
    }
    while (front->m_state != ListedFolder::State::Listed) {
        // A worker lists it; stop is asked now and then, as the walk does between entries.
        m_listed.wait_for(lock, std::chrono::milliseconds(20));
        if (front->m_state != ListedFolder::State::Listed && stop) {
            lock.unlock();
            const bool stopped = stop();
            lock.lock();
            if (stopped)
                return nullptr;
        }
    }
    std::unique_ptr<ListedFolder> taken = std::move(m_slots.front());
    m_slots.pop_front();
    --m_claimed;
    const bool wake = claimable();
    lock.unlock();
    if (wake)
        m_work.notify_one();
    if (taken->m_failure)
        std::rethrow_exception(taken->m_failure);
    return taken;
}

void FolderReadAhead::work() {
    support::run_reporting("the folder read-ahead", [this] {
        std::unique_lock lock(m_mutex);
        while (true) {
            m_work.wait(lock, [this] { return m_ended || claimable(); });
            if (m_ended)
                return;
            ListedFolder& folder = *m_slots[m_claimed++];
            folder.m_state = ListedFolder::State::Listing;
            lock.unlock();
            list(folder, nullptr);
            lock.lock();
            folder.m_state = ListedFolder::State::Listed;
            m_listed.notify_one();
        }
    });
}

void FolderReadAhead::list(ListedFolder& folder, const std::function<bool()>& stop) {
    try {
        folder.m_opened = m_lister.list(folder.m_path, [&](const WIN32_FIND_DATAW& data) {
            if (m_ended.load(std::memory_order_relaxed) || (stop && stop()))
                return false;
            const std::size_t length = wcsnlen(data.cFileName, MAX_PATH);
            folder.m_entries.push_back(
                {folder.m_names.size(), static_cast<std::uint32_t>(length), data.dwFileAttributes});
            folder.m_names.append(data.cFileName, length);
            return true;
        });
    } catch (...) {
        folder.m_failure = std::current_exception();
    }
}

} // namespace corvantile::core
