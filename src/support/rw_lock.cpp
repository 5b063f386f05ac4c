#include "support/rw_lock.h"

namespace corvantile::support {

void RwLock::acquire_read() {
    const auto self = std::this_thread::get_id();
    std::unique_lock lock(m_mutex);
    // The writer reading its own data, and a reader nesting, go in at once: making them wait
    // for a waiting writer would deadlock.
    if (m_writer == self || m_reads.contains(self)) {
        ++m_reads[self];
        return;
    }
    const std::uint64_t arrived = m_generation;
    ++m_waiting_readers;
    // A waiting writer holds new readers back, except those that were waiting when the last
    // writer finished: they have their turn before the next writer.
    m_changed.wait(lock, [&] {
        return m_writer == std::thread::id() &&
               (m_next_ticket == m_serving || arrived != m_generation);
    });
    --m_waiting_readers;
    if (arrived != m_generation && m_admitted_readers > 0)
        --m_admitted_readers;
    m_reads[self] = 1;
}

void RwLock::release_read() {
    const auto self = std::this_thread::get_id();
    std::unique_lock lock(m_mutex);
    const auto found = m_reads.find(self);
    if (found == m_reads.end())
        return;
    if (--found->second == 0) {
        m_reads.erase(found);
        if (m_reads.empty())
            m_changed.notify_all();
    }
}

void RwLock::acquire_write() {
    const auto self = std::this_thread::get_id();
    std::unique_lock lock(m_mutex);
    if (m_writer == self) {
        ++m_write_depth;
        return;
    }
    const std::uint64_t ticket = m_next_ticket++;
    m_changed.wait(lock, [&] {
        return m_serving == ticket && m_writer == std::thread::id() && m_reads.empty() &&
               m_admitted_readers == 0;
    });
    m_writer = self;
    m_write_depth = 1;
}

void RwLock::release_write() {
    std::unique_lock lock(m_mutex);
    if (m_writer != std::this_thread::get_id())
        return;
    if (--m_write_depth > 0)
        return;
    m_writer = std::thread::id();
    ++m_serving;
    if (m_waiting_readers > 0) {
        m_admitted_readers = m_waiting_readers;
        ++m_generation;
    }
    m_changed.notify_all();
}

} // namespace corvantile::support
