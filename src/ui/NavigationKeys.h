// The keys that move a list's selection: the results list, the choosers and the edit box that
// passes them on agree on this one set.
#pragma once

#include <windows.h>

inline bool isNavigationKey(UINT key) {
    switch (key) {
    case VK_DOWN:
    case VK_UP:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_HOME:
    case VK_END:
        return true;
    default:
        return false;
    }
}
