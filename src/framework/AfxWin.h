// The framework's common header: Win32, the string and rectangle types, and the global
// helpers of the application (its object, instance, main window, message boxes, classes).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "framework/CRect.h"
#include "framework/CString.h"

class CWinApp;
class CWnd;

// The program's application object, or null when none was constructed.
CWinApp* AfxGetApp();
// The module that holds the program's resources (the running executable).
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
// The application's main window (m_pMainWnd), or null.
CWnd* AfxGetMainWnd();
// The application's name, the caption of its message boxes.
const char* AfxGetAppName();
// The full path of the running program's own file, however long.
CString AfxGetProgramPath();

// A message box owned by the main window (or by the dialog that it is running), captioned with
// the application's name. Returns the button that closed it.
int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpId = 0);
// The same with the text of a string resource of the program.
int AfxMessageBox(UINT stringId, UINT type = MB_OK);

void AfxPostQuitMessage(int exitCode);

// Registers (once) a window class handled by the framework with these attributes and returns
// its name, valid for the life of the process.
const char* AfxRegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr,
                                HBRUSH background = nullptr, HICON icon = nullptr);
