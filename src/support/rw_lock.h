// A reader/writer lock: many readers at once, or one writer alone. Both sides nest on their own
// thread, and the writer's thread may also take and release the lock as a reader. It is fair:
// writers are served in order of arrival, new readers wait while a writer waits, and the
// readers that were waiting when a writer finishes go in before the next writer. So neither
// side starves. A thread that holds it only as a reader must not ask for it as a writer.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <unordered_map>

namespace corvantile::support {

class RwLock {
public:
    RwLock() = default;
    RwLock(const RwLock&) = delete;
    RwLock& operator=(const RwLock&) = delete;

    void acquire_read();
    void release_read();
    void acquire_write();
    void release_write();

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::thread::id m_writer; // no thread when nobody writes
    int m_write_depth = 0;
    std::unordered_map<std::thread::id, int> m_reads; // nesting count of each reading thread
    int m_waiting_readers = 0;
    int m_admitted_readers = 0;      // readers let in by the last writer and not yet in
    std::uint64_t m_generation = 0;  // counts the writers that let waiting readers in
    std::uint64_t m_next_ticket = 0; // writers' turns, in order of arrival
    std::uint64_t m_serving = 0;
};

// Holds the lock as a reader for a scope.
class ReadGuard {
public:
    explicit ReadGuard(RwLock& lock) : m_lock(lock) { m_lock.acquire_read(); }
    ~ReadGuard() { m_lock.release_read(); }
    ReadGuard(const ReadGuard&) = delete;
    ReadGuard& operator=(const ReadGuard&) = delete;

private:
    RwLock& m_lock;
};

// Holds the lock as the writer for a scope.
class WriteGuard {
public:
    explicit WriteGuard(RwLock& lock) : m_lock(lock) { m_lock.acquire_write(); }
    ~WriteGuard() { m_lock.release_write(); }
    WriteGuard(const WriteGuard&) = delete;
    WriteGuard& operator=(const WriteGuard&) = delete;

private:
    RwLock& m_lock;
};

} // namespace corvantile::support
