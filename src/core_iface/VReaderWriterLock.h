// The reader/writer lock that guards the results list against the core's threads: several
// readers at once, or one writer alone. Acquire and release in pairs on one thread; both sides
// nest, and the writer's own thread may also take and release the lock as a reader. Waiting
// writers are served in turn and hold new readers back, so neither side starves. A thread that
// holds the lock only as a reader must not ask for it as a writer.
#pragma once

#include <memory>

namespace corvantile::support {
class RwLock;
}

class VReaderWriterLock {
public:
    VReaderWriterLock();
    ~VReaderWriterLock();
    VReaderWriterLock(const VReaderWriterLock&) = delete;
    VReaderWriterLock& operator=(const VReaderWriterLock&) = delete;

    void AcquireReaderLock() const;
    void ReleaseReaderLock() const;
    void AcquireWriterLock();
    void ReleaseWriterLock();

private:
    std::unique_ptr<corvantile::support::RwLock> m_lock;
};

// Holds the lock as a reader for a scope.
class VReadLock {
public:
    explicit VReadLock(const VReaderWriterLock& lock) : m_lock(lock) { m_lock.AcquireReaderLock(); }
    ~VReadLock() { m_lock.ReleaseReaderLock(); }
    VReadLock(const VReadLock&) = delete;
    VReadLock& operator=(const VReadLock&) = delete;

private:
    const VReaderWriterLock& m_lock;
};

// Holds the lock as the writer for a scope.
class VWriteLock {
public:
    explicit VWriteLock(VReaderWriterLock& lock) : m_lock(lock) { m_lock.AcquireWriterLock(); }
    ~VWriteLock() { m_lock.ReleaseWriterLock(); }
    VWriteLock(const VWriteLock&) = delete;
    VWriteLock& operator=(const VWriteLock&) = delete;

private:
    VReaderWriterLock& m_lock;
};
