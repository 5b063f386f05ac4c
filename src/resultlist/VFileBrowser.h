// Lists a folder in the results list when the user types a drive path: the entries of the typed
// folder whose names begin with the text's last part, folders first, as file results. The folder
// is read on a thread of its own, so a slow share or an empty drive never holds the window up;
// only the latest listing asked for reaches the list.
#pragma once

#include <memory>

class VElementListCtrl;

class VFileBrowser {
public:
    explicit VFileBrowser(VElementListCtrl* list);
    // Listings still running end on their own and add nothing.
    ~VFileBrowser();
    VFileBrowser(const VFileBrowser&) = delete;
    VFileBrowser& operator=(const VFileBrowser&) = delete;

    // Starts listing the folder that text names (e.g. "c:\Win" lists the entries of C:\ that
    // begin with "Win") in place of any listing under way. Hidden and system entries and the dot
    // entries are left out; a folder's path ends in a backslash. Nothing is listed for a text
    // without a folder part or a folder that does not exist. Window thread.
    void browse(const char* text);
    // Keeps the listing under way out of the list. Window thread.
    void cancel();

private:
    struct State;
    std::shared_ptr<State> m_state;
};
