// What the program implements to receive the elements of a search. The core calls these on
// its own worker threads; a listener compares the search id with the search it waits for.
#pragma once

#include <windows.h>

class VElement;

class VListener {
public:
    VListener() = default;
    VListener(const VListener&) = delete;
    VListener& operator=(const VListener&) = delete;

    // Frees the listener.
    virtual void deleteThis() = 0;
    // One element of search searchId. A result (element type 1) now belongs to the listener.
    virtual void elementFound(DWORD searchId, VElement* element) = 0;

protected:
    virtual ~VListener() = default;
};

// Receives the results of searches, usually in batches, best first.
class VResultListener : public VListener {
public:
    // count elements of search searchId; each result now belongs to the listener.
    virtual void elementsFound(DWORD searchId, VElement** elements, int count) = 0;
};

// Receives the actions whose names match a search; the core keeps owning them.
class VActionListener : public VListener {};
