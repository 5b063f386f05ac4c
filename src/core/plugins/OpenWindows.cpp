#include "core/plugins/OpenWindows.h"

#include <dwmapi.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <type_traits>

namespace corvantile::core {
namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using ProcessHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

// The title as the system keeps it, without sending the window a message: a program that hangs
// (or the one whose thread waits for this search) cannot block the walk.
CString windowTitle(HWND window) {
    wchar_t text[512] = L"";
    const int copied = InternalGetWindowText(window, text, 512);
    return copied > 0 ? CString::FromW(text, copied) : CString();
}

CString programOf(DWORD process) {
    const ProcessHandle handle(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process));
    if (!handle)
        return {};
    std::wstring path(MAX_PATH * 4, L'\0');
    DWORD size = static_cast<DWORD>(path.size());
    if (!QueryFullProcessImageNameW(handle.get(), 0, path.data(), &size))
        return {};
    return CString::FromW(path.c_str(), static_cast<int>(size));
}

bool cloaked(HWND window) {
    DWORD value = 0;
    return SUCCEEDED(DwmGetWindowAttribute(window, DWMWA_CLOAKED, &value, sizeof value)) &&
           value != 0;
}

} // namespace

bool isSwitchable(HWND window, DWORD ownProcess) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == ownProcess || !IsWindowVisible(window) || windowTitle(window).IsEmpty())
        return false;
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
    if (!(exStyle & WS_EX_APPWINDOW) &&
        ((exStyle & WS_EX_TOOLWINDOW) || GetWindow(window, GW_OWNER) != nullptr))
        return false;
    return !cloaked(window);
}

std::vector<OpenWindow> listOpenWindows(DWORD ownProcess) {
    struct Walk {
        DWORD ownProcess;
        std::vector<OpenWindow> windows;
    } walk{ownProcess, {}};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* state = reinterpret_cast<Walk*>(param);
            try {
                if (isSwitchable(window, state->ownProcess)) {
                    DWORD process = 0;
                    GetWindowThreadProcessId(window, &process);
                    state->windows.push_back({window, windowTitle(window), programOf(process)});
                }
                return TRUE;
            } catch (...) {
                return FALSE; // nothing may unwind through the system's walk
            }
        },
        reinterpret_cast<LPARAM>(&walk));
    return walk.windows;
}

CString windowHandleText(HWND window) {
    CString text;
    text.Format("0x%llX", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
    return text;
}

HWND windowFromText(const CString& text) {
    if (text.GetLength() < 3 || text.Left(2) != "0x")
        return nullptr;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text.GetString() + 2, &end, 16);
    if (!end || *end != '\0' || value == 0)
        return nullptr;
    const HWND window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(value));
    return IsWindow(window) ? window : nullptr;
}

bool switchToWindow(HWND window) {
    if (!window || !IsWindow(window))
        return false;
    if (IsIconic(window))
        ShowWindow(window, SW_RESTORE);
    // The system lets the thread that holds the foreground hand it on; sharing that thread's
    // input state makes this thread count as it when the bar is no longer in front itself.
    const DWORD own = GetCurrentThreadId();
    const DWORD front = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    const bool attached = front != 0 && front != own && AttachThreadInput(own, front, TRUE);
    BringWindowToTop(window);
    const bool switched = SetForegroundWindow(window);
    if (attached)
        AttachThreadInput(own, front, FALSE);
    return switched || GetForegroundWindow() == window;
}

bool closeWindow(HWND window) {
    return window && IsWindow(window) && PostMessageW(window, WM_CLOSE, 0, 0);
}

} // namespace corvantile::core
