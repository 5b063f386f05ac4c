// The listeners registered with the core, and the handing over of elements to them from the
// worker threads. Unregistering waits until no call to that listener is under way, handling
// the messages that other threads send meanwhile, so a listener that waits for the window
// thread cannot dead-lock with it.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include <windows.h>

#include "core_iface/VListener.h"

namespace corvantile::core {

class ListenerHub {
public:
    ListenerHub() = default;
    ListenerHub(const ListenerHub&) = delete;
    ListenerHub& operator=(const ListenerHub&) = delete;

    void add(VResultListener* listener);
    void add(VActionListener* listener);
    // After this returns, the listener is not called again.
    void remove(VListener* listener);
    // Waits until no listener call is under way.
    void waitIdle();
    // While closed, nothing is handed to any listener (when the core stops).
    void setClosed(bool closed);

    bool hasResultListeners() const;
    bool hasActionListeners() const;

    // Hands a batch of elements to every result listener; make builds a fresh batch for each
    // one (results belong to their receiver). Returns the number of listeners called.
    int deliverResults(DWORD searchId, const std::function<std::vector<VElement*>()>& make);
    // Hands an action to every action listener.
    int deliverAction(DWORD searchId, VElement* action);

private:
    struct Entry {
        VListener* listener = nullptr;
        VResultListener* results = nullptr; // null for an action listener
        std::atomic<int> calls{0};
    };
    using Entries = std::vector<std::shared_ptr<Entry>>;

    Entries snapshot(bool results);
    // Waits until entry has no call under way (or returns at once inside one of its calls).
    static void waitFor(const Entry& entry);

    mutable std::mutex m_mutex;
    Entries m_entries;
    bool m_closed = false;
};

} // namespace corvantile::core
