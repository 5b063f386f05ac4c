#include "mainwnd/SearchGate.h"

#include "core_iface/VElement.h"

CSearchGate::CSearchGate(Sink sink) : m_sink(std::move(sink)) {}

CSearchGate::~CSearchGate() {
    close();
}

void CSearchGate::drop(VElement** elements, int count) {
    for (int i = 0; elements && i < count; ++i) {
        if (elements[i] && elements[i]->getElementType() == VElement::kResult)
            elements[i]->deleteThis();
    }
}

void CSearchGate::dropHeld() {
    for (Held& held : m_held)
        drop(held.elements.data(), static_cast<int>(held.elements.size()));
    m_held.clear();
}

void CSearchGate::beginStart() {
    std::lock_guard lock(m_mutex);
    dropHeld();
    m_accepted = 0;
    m_starting = true;
}

void CSearchGate::open(DWORD searchId) {
    std::lock_guard lock(m_mutex);
    m_accepted = searchId;
    m_starting = false;
    std::vector<Held> held;
    held.swap(m_held);
    for (Held& entry : held) {
        const int count = static_cast<int>(entry.elements.size());
        if (entry.searchId == searchId && searchId != 0)
            m_sink(entry.elements.data(), count, entry.batch);
        else
            drop(entry.elements.data(), count);
    }
}

void CSearchGate::close() {
    std::lock_guard lock(m_mutex);
    dropHeld();
    m_accepted = 0;
    m_starting = false;
}

void CSearchGate::deliver(DWORD searchId, VElement** elements, int count, bool batch) {
    if (!elements || count < 0)
        return;
    std::lock_guard lock(m_mutex);
    if (searchId != 0 && searchId == m_accepted) {
        m_sink(elements, count, batch);
    } else if (m_starting) {
        m_held.push_back(Held{searchId, std::vector<VElement*>(elements, elements + count), batch});
    } else {
        drop(elements, count);
    }
}

DWORD CSearchGate::acceptedId() const {
    std::lock_guard lock(m_mutex);
    return m_accepted;
}
