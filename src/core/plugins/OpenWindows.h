// The top-level windows a user would switch to, and switching to and closing them. Texts are
// UTF-8.
#pragma once

#include <vector>

#include <windows.h>

#include "framework/CString.h"

namespace corvantile::core {

struct OpenWindow {
    HWND window = nullptr;
    CString title;
    CString program; // the full path of the program that shows it; empty when unknown
};

// Whether a user would switch to the window: shown and not cloaked, titled, not a tool window,
// unowned (or marked as an app window), and not one of the process ownProcess.
bool isSwitchable(HWND window, DWORD ownProcess);

// The switchable windows, front to back.
std::vector<OpenWindow> listOpenWindows(DWORD ownProcess);

// A window's handle as text ("0x1A2B") and back; null for text that names no window.
CString windowHandleText(HWND window);
HWND windowFromText(const CString& text);

// Restores the window when minimised and brings it to the front; false when it is gone or
// stays behind.
bool switchToWindow(HWND window);
// Asks the window to close, as its close button would; false when it is gone.
bool closeWindow(HWND window);

} // namespace corvantile::core
