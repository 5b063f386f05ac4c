// The modal loop of CDialog: the order in which a message meets PreTranslateMessage and the
// dialog manager, and the ways the loop ends.
#include <gtest/gtest.h>

#include "framework/CFrameWnd.h"
#include "framework_test_support.h"

using fwtest::DialogTemplate;
using fwtest::TestDialog;
using fwtest::TestEdit;

namespace {

constexpr LPARAM kReturnKeyData = 0x001C0001;
constexpr LPARAM kEscapeKeyData = 0x00010001;

// A modal dialog with an edit box 1000 bound to `edit`; key-downs seen by either
// PreTranslateMessage are written to `log`.
struct KeyRouting {
    DialogTemplate dialogTemplate = fwtest::EditDialogTemplate();
    TestDialog dialog{dialogTemplate};
    TestEdit edit;
    std::vector<std::string> log;

    KeyRouting() {
        dialog.exchange = [this](CDataExchange* dx) { DDX_Control(dx, 1000, edit); };
        edit.preTranslate = [this](MSG* msg) {
            if (msg->message == WM_KEYDOWN)
                log.push_back("edit");
            return FALSE;
        };
        dialog.preTranslate = [this](MSG* msg) {
            if (msg->message == WM_KEYDOWN)
                log.push_back("dialog");
            return FALSE;
        };
        dialog.onOK = [this] {
            log.push_back("OnOK");
            dialog.EndDialog(IDOK);
        };
        dialog.onCancel = [this] {
            log.push_back("OnCancel");
            dialog.EndDialog(IDCANCEL);
        };
    }
};

// A never-shown owner that notes the key-downs offered to it.
class OwnerFrame : public CFrameWnd {
public:
    int keysOffered = 0;
    BOOL PreTranslateMessage(MSG* msg) override {
        keysOffered += msg->message == WM_KEYDOWN;
        return FALSE;
    }
};

TEST(ModalLoop, KeyMeetsTheControlThenTheDialogThenTheDialogManagerButNotTheOwner) {
    OwnerFrame owner;
    ASSERT_TRUE(owner.Create(nullptr, nullptr));
    KeyRouting routing;
    routing.dialog.InitModalIndirect(routing.dialogTemplate.Get(), &owner);
    routing.dialog.onInit = [&] {
        routing.edit.PostMessage(WM_KEYDOWN, VK_RETURN, kReturnKeyData);
    };

    EXPECT_EQ(routing.dialog.DoModal(), IDOK);
    EXPECT_EQ(routing.log, (std::vector<std::string>{"edit", "dialog", "OnOK"}));
    EXPECT_EQ(owner.keysOffered, 0) << "windows above the dialog are not asked";
}

TEST(ModalLoop, KeyUsedUpByTheControlGoesNoFurther) {
    KeyRouting routing;
    routing.edit.preTranslate = [&](MSG* msg) {
        if (msg->message != WM_KEYDOWN)
            return FALSE;
        routing.log.push_back("edit");
        return TRUE;
    };
    routing.dialog.onInit = [&] {
        routing.edit.PostMessage(WM_KEYDOWN, VK_RETURN, kReturnKeyData);
        routing.dialog.PostMessage(WM_APP);
    };
    routing.dialog.onMessage = [&](UINT message, WPARAM, LPARAM, LRESULT&) {
        if (message != WM_APP)
            return false;
        routing.dialog.EndDialog(77);
        return true;
    };

    EXPECT_EQ(routing.dialog.DoModal(), 77);
    EXPECT_EQ(routing.log, (std::vector<std::string>{"edit"}));
}

TEST(ModalLoop, ControlThatWantsAllKeysKeepsEscapeFromTheDialogManager) {
    KeyRouting routing;
    routing.edit.dlgCode = DLGC_WANTALLKEYS;
    routing.edit.onKeyDown = [&](UINT key) {
        if (key == VK_ESCAPE)
            routing.dialog.EndDialog(55);
    };
    routing.dialog.onInit = [&] {
        routing.edit.PostMessage(WM_KEYDOWN, VK_ESCAPE, kEscapeKeyData);
    };

    EXPECT_EQ(routing.dialog.DoModal(), 55);
    EXPECT_EQ(routing.log, (std::vector<std::string>{"edit", "dialog"}));
}

// A quit ends the loop, with Cancel unless the dialog had been ended already, and is posted
// again for the loop outside.
TEST(ModalLoop, QuitEndsTheLoopAndIsPostedAgain) {
    for (const INT_PTR ended : {0, 9}) {
        SCOPED_TRACE(ended);
        DialogTemplate dialogTemplate;
        TestDialog dialog(dialogTemplate);
        bool destroyed = false;
        dialog.onInit = [&] {
            if (ended)
                dialog.SetTimer(1, 10);
            else
                AfxPostQuitMessage(7);
        };
        dialog.onTimer = [&](UINT_PTR) {
            dialog.EndDialog(ended);
            AfxPostQuitMessage(7);
        };
        dialog.onDestroy = [&] { destroyed = true; };

        EXPECT_EQ(dialog.DoModal(), ended ? ended : IDCANCEL);
        EXPECT_TRUE(destroyed);
        MSG msg{};
        ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
        EXPECT_EQ(msg.wParam, 7u);
    }
}

// A dialog disables its owner while it runs, nested dialogs too, and ended from a handler (a
// timer's, a posted message's) it ends its loop, is destroyed and enables its owner again.
TEST(ModalLoop, NestedDialogsDisableTheirOwnersUntilTheyEnd) {
    CFrameWnd frame;
    ASSERT_TRUE(frame.Create(nullptr, nullptr));
    DialogTemplate dialogTemplate;
    TestDialog outer(dialogTemplate, &frame);
    TestDialog inner(dialogTemplate, &outer);
    BOOL frameEnabledWhileModal = TRUE;
    BOOL outerEnabledDuringInner = TRUE;
    BOOL outerEnabledAfterInner = FALSE;
    HWND innerWindow = nullptr;
    INT_PTR innerResult = 0;
    outer.onInit = [&] { outer.SetTimer(1, 10); };
    outer.onTimer = [&](UINT_PTR id) {
        outer.KillTimer(id);
        frameEnabledWhileModal = frame.IsWindowEnabled();
        innerResult = inner.DoModal();
        outerEnabledAfterInner = outer.IsWindowEnabled();
        outer.EndDialog(6);
    };
    inner.onInit = [&] {
        innerWindow = inner.m_hWnd;
        inner.PostMessage(WM_APP);
    };
    inner.onMessage = [&](UINT message, WPARAM, LPARAM, LRESULT&) {
        if (message != WM_APP)
            return false;
        outerEnabledDuringInner = outer.IsWindowEnabled();
        EXPECT_EQ(::GetWindow(inner.m_hWnd, GW_OWNER), outer.m_hWnd);
        inner.EndDialog(5);
        return true;
    };

    EXPECT_EQ(outer.DoModal(), 6);
    EXPECT_EQ(innerResult, 5);
    EXPECT_FALSE(frameEnabledWhileModal);
    EXPECT_FALSE(outerEnabledDuringInner);
    EXPECT_TRUE(outerEnabledAfterInner);
    EXPECT_TRUE(frame.IsWindowEnabled());
    EXPECT_EQ(inner.m_hWnd, nullptr);
    EXPECT_FALSE(::IsWindow(innerWindow));
}

TEST(ModalLoop, DialogSeesItsWholeLifeFromWmCreate) {
    DialogTemplate dialogTemplate;
    TestDialog dialog(dialogTemplate);
    std::vector<std::string> log;
    dialog.onCreate = [&] {
        log.push_back(dialog.m_hWnd ? "create with handle" : "create without handle");
    };
    dialog.onInit = [&] {
        log.push_back("init");
        dialog.PostMessage(WM_CLOSE);
    };
    dialog.onCancel = [&] {
        log.push_back("cancel");
        dialog.EndDialog(IDCANCEL);
    };
    dialog.onDestroy = [&] { log.push_back("destroy"); };

    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(log, (std::vector<std::string>{"create with handle", "init", "cancel", "destroy"}));
}

TEST(ModalLoop, MissingTemplateFailsWithoutTouchingTheOwner) {
    CFrameWnd owner;
    ASSERT_TRUE(owner.Create(nullptr, nullptr));
    CDialog dialog(0x7FFF, &owner);

    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_TRUE(owner.IsWindowEnabled());
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST(ModalLoop, HandlerResultsAndDefaultProcessingReachTheSender) {
    DialogTemplate dialogTemplate(WS_POPUP | WS_CAPTION, L"Title");
    TestDialog dialog(dialogTemplate);
    LRESULT answered = 0;
    LRESULT titleLength = 0;
    dialog.onMessage = [&](UINT message, WPARAM, LPARAM, LRESULT& result) {
        if (message != WM_APP + 1)
            return false;
        result = 1234;
        return true;
    };
    dialog.onInit = [&] {
        answered = dialog.SendMessage(WM_APP + 1);
        titleLength = dialog.SendMessage(WM_GETTEXTLENGTH);
        dialog.EndDialog(IDOK);
    };

    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(answered, 1234);
    EXPECT_EQ(titleLength, 5);
}

TEST(ModalLoop, ThrowingHandlersDoNotEndTheDialog) {
    DialogTemplate dialogTemplate;
    TestDialog dialog(dialogTemplate);
    dialog.onInit = [&] {
        dialog.PostMessage(WM_APP);
        dialog.SetTimer(1, 10);
        throw std::runtime_error("init failed");
    };
    dialog.onMessage = [&](UINT message, WPARAM, LPARAM, LRESULT&) -> bool {
        if (message == WM_APP)
            throw std::runtime_error("handler failed");
        return false;
    };
    dialog.onTimer = [&](UINT_PTR) { dialog.EndDialog(3); };

    EXPECT_EQ(dialog.DoModal(), 3);
}

} // namespace
