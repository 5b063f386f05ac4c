#include "core_iface/VReaderWriterLock.h"

#include "support/rw_lock.h"

VReaderWriterLock::VReaderWriterLock() : m_lock(std::make_unique<corvantile::support::RwLock>()) {}

VReaderWriterLock::~VReaderWriterLock() = default;

void VReaderWriterLock::AcquireReaderLock() const {
    m_lock->acquire_read();
}

void VReaderWriterLock::ReleaseReaderLock() const {
    m_lock->release_read();
}

void VReaderWriterLock::AcquireWriterLock() {
    m_lock->acquire_write();
}

void VReaderWriterLock::ReleaseWriterLock() {
    m_lock->release_write();
}
