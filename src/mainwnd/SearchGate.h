// Decides which elements that the core reports reach the results list.
//
// The core reports elements on its own threads, tagged with the id of their search. Only the
// search that the bar waits for gets through; elements of any other search are dropped, and
// the results among them, which belong to their receiver, are freed. A search's first elements
// may arrive before startSeach has handed the bar its id: while a search is being started they
// are held, and the ones of the new search go through as soon as its id is known.
//
// The check and the hand-over happen under one mutex, so once close() has returned no element
// reaches the list until the next open(). The window thread never waits for a core thread
// except for that short hand-over (which itself waits for no window).
#pragma once

#include <functional>
#include <mutex>
#include <vector>

#include <windows.h>

class VElement;

class CSearchGate {
public:
    // Where accepted elements go: batch elements through the list's addElements, single ones
    // through addElement.
    using Sink = std::function<void(VElement** elements, int count, bool batch)>;

    explicit CSearchGate(Sink sink);
    ~CSearchGate();
    CSearchGate(const CSearchGate&) = delete;
    CSearchGate& operator=(const CSearchGate&) = delete;

    // Window thread, just before startSeach: elements of unknown searches are held from now on.
    void beginStart();
    // Window thread, after startSeach: the search with this id gets through; the held elements
    // of it go first, in their order, and the others are dropped.
    void open(DWORD searchId);
    // Window thread: no search gets through any more; held elements are dropped.
    void close();

    // Core threads: elements of search searchId.
    void deliver(DWORD searchId, VElement** elements, int count, bool batch);

    // The search that gets through, or 0.
    DWORD acceptedId() const;

private:
    struct Held {
        DWORD searchId;
        std::vector<VElement*> elements;
        bool batch;
    };

    static void drop(VElement** elements, int count);
    void dropHeld();

    Sink m_sink;
    mutable std::mutex m_mutex;
    DWORD m_accepted = 0;
    bool m_starting = false;
    std::vector<Held> m_held;
};
