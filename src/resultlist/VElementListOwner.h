// What the results list asks of the window that owns it, besides the messages it sends it
// (ui/OwnerMessages.h). The owner's window implements it; an owner that does not is taken to
// be searching, never browsing folders.
#pragma once

class VElementListOwner {
public:
    // True while the list shows a folder's entries rather than search results: Left and Right
    // then walk up and down the folders.
    virtual bool isBrowsingFolders() const = 0;

protected:
    ~VElementListOwner() = default;
};
