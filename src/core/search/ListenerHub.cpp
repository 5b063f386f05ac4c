#include "core/search/ListenerHub.h"

#include <algorithm>

#include "support/event_report.h"

namespace corvantile::core {
namespace {

// The listener entries whose calls the current thread is inside of.
thread_local int t_deliveryDepth = 0;

// Lets the current thread handle messages sent to its windows while it waits.
void pumpSentMessages() {
    MsgWaitForMultipleObjectsEx(0, nullptr, 2, QS_SENDMESSAGE, 0);
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

class CallScope {
public:
    explicit CallScope(std::atomic<int>& calls) : m_calls(calls) { ++t_deliveryDepth; }
    ~CallScope() {
        --t_deliveryDepth;
        m_calls.fetch_sub(1);
    }
    CallScope(const CallScope&) = delete;
    CallScope& operator=(const CallScope&) = delete;

private:
    std::atomic<int>& m_calls;
};

} // namespace

void ListenerHub::add(VResultListener* listener) {
    if (!listener)
        return;
    auto entry = std::make_shared<Entry>();
    entry->listener = listener;
    entry->results = listener;
    std::lock_guard lock(m_mutex);
    m_entries.push_back(std::move(entry));
}

void ListenerHub::add(VActionListener* listener) {
    if (!listener)
        return;
    auto entry = std::make_shared<Entry>();
    entry->listener = listener;
    std::lock_guard lock(m_mutex);
    m_entries.push_back(std::move(entry));
}

void ListenerHub::remove(VListener* listener) {
    Entries removed;
    {
        std::lock_guard lock(m_mutex);
        const auto keep =
            std::stable_partition(m_entries.begin(), m_entries.end(),
                                  [&](const auto& e) { return e->listener != listener; });
        removed.assign(keep, m_entries.end());
        m_entries.erase(keep, m_entries.end());
    }
    for (const auto& entry : removed)
        waitFor(*entry);
}

void ListenerHub::waitIdle() {
    Entries all;
    {
        std::lock_guard lock(m_mutex);
        all = m_entries;
    }
    for (const auto& entry : all)
        waitFor(*entry);
}

void ListenerHub::setClosed(bool closed) {
    std::lock_guard lock(m_mutex);
    m_closed = closed;
}

bool ListenerHub::hasResultListeners() const {
    std::lock_guard lock(m_mutex);
    return std::any_of(m_entries.begin(), m_entries.end(),
                       [](const auto& e) { return e->results; });
}

bool ListenerHub::hasActionListeners() const {
    std::lock_guard lock(m_mutex);
    return std::any_of(m_entries.begin(), m_entries.end(),
                       [](const auto& e) { return !e->results; });
}

ListenerHub::Entries ListenerHub::snapshot(bool results) {
    Entries chosen;
    std::lock_guard lock(m_mutex);
    if (m_closed)
        return chosen;
    for (const auto& entry : m_entries) {
        if ((entry->results != nullptr) == results) {
            entry->calls.fetch_add(1);
            chosen.push_back(entry);
        }
    }
    return chosen;
}

int ListenerHub::deliverResults(DWORD searchId,
                                const std::function<std::vector<VElement*>()>& make) {
    const Entries entries = snapshot(true);
    for (const auto& entry : entries) {
        CallScope scope(entry->calls);
        std::vector<VElement*> elements = make();
        if (elements.empty())
            continue;
        // A listener's failure must not reach the worker thread; its batch is lost.
        try {
            entry->results->elementsFound(searchId, elements.data(),
                                          static_cast<int>(elements.size()));
        } catch (...) {
            corvantile::support::report_caught("a results listener");
        }
    }
    return static_cast<int>(entries.size());
}

int ListenerHub::deliverAction(DWORD searchId, VElement* action) {
    const Entries entries = snapshot(false);
    for (const auto& entry : entries) {
        CallScope scope(entry->calls);
        try {
            entry->listener->elementFound(searchId, action);
        } catch (...) {
            corvantile::support::report_caught("an action listener");
        }
    }
    return static_cast<int>(entries.size());
}

void ListenerHub::waitFor(const Entry& entry) {
    // A listener that unregisters itself from inside its own call cannot wait for that call.
    if (t_deliveryDepth > 0)
        return;
    while (entry.calls.load() > 0)
        pumpSentMessages();
}

} // namespace corvantile::core
