// Binding wrappers to windows: the HWND map, ownership, subclassing and the exception
// barrier of the window procedures.
#include <gtest/gtest.h>

#include <stdexcept>

#include "framework/CFrameWnd.h"
#include "framework/CWnd.h"

namespace {

// A window of the framework's class that records what happens to it.
class RecordingWnd : public CWnd {
public:
    std::vector<std::string> log;
    HWND handleAtCreate = nullptr;
    bool throwOnCreate = false;

protected:
    int OnCreate(CREATESTRUCTW* create) override {
        handleAtCreate = m_hWnd;
        log.push_back("create");
        if (throwOnCreate)
            throw std::runtime_error("no");
        return CWnd::OnCreate(create);
    }
    void OnDestroy() override {
        log.push_back("destroy");
        CWnd::OnDestroy();
    }
    void PostNcDestroy() override { log.push_back(m_hWnd ? "post with handle" : "post"); }
    void OnTimer(UINT_PTR) override { throw std::logic_error("timer"); }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_APP)
            throw 42;
        if (message == WM_APP + 1)
            return 7;
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

CWnd::CreateArgs PopupArgs() {
    CWnd::CreateArgs args;
    args.style = WS_POPUP;
    args.x = 0;
    args.y = 0;
    args.width = 50;
    args.height = 20;
    return args;
}

HWND RawStatic(const wchar_t* text = L"raw") {
    return ::CreateWindowExW(0, L"Static", text, WS_POPUP, 0, 0, 40, 20, nullptr, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
}

std::string TextOf(HWND hwnd) {
    wchar_t text[64] = {};
    ::GetWindowTextW(hwnd, text, 64);
    return WideToUtf8(text);
}

TEST(WindowMap, OwnClassWindowIsBoundFromCreationToNcDestroy) {
    RecordingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(PopupArgs()));
    const HWND hwnd = wnd.m_hWnd;

    EXPECT_EQ(wnd.handleAtCreate, hwnd);
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), &wnd);
    EXPECT_EQ(CWnd::FromHandle(hwnd), &wnd);
    EXPECT_FALSE(wnd.CreateEx(PopupArgs())) << "one window per wrapper";

    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
    EXPECT_EQ(wnd.log, (std::vector<std::string>{"create", "destroy", "post"}));
}

TEST(WindowMap, WrapperDestroysTheWindowItCreated) {
    HWND hwnd = nullptr;
    {
        RecordingWnd wnd;
        ASSERT_TRUE(wnd.CreateEx(PopupArgs()));
        hwnd = wnd.m_hWnd;
    }
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
}

TEST(WindowMap, SubclassedWindowOutlivesItsWrapper) {
    const HWND raw = RawStatic();
    {
        CWnd wrapper;
        ASSERT_TRUE(wrapper.SubclassWindow(raw));
        EXPECT_EQ(CWnd::FromHandlePermanent(raw), &wrapper);
        CWnd second;
        EXPECT_FALSE(second.SubclassWindow(raw)) << "a window has one wrapper";
        wrapper.SetWindowText("through the wrapper");
    }
    ASSERT_TRUE(::IsWindow(raw));
    EXPECT_EQ(CWnd::FromHandlePermanent(raw), nullptr);
    ::SetWindowTextW(raw, L"after");
    EXPECT_EQ(TextOf(raw), "after");

    CWnd wrapper;
    ASSERT_TRUE(wrapper.SubclassWindow(raw)) << "bindable again";
    ::DestroyWindow(raw);
    EXPECT_EQ(wrapper.m_hWnd, nullptr) << "destruction ends the binding";
}

TEST(WindowMap, UnknownWindowsGetTemporaryWrappers) {
    const HWND raw = RawStatic();
    CWnd* temporary = CWnd::FromHandle(raw);
    ASSERT_NE(temporary, nullptr);
    EXPECT_EQ(temporary->m_hWnd, raw);
    EXPECT_EQ(CWnd::FromHandle(raw), temporary);
    EXPECT_EQ(CWnd::FromHandlePermanent(raw), nullptr);
    EXPECT_EQ(temporary->GetWindowTextLength(), 3);

    CWnd::DeleteTempMap();
    EXPECT_TRUE(::IsWindow(raw)) << "a temporary wrapper never destroys its window";
    EXPECT_NE(CWnd::FromHandle(raw), nullptr);
    CWnd::DeleteTempMap();

    EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
    ::DestroyWindow(raw);
    EXPECT_EQ(CWnd::FromHandle(raw), nullptr) << "no wrapper for a destroyed window";
}

TEST(WindowMap, SystemClassWindowIsBoundBeforeItsFirstMessage) {
    RecordingWnd edit;
    CWnd::CreateArgs args = PopupArgs();
    args.className = "Edit";
    args.windowName = "text";
    ASSERT_TRUE(edit.CreateEx(args));

    EXPECT_EQ(edit.log, (std::vector<std::string>{"create"}));
    EXPECT_EQ(edit.handleAtCreate, edit.m_hWnd);
    CString text;
    edit.GetWindowText(text);
    EXPECT_EQ(text, "text") << "the edit control's own procedure still runs";
}

TEST(WindowMap, ChildOfAFrameDiesWithIt) {
    CFrameWnd frame;
    ASSERT_TRUE(frame.Create(nullptr, "frame"));

    RecordingWnd child;
    ASSERT_TRUE(child.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 10, 10), &frame, 12));
    EXPECT_EQ(child.GetDlgCtrlID(), 12);
    EXPECT_EQ(child.GetParent(), &frame);
    EXPECT_EQ(frame.GetDlgItem(12), &child);

    frame.DestroyWindow();
    EXPECT_EQ(child.m_hWnd, nullptr);
    EXPECT_EQ(child.log.back(), "post");
}

TEST(ExceptionBarrier, ThrowingHandlersAnswerNeutrallyAndTheWindowLivesOn) {
    RecordingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(PopupArgs()));

    EXPECT_EQ(wnd.SendMessage(WM_APP), 0);
    EXPECT_EQ(wnd.SendMessage(WM_TIMER, 1), 0);
    EXPECT_TRUE(::IsWindow(wnd.m_hWnd));
    EXPECT_EQ(wnd.SendMessage(WM_APP + 1), 7);
}

TEST(ExceptionBarrier, ThrowingOnCreateFailsTheCreation) {
    RecordingWnd wnd;
    wnd.throwOnCreate = true;

    EXPECT_FALSE(wnd.CreateEx(PopupArgs()));
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(wnd.handleAtCreate), nullptr);
    EXPECT_FALSE(::IsWindow(wnd.handleAtCreate));
}

} // namespace
