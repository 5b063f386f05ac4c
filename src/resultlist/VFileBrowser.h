// Lists a folder in the results list when the user types a drive path: the entries of the typed
// folder whose names begin with the text's last part, folders first, as file results.
#pragma once

class VElementListCtrl;

class VFileBrowser {
public:
    explicit VFileBrowser(VElementListCtrl* list) : m_list(list) {}

    // Lists the folder that text names (e.g. "c:\Win" lists the entries of C:\ that begin with
    // "Win"). Hidden and system entries and the dot entries are left out; a folder's path ends
    // in a backslash. Nothing is listed for a text without a folder part or a folder that does
    // not exist. Window thread.
    void browse(const char* text);

private:
    VElementListCtrl* m_list;
};
