// A small Windows tool that the end-to-end tests run beside the program, to do what another
// program or the shell would do to it and to read what only its own process can tell. The bar
// is found by its title; exit code 0 means done (or, for a question, yes).
//
//   probe hold MOD VK SECONDS  holds a hot-key, prints "held" (or exits 1), lets go later
//   probe window SECONDS       shows a plain window titled "Probe Window" for a while
//   probe tray-delete          removes the bar's tray icon (id 1), as a shell restart would
//   probe tray-exists          is the bar's tray icon there?
//   probe taskbar-created      broadcasts "TaskbarCreated", as a shell does when it starts
//   probe end-session          sends WM_QUERYENDSESSION, then WM_ENDSESSION with FALSE
//   probe focus                prints the bar thread's active and focus windows and the focused
//                              box's text; yes when the bar shows, is active and its edit box
//                              has the focus
//   probe dialog               is a dialog other than the bar showing in the bar's process?
//   probe command ID           posts the menu command ID to the bar, as its menus do
//   probe answers              does the bar answer a message within a second?
//   probe says TEXT            does a dialog of the bar's process show this text?
//   probe prefs-ok CONTROL     clicks the check box CONTROL in the Preferences, then their OK
//   probe bars                 prints how many processes show a bar (a window titled Corvantile)
//   probe foreground           prints the foreground window's title
//   probe foreground-is TEXT   does the foreground window's title hold TEXT?
//   probe watch-text SECONDS   prints the bar's edit box text whenever it changes, for a while,
//                              and "action" whenever the icon beside the box (the current
//                              action's) changes
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <set>
#include <string>

namespace {

HWND findBar() {
    return FindWindowW(nullptr, L"Corvantile");
}

bool notifyBarIcon(DWORD command) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = findBar();
    data.uID = 1;
    return data.hWnd && Shell_NotifyIconW(command, &data);
}

int hold(UINT modifier, UINT key, int seconds) {
    if (!RegisterHotKey(nullptr, 1, modifier, key)) {
        std::puts("taken");
        return 1;
    }
    std::puts("held");
    std::fflush(stdout);
    Sleep(seconds * 1000);
    UnregisterHotKey(nullptr, 1);
    return 0;
}

int showWindow(int seconds) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"ProbeWindow";
    RegisterClassW(&windowClass);
    const HWND window =
        CreateWindowExW(0, L"ProbeWindow", L"Probe Window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 400,
                        300, 300, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window)
        return 1;
    const DWORD end = GetTickCount() + seconds * 1000;
    MSG msg;
    while (GetTickCount() < end) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    DestroyWindow(window);
    return 0;
}

int endSession() {
    const HWND bar = findBar();
    if (!bar)
        return 1;
    DWORD_PTR agreed = 0;
    SendMessageTimeoutW(bar, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &agreed);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(bar, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &ignored);
    std::printf("query answered %d\n", static_cast<int>(agreed));
    return 0;
}

void printWindow(const char* what, HWND window, HWND bar) {
    wchar_t name[64] = L"";
    if (window)
        GetClassNameW(window, name, 64);
    std::printf("%s=%s%ls ", what, window == bar ? "bar:" : "", window ? name : L"none");
}

int focus() {
    const HWND bar = findBar();
    if (!bar)
        return 1;
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(bar, nullptr), &info))
        return 1;
    printWindow("active", info.hwndActive, bar);
    printWindow("focus", info.hwndFocus, bar);
    printWindow("foreground", GetForegroundWindow(), bar);
    wchar_t text[256] = L"";
    DWORD_PTR copied = 0;
    if (info.hwndFocus)
        SendMessageTimeoutW(info.hwndFocus, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text),
                            SMTO_NORMAL, 5000, &copied);
    std::printf("text=%ls\n", text);
    wchar_t name[64] = L"";
    if (info.hwndFocus)
        GetClassNameW(info.hwndFocus, name, 64);
    const bool editFocused =
        info.hwndFocus && GetParent(info.hwndFocus) == bar && _wcsicmp(name, L"Edit") == 0;
    return info.hwndActive == bar && editFocused && IsWindowVisible(bar) ? 0 : 1;
}

struct DialogSearch {
    HWND bar;
    DWORD process;
    bool found;
};

BOOL CALLBACK findDialog(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<DialogSearch*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t name[16] = L"";
    GetClassNameW(window, name, 16);
    if (window != search->bar && process == search->process && IsWindowVisible(window) &&
        std::wcscmp(name, L"#32770") == 0)
        search->found = true;
    return TRUE;
}

int dialogShowing() {
    DialogSearch search{findBar(), 0, false};
    if (!search.bar)
        return 1;
    GetWindowThreadProcessId(search.bar, &search.process);
    EnumWindows(findDialog, reinterpret_cast<LPARAM>(&search));
    return search.found ? 0 : 1;
}

int postCommand(UINT id) {
    const HWND bar = findBar();
    return bar && PostMessageW(bar, WM_COMMAND, id, 0) ? 0 : 1;
}

int answers() {
    const HWND bar = findBar();
    DWORD_PTR ignored = 0;
    return bar && SendMessageTimeoutW(bar, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &ignored) ? 0 : 1;
}

struct TextSearch {
    DWORD process;
    std::wstring text;
    bool found;
};

BOOL CALLBACK findText(HWND control, LPARAM param) {
    auto* search = reinterpret_cast<TextSearch*>(param);
    wchar_t text[512] = L"";
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(control, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 1000,
                        &copied);
    if (search->text == text)
        search->found = true;
    return TRUE;
}

BOOL CALLBACK findTextInDialog(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<TextSearch*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t name[16] = L"";
    GetClassNameW(window, name, 16);
    if (process == search->process && IsWindowVisible(window) && std::wcscmp(name, L"#32770") == 0)
        EnumChildWindows(window, findText, param);
    return TRUE;
}

int says(const char* text) {
    const HWND bar = findBar();
    if (!bar)
        return 1;
    const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    TextSearch search{0, std::wstring(length > 0 ? length - 1 : 0, L'\0'), false};
    MultiByteToWideChar(CP_UTF8, 0, text, -1, search.text.data(), length);
    GetWindowThreadProcessId(bar, &search.process);
    EnumWindows(findTextInDialog, reinterpret_cast<LPARAM>(&search));
    return search.found ? 0 : 1;
}

struct ControlSearch {
    int id;
    HWND found;
};

BOOL CALLBACK findControl(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<ControlSearch*>(param);
    if (GetDlgCtrlID(window) != search->id || !IsWindowVisible(window))
        return TRUE;
    search->found = window;
    return FALSE;
}

// Clicks a check box of the Preferences (any page's), then the sheet's OK button.
int preferencesOk(int control) {
    const HWND sheet = FindWindowW(nullptr, L"Preferences");
    if (!sheet)
        return 1;
    ControlSearch box{control, nullptr};
    EnumChildWindows(sheet, findControl, reinterpret_cast<LPARAM>(&box));
    const HWND ok = GetDlgItem(sheet, IDOK);
    if (!box.found || !ok)
        return 1;
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(box.found, BM_CLICK, 0, 0, SMTO_NORMAL, 5000, &ignored);
    PostMessageW(ok, BM_CLICK, 0, 0);
    return 0;
}

BOOL CALLBACK collectBarProcess(HWND window, LPARAM param) {
    wchar_t title[32] = {};
    GetWindowTextW(window, title, 32);
    if (std::wcscmp(title, L"Corvantile") == 0) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        auto* processes = reinterpret_cast<std::set<DWORD>*>(param);
        processes->insert(process);
    }
    return TRUE;
}

int countBars() {
    std::set<DWORD> processes;
    EnumWindows(collectBarProcess, reinterpret_cast<LPARAM>(&processes));
    std::printf("%zu\n", processes.size());
    return 0;
}

int foreground(const char* part) {
    wchar_t title[256] = L"";
    GetWindowTextW(GetForegroundWindow(), title, 256);
    std::printf("%ls\n", title);
    if (!part)
        return 0;
    wchar_t wide[256] = L"";
    MultiByteToWideChar(CP_UTF8, 0, part, -1, wide, 256);
    return std::wcsstr(title, wide) ? 0 : 1;
}

// The bar's icon of the current action (its dialog item id).
constexpr int kActionIconId = 1032;

HWND barEditBox() {
    const HWND bar = findBar();
    return bar ? FindWindowExW(bar, nullptr, L"Edit", nullptr) : nullptr;
}

int watchText(int seconds) {
    const HWND edit = barEditBox();
    const HWND icon = GetDlgItem(findBar(), kActionIconId);
    if (!edit || !icon)
        return 1;
    std::puts("watching");
    std::fflush(stdout);
    std::wstring last = L"\x01";
    DWORD_PTR firstIcon = 0;
    SendMessageTimeoutW(icon, STM_GETICON, 0, 0, SMTO_NORMAL, 1000, &firstIcon);
    DWORD_PTR lastIcon = firstIcon;
    const DWORD end = GetTickCount() + seconds * 1000;
    while (GetTickCount() < end) {
        wchar_t text[256] = L"";
        DWORD_PTR copied = 0;
        if (!SendMessageTimeoutW(edit, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_NORMAL,
                                 1000, &copied))
            break;
        if (last != text) {
            last = text;
            std::printf("text=%ls\n", text);
        }
        DWORD_PTR shown = 0;
        SendMessageTimeoutW(icon, STM_GETICON, 0, 0, SMTO_NORMAL, 1000, &shown);
        if (shown != lastIcon) {
            lastIcon = shown;
            std::puts(shown == firstIcon ? "no action" : "action");
        }
        std::fflush(stdout);
        Sleep(10);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const auto is = [&](const char* command) {
        return argc > 1 && std::strcmp(argv[1], command) == 0;
    };
    if (is("hold") && argc == 5)
        return hold(std::strtoul(argv[2], nullptr, 0), std::strtoul(argv[3], nullptr, 0),
                    std::atoi(argv[4]));
    if (is("window") && argc == 3)
        return showWindow(std::atoi(argv[2]));
    if (is("tray-delete"))
        return notifyBarIcon(NIM_DELETE) ? 0 : 1;
    if (is("tray-exists"))
        return notifyBarIcon(NIM_MODIFY) ? 0 : 1;
    if (is("taskbar-created"))
        return PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0) ? 0
                                                                                             : 1;
    if (is("end-session"))
        return endSession();
    if (is("focus"))
        return focus();
    if (is("dialog"))
        return dialogShowing();
    if (is("command") && argc == 3)
        return postCommand(static_cast<UINT>(std::strtoul(argv[2], nullptr, 0)));
    if (is("answers"))
        return answers();
    if (is("says") && argc == 3)
        return says(argv[2]);
    if (is("prefs-ok") && argc == 3)
        return preferencesOk(std::atoi(argv[2]));
    if (is("bars"))
        return countBars();
    if (is("foreground"))
        return foreground(nullptr);
    if (is("foreground-is") && argc == 3)
        return foreground(argv[2]);
    if (is("watch-text") && argc == 3)
        return watchText(std::atoi(argv[2]));
    std::fputs("usage: probe hold|window|tray-delete|tray-exists|taskbar-created|end-session|"
               "focus|dialog|command|answers|says|prefs-ok|foreground|watch-text|bars\n",
               stderr);
    return 2;
}
