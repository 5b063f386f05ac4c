// Binding of wrappers to windows: the HWND map, creation, subclassing, and the window
// procedures that Windows calls.
#include "framework/CWnd.h"

#include <cstdio>
#include <cwchar>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <unordered_map>

#include "support/event_report.h"

namespace {

// Our id among the subclasses of a window (SetWindowSubclass).
constexpr UINT_PTR kSubclassId = 0xC0A7;

// The wrappers bound to windows. Windows are used from one thread, but a look-up may come
// from a worker, so the map has a lock of its own.
class WindowMap {
public:
    bool Insert(HWND hwnd, CWnd* wnd) {
        std::lock_guard lock(m_mutex);
        return m_windows.emplace(hwnd, wnd).second;
    }
    void Remove(HWND hwnd, const CWnd* wnd) {
        std::lock_guard lock(m_mutex);
        auto found = m_windows.find(hwnd);
        if (found != m_windows.end() && found->second == wnd)
            m_windows.erase(found);
    }
    CWnd* Find(HWND hwnd) {
        std::lock_guard lock(m_mutex);
        auto found = m_windows.find(hwnd);
        return found == m_windows.end() ? nullptr : found->second;
    }

private:
    std::mutex m_mutex;
    std::unordered_map<HWND, CWnd*> m_windows;
};

WindowMap& PermanentMap() {
    static WindowMap map;
    return map;
}

using TemporaryMap = std::unordered_map<HWND, std::unique_ptr<CWnd>>;

TemporaryMap& TemporaryWrappers() {
    thread_local TemporaryMap map;
    return map;
}

// The wrapper whose own-class window CreateEx is making on this thread.
thread_local CWnd* t_creating = nullptr;

// The wrapper (and the window class) that a CreationHook waits for on this thread.
thread_local CWnd* t_hookTarget = nullptr;
thread_local const wchar_t* t_hookClass = nullptr;

// Whether hwnd is of the class named (or given as an atom) by className. A versioned class
// name ("6.0.0.0!Edit") matches its plain name.
bool IsOfClass(HWND hwnd, const wchar_t* className) {
    if (IS_INTRESOURCE(className))
        return ::GetClassLongPtrW(hwnd, GCW_ATOM) == reinterpret_cast<ULONG_PTR>(className);
    wchar_t actual[256] = {};
    if (!::GetClassNameW(hwnd, actual, 256))
        return false;
    const wchar_t* plain = std::wcsrchr(actual, L'!');
    return ::lstrcmpiW(plain ? plain + 1 : actual, className) == 0 ||
           ::lstrcmpiW(actual, className) == 0;
}

} // namespace

const CWnd CWnd::wndTop(HWND_TOP);
const CWnd CWnd::wndBottom(HWND_BOTTOM);
const CWnd CWnd::wndTopMost(HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(HWND_NOTOPMOST);

const char* AfxRegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon) {
    static std::mutex mutex;
    static std::set<std::string> registered;
    char name[96];
    std::snprintf(name, sizeof name, "Corvantile:%x:%p:%p:%p", classStyle,
                  static_cast<void*>(cursor), static_cast<void*>(background),
                  static_cast<void*>(icon));
    std::lock_guard lock(mutex);
    auto found = registered.find(name);
    if (found != registered.end())
        return found->c_str();
    const std::wstring wideName = Utf8ToWide(name);
    WNDCLASSEXW info{};
    info.cbSize = sizeof info;
    info.style = classStyle;
    info.lpfnWndProc = CWnd::StaticWndProc;
    info.hInstance = AfxGetInstanceHandle();
    info.hCursor = cursor;
    info.hbrBackground = background;
    info.hIcon = icon;
    info.lpszClassName = wideName.c_str();
    if (!::RegisterClassExW(&info) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return nullptr;
    return registered.insert(name).first->c_str();
}

void CWnd::CreateArgs::SetRect(const RECT& rect) {
    if (rect.left == CW_USEDEFAULT) {
        x = y = width = height = CW_USEDEFAULT;
        return;
    }
    x = rect.left;
    y = rect.top;
    width = rect.right - rect.left;
    height = rect.bottom - rect.top;
}

CWnd::~CWnd() {
    if (!m_hWnd || m_binding == Binding::None)
        return;
    if (m_ownsWindow)
        ::DestroyWindow(m_hWnd); // unbinds at WM_NCDESTROY
    if (m_hWnd)
        Unbind(m_hWnd);
}

bool CWnd::BindOwnClass(HWND hwnd) {
    if (m_hWnd || !hwnd || !PermanentMap().Insert(hwnd, this))
        return false;
    m_hWnd = hwnd;
    m_binding = Binding::OwnClass;
    return true;
}

bool CWnd::BindSubclass(HWND hwnd) {
    if (m_hWnd || !hwnd || !PermanentMap().Insert(hwnd, this))
        return false;
    if (!::SetWindowSubclass(hwnd, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        PermanentMap().Remove(hwnd, this);
        return false;
    }
    m_hWnd = hwnd;
    m_binding = Binding::Subclassed;
    return true;
}

void CWnd::Unbind(HWND hwnd) {
    if (m_binding == Binding::Subclassed)
        ::RemoveWindowSubclass(hwnd, SubclassProc, kSubclassId);
    PermanentMap().Remove(hwnd, this);
    m_hWnd = nullptr;
    m_binding = Binding::None;
    m_ownsWindow = false;
}

LRESULT CALLBACK CWnd::StaticWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        CWnd* wnd = PermanentMap().Find(hwnd);
        if (!wnd && message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            auto* target = static_cast<CWnd*>(create->lpCreateParams);
            if (target && target == t_creating && target->BindOwnClass(hwnd))
                wnd = target;
        }
        if (wnd)
            return wnd->Dispatch(message, wParam, lParam);
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    } catch (...) {
        corvantile::support::report_caught("a window procedure");
        return 0;
    }
}

LRESULT CALLBACK CWnd::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR refData) {
    try {
        auto* wnd = reinterpret_cast<CWnd*>(refData);
        if (wnd && wnd->m_hWnd == hwnd)
            return wnd->Dispatch(message, wParam, lParam);
        return ::DefSubclassProc(hwnd, message, wParam, lParam);
    } catch (...) {
        corvantile::support::report_caught("a subclassed window procedure");
        return 0;
    }
}

LRESULT CALLBACK CWnd::CreationHookProc(int code, WPARAM wParam, LPARAM lParam) {
    try {
        if (code == HCBT_CREATEWND && t_hookTarget) {
            const HWND hwnd = reinterpret_cast<HWND>(wParam);
            if (IsOfClass(hwnd, t_hookClass)) {
                CWnd* target = t_hookTarget;
                t_hookTarget = nullptr;
                if (target->BindSubclass(hwnd))
                    target->m_ownsWindow = true;
            }
        }
    } catch (...) {
        corvantile::support::report_caught("the window creation hook");
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

CWnd::CreationHook::CreationHook(CWnd* target, const wchar_t* className)
    : m_previousTarget(t_hookTarget), m_previousClass(t_hookClass) {
    t_hookTarget = target;
    t_hookClass = className;
    m_hook = ::SetWindowsHookExW(WH_CBT, CreationHookProc, nullptr, ::GetCurrentThreadId());
}

CWnd::CreationHook::~CreationHook() {
    if (m_hook)
        ::UnhookWindowsHookEx(m_hook);
    t_hookTarget = m_previousTarget;
    t_hookClass = m_previousClass;
}

BOOL CWnd::CreateEx(const CreateArgs& args) {
    if (m_hWnd)
        return FALSE;
    const HINSTANCE instance = AfxGetInstanceHandle();
    const char* className = args.className;
    if (!className)
        className = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                        reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    if (!className)
        return FALSE;
    const bool isAtom = IS_INTRESOURCE(className);
    const std::wstring nameText = isAtom ? std::wstring() : Utf8ToWide(className);
    const wchar_t* wideClass =
        isAtom ? reinterpret_cast<const wchar_t*>(className) : nameText.c_str();
    const std::wstring title = Utf8ToWide(args.windowName ? args.windowName : "");
    const HMENU menu =
        (args.style & WS_CHILD) ? reinterpret_cast<HMENU>(UINT_PTR{args.id}) : args.menu;

    WNDCLASSEXW info{};
    info.cbSize = sizeof info;
    const bool ownClass =
        ::GetClassInfoExW(instance, wideClass, &info) && info.lpfnWndProc == StaticWndProc;
    HWND hwnd = nullptr;
    if (ownClass) {
        CWnd* const previous = t_creating;
        t_creating = this;
        hwnd = ::CreateWindowExW(args.exStyle, wideClass, title.c_str(), args.style, args.x, args.y,
                                 args.width, args.height, args.parent, menu, instance, this);
        t_creating = previous;
    } else {
        CreationHook hook(this, wideClass);
        hwnd = ::CreateWindowExW(args.exStyle, wideClass, title.c_str(), args.style, args.x, args.y,
                                 args.width, args.height, args.parent, menu, instance, nullptr);
        if (hwnd && !m_hWnd)
            BindSubclass(hwnd);
    }
    if (!hwnd) {
        if (args.menu && !(args.style & WS_CHILD))
            ::DestroyMenu(args.menu);
        return FALSE;
    }
    if (m_hWnd != hwnd) {
        ::DestroyWindow(hwnd);
        return FALSE;
    }
    m_ownsWindow = true;
    return TRUE;
}

BOOL CWnd::Create(const char* className, const char* windowName, DWORD style, const RECT& rect,
                  CWnd* parent, UINT id) {
    return CreateEx(0, className, windowName, style | WS_CHILD, rect, parent, id);
}

BOOL CWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                    const RECT& rect, CWnd* parent, UINT id) {
    CreateArgs args;
    args.className = className;
    args.windowName = windowName;
    args.style = style;
    args.exStyle = exStyle;
    args.SetRect(rect);
    args.parent = parent ? parent->m_hWnd : nullptr;
    args.id = id;
    return CreateEx(args);
}

BOOL CWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                    int x, int y, int width, int height, HWND parent, HMENU idOrMenu) {
    CreateArgs args;
    args.className = className;
    args.windowName = windowName;
    args.style = style;
    args.exStyle = exStyle;
    args.x = x;
    args.y = y;
    args.width = width;
    args.height = height;
    args.parent = parent;
    if (style & WS_CHILD)
        args.id = static_cast<UINT>(reinterpret_cast<UINT_PTR>(idOrMenu));
    else
        args.menu = idOrMenu;
    return CreateEx(args);
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd)
        return FALSE;
    if (m_binding != Binding::None)
        return ::DestroyWindow(m_hWnd); // may delete this (PostNcDestroy)
    const BOOL destroyed = ::DestroyWindow(m_hWnd);
    if (destroyed)
        m_hWnd = nullptr;
    return destroyed;
}

BOOL CWnd::SubclassWindow(HWND hwnd) {
    if (!BindSubclass(hwnd))
        return FALSE;
    PreSubclassWindow();
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    if (!parent || !parent->m_hWnd)
        return FALSE;
    const HWND control = ::GetDlgItem(parent->m_hWnd, static_cast<int>(id));
    return control ? SubclassWindow(control) : FALSE;
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
    return hwnd ? PermanentMap().Find(hwnd) : nullptr;
}

CWnd* CWnd::FromHandle(HWND hwnd) {
    if (!hwnd)
        return nullptr;
    if (CWnd* wnd = PermanentMap().Find(hwnd))
        return wnd;
    if (!::IsWindow(hwnd))
        return nullptr;
    std::unique_ptr<CWnd>& slot = TemporaryWrappers()[hwnd];
    if (!slot) {
        slot = std::make_unique<CWnd>();
        slot->m_hWnd = hwnd;
    }
    return slot.get();
}

void CWnd::DeleteTempMap() {
    TemporaryMap expired;
    expired.swap(TemporaryWrappers());
}

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

BOOL CWnd::WalkPreTranslateTree(HWND stop, MSG* msg) {
    for (HWND hwnd = msg->hwnd; hwnd; hwnd = ::GetParent(hwnd)) {
        CWnd* wnd = FromHandlePermanent(hwnd);
        if (wnd && wnd->PreTranslateMessage(msg))
            return TRUE;
        if (hwnd == stop)
            break;
    }
    return FALSE;
}
