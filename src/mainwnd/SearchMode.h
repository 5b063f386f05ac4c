// The search bar's input mode: what the text in the edit box currently stands for.
#pragma once

enum class SearchMode {
    Idle = 0,         // nothing under way
    Searching = 1,    // a core search was started for the text
    ActionChosen = 2, // an action is current and the text is its argument
    FileBrowsing = 3, // the text is a drive path and the list shows that folder
};
