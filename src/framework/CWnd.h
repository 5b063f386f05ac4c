// The window wrapper at the root of every window class of the program.
//
// A CWnd is bound to one HWND in one of three ways:
// - windows of the framework's own classes (AfxRegisterWndClass) carry `this` in their create
//   parameter and are bound at WM_NCCREATE;
// - windows of any other class that the wrapper creates (system controls, dialogs) are
//   subclassed (SetWindowSubclass) the moment they exist, so they see every message too;
// - existing windows are subclassed with SubclassWindow / SubclassDlgItem.
// The binding is undone at WM_NCDESTROY, where m_hWnd becomes null and PostNcDestroy runs.
// A wrapper that created its window owns it and destroys it with itself; a wrapper that
// subclassed a window (a dialog's control) only lets go of it.
//
// Messages arrive at the virtual WindowProc, whose one switch calls the OnXxx handlers below.
// The base handlers do the default processing (Default), so an override calls its base class
// to get it. WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, WM_MEASUREITEM and WM_CTLCOLOR* are first
// offered to the wrapper of the child that sent them (OnChildNotify). No exception leaves a
// handler for Windows: a handler that throws gets a neutral result for its message.
#pragma once

#include "framework/AfxWin.h"

class CDataExchange;

class CWnd {
public:
    // Arguments of CreateEx; the defaults make a visible child of the framework's class.
    struct CreateArgs {
        const char* className = nullptr; // null: the framework's default class
        const char* windowName = nullptr;
        DWORD style = WS_CHILD | WS_VISIBLE;
        DWORD exStyle = 0;
        int x = CW_USEDEFAULT;
        int y = CW_USEDEFAULT;
        int width = CW_USEDEFAULT;
        int height = CW_USEDEFAULT;
        HWND parent = nullptr; // the owner, for a top-level window
        UINT id = 0;           // child windows
        HMENU menu = nullptr;  // top-level windows; the window takes it over

        void SetRect(const RECT& rect);
    };

    HWND m_hWnd = nullptr;

    // Insert-after values for SetWindowPos.
    static const CWnd wndTop;
    static const CWnd wndBottom;
    static const CWnd wndTopMost;
    static const CWnd wndNoTopMost;

    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    operator HWND() const { return m_hWnd; }
    // The handle; call it on a valid object only (there is no null-object check).
    HWND GetSafeHwnd() const { return m_hWnd; }

    // Creation. False when the wrapper already has a window or creation failed.
    BOOL CreateEx(const CreateArgs& args);
    BOOL Create(const char* className, const char* windowName, DWORD style, const RECT& rect,
                CWnd* parent, UINT id);
    BOOL CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                  const RECT& rect, CWnd* parent, UINT id);
    BOOL CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x,
                  int y, int width, int height, HWND parent, HMENU idOrMenu);
    virtual BOOL DestroyWindow();

    // Binds an existing window of this thread; false when either side is already bound.
    BOOL SubclassWindow(HWND hwnd);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);

    // The wrapper bound to hwnd, else a temporary wrapper that lives until the outermost
    // message loop is idle; null for null or a handle that is no window.
    static CWnd* FromHandle(HWND hwnd);
    // The wrapper bound to hwnd, or null.
    static CWnd* FromHandlePermanent(HWND hwnd);
    // Frees the temporary wrappers of this thread.
    static void DeleteTempMap();

    // Called by the message loops before a message is dispatched; true when it is used up.
    virtual BOOL PreTranslateMessage(MSG* msg);
    // PreTranslateMessage of each bound window from the message's target up the parent chain,
    // stopping after `stop`; true as soon as one uses the message up.
    static BOOL WalkPreTranslateTree(HWND stop, MSG* msg);

    // Data exchange with the controls of the window (DoDataExchange); false when a value was
    // rejected, in which case the offending control has the focus.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    // Text, UTF-8; lengths count UTF-8 bytes.
    void SetWindowText(const char* text);
    void GetWindowText(CString& text) const;
    int GetWindowTextLength() const;
    void SetDlgItemText(int id, const char* text);
    int GetDlgItemText(int id, CString& text) const;
    int MessageBox(const char* text, const char* caption = nullptr, UINT type = MB_OK);

    // Relatives.
    CWnd* GetDlgItem(int id) const;
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
    static CWnd* GetDesktopWindow() { return FromHandle(::GetDesktopWindow()); }

    // Visibility, placement and painting.
    BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE) {
        ::MoveWindow(m_hWnd, x, y, width, height, repaint);
    }
    void MoveWindow(LPCRECT rect, BOOL repaint = TRUE);
    BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
    void GetWindowRect(LPRECT rect) const { ::GetWindowRect(m_hWnd, rect); }
    void GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }
    void ScreenToClient(LPPOINT point) const { ::ScreenToClient(m_hWnd, point); }
    void ScreenToClient(LPRECT rect) const;
    void ClientToScreen(LPPOINT point) const { ::ClientToScreen(m_hWnd, point); }
    void ClientToScreen(LPRECT rect) const;
    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void InvalidateRect(LPCRECT rect, BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, rect, erase); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    BOOL RedrawWindow(LPCRECT rect = nullptr, HRGN region = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE) {
        return ::RedrawWindow(m_hWnd, rect, region, flags);
    }
    BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }

    // Styles. Modify* return true when the style changed; with swpFlags the frame is redrawn.
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0);
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags = 0);

    // Focus and caret.
    CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
    static CWnd* GetFocus() { return FromHandle(::GetFocus()); }
    void HideCaret() { ::HideCaret(m_hWnd); }
    void ShowCaret() { ::ShowCaret(m_hWnd); }

    // Messages and timers.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::PostMessageW(m_hWnd, message, wParam, lParam);
    }
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc = nullptr) {
        return ::SetTimer(m_hWnd, id, elapse, proc);
    }
    BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }

    // Icons, font, menu, scroll bars.
    HICON SetIcon(HICON icon, BOOL big);
    HICON GetIcon(BOOL big) const;
    void SetFont(HFONT font, BOOL redraw = TRUE);
    HFONT GetFont() const;
    BOOL SetMenu(HMENU menu) { return ::SetMenu(m_hWnd, menu); }
    BOOL SetScrollInfo(int bar, LPSCROLLINFO info, BOOL redraw = TRUE);
    BOOL GetScrollInfo(int bar, LPSCROLLINFO info, UINT mask = SIF_ALL) const;
    int SetScrollPos(int bar, int pos, BOOL redraw = TRUE) {
        return ::SetScrollPos(m_hWnd, bar, pos, redraw);
    }
    int GetScrollPos(int bar) const { return ::GetScrollPos(m_hWnd, bar); }
    void ShowScrollBar(UINT bar, BOOL show = TRUE) { ::ShowScrollBar(m_hWnd, bar, show); }

protected:
    // While alive, the next window of the given class created on this thread is subclassed to
    // `target` as soon as it exists (before WM_NCCREATE), and owned by it.
    class CreationHook {
    public:
        CreationHook(CWnd* target, const wchar_t* className);
        ~CreationHook();
        CreationHook(const CreationHook&) = delete;
        CreationHook& operator=(const CreationHook&) = delete;
        bool IsInstalled() const { return m_hook != nullptr; }

    private:
        HHOOK m_hook = nullptr;
        CWnd* m_previousTarget;
        const wchar_t* m_previousClass;
    };

    // The message dispatcher; override it for messages without a handler of their own and
    // call the base for the rest.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Default processing: the subclassed window's own procedure, the dialog manager's or
    // DefWindowProc.
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Default processing of the message being handled.
    LRESULT Default();
    // A notification that this window sent to its parent, offered here first. True when it
    // was handled; *result is then the parent's answer.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // Called after the binding ended at WM_NCDESTROY; the wrapper may delete itself here.
    virtual void PostNcDestroy() {}
    // Called by SubclassWindow once the window is bound.
    virtual void PreSubclassWindow() {}
    virtual void DoDataExchange(CDataExchange* dx) {}

    // Handlers; each base does the default processing.
    virtual int OnCreate(CREATESTRUCTW* create);
    virtual void OnDestroy();
    virtual void OnClose();
    virtual void OnPaint();
    virtual BOOL OnEraseBkgnd(HDC dc);
    virtual void OnSize(UINT type, int cx, int cy);
    virtual void OnMove(int x, int y);
    virtual void OnTimer(UINT_PTR id);
    virtual void OnKeyDown(UINT key, UINT repeat, UINT flags);
    virtual void OnKeyUp(UINT key, UINT repeat, UINT flags);
    virtual void OnSysKeyDown(UINT key, UINT repeat, UINT flags);
    virtual void OnChar(UINT ch, UINT repeat, UINT flags);
    virtual void OnMouseMove(UINT flags, CPoint point);
    virtual void OnLButtonDown(UINT flags, CPoint point);
    virtual void OnLButtonUp(UINT flags, CPoint point);
    virtual void OnLButtonDblClk(UINT flags, CPoint point);
    virtual void OnRButtonDown(UINT flags, CPoint point);
    virtual void OnRButtonUp(UINT flags, CPoint point);
    virtual BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
    virtual BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    virtual void OnCaptureChanged(CWnd* wnd);
    virtual void OnVScroll(UINT code, UINT pos, CWnd* scrollBar);
    virtual void OnHScroll(UINT code, UINT pos, CWnd* scrollBar);
    virtual void OnSetFocus(CWnd* oldWnd);
    virtual void OnKillFocus(CWnd* newWnd);
    virtual UINT OnGetDlgCode();
    // Commands and notifications; true when handled (no default processing then).
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual void OnDrawItem(int id, DRAWITEMSTRUCT* draw);
    virtual void OnMeasureItem(int id, MEASUREITEMSTRUCT* measure);
    virtual HBRUSH OnCtlColor(HDC dc, CWnd* wnd, UINT ctlColor);
    virtual void OnActivate(UINT state, CWnd* other, BOOL minimized);
    virtual void OnActivateApp(BOOL active, DWORD threadId);
    virtual void OnShowWindow(BOOL show, UINT status);
    virtual LRESULT OnNcHitTest(CPoint point);
    virtual void OnGetMinMaxInfo(MINMAXINFO* info);
    virtual void OnWindowPosChanging(WINDOWPOS* pos);
    virtual void OnWindowPosChanged(WINDOWPOS* pos);
    virtual void OnSysCommand(UINT id, LPARAM lParam);
    virtual void OnHotKey(UINT id, UINT modifiers, UINT key);
    virtual void OnContextMenu(CWnd* wnd, CPoint point);
    virtual HCURSOR OnQueryDragIcon();
    virtual BOOL OnQueryEndSession();
    virtual void OnEndSession(BOOL ending);

private:
    enum class Binding { None, OwnClass, Subclassed };

    // For the special insert-after values only.
    explicit CWnd(HWND special) : m_hWnd(special) {}

    static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR refData);
    static LRESULT CALLBACK CreationHookProc(int code, WPARAM wParam, LPARAM lParam);

    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    bool ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool BindOwnClass(HWND hwnd);
    bool BindSubclass(HWND hwnd);
    void Unbind(HWND hwnd);

    Binding m_binding = Binding::None;
    bool m_ownsWindow = false;

    friend const char* AfxRegisterWndClass(UINT, HCURSOR, HBRUSH, HICON);
};
