// The messages that the search bar's controls send to the bar (always with SendMessage, so on
// the window thread and in order).
#pragma once

#include <windows.h>

// Edit box: the typing delay elapsed, or the text changed while browsing folders.
// wParam 0, lParam the edit box's control id.
constexpr UINT WM_CL_TEXTCHANGED = WM_APP + 1;
// Edit box: Enter that the results list did not take. wParam 0, lParam the control id.
constexpr UINT WM_CL_RUN = WM_APP + 3;
// Edit box: Escape that the list did not take, or Backspace on an empty action argument.
constexpr UINT WM_CL_CANCEL = WM_APP + 4;
// Edit box: Tab that the list did not take.
constexpr UINT WM_CL_TAB = WM_APP + 5;
// Results list: an element was chosen. wParam the VElement*.
constexpr UINT WM_LIST_ELEMENTCHOSEN = WM_APP + 10;
// Action chooser: an action was chosen. wParam the VAction*, lParam the VProperty*.
constexpr UINT WM_LIST_ACTIONCHOSEN = WM_APP + 11;
// Property chooser: a property was chosen. wParam the VProperty*, lParam the VAction*.
constexpr UINT WM_LIST_PROPERTYCHOSEN = WM_APP + 12;

// Update check: the version file read at start-up has arrived (or failed).
constexpr UINT WM_CL_UPDATE_FETCHED = WM_APP + 20;
