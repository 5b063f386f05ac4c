// Controls of a dialog: binding with DDX_Control, reflected notifications, default
// processing through the subclass, data exchange, and the edit box's UTF-8 positions.
#include <gtest/gtest.h>

#include "framework_test_support.h"

using fwtest::DialogTemplate;
using fwtest::TestDialog;
using fwtest::TestEdit;

namespace {

constexpr int kEdit = 1000;
constexpr int kNumber = 1001;
constexpr int kCheck = 1002;
constexpr int kRadioFirst = 1003;
constexpr int kRadioSecond = 1004;
constexpr int kRadioThird = 1005;
constexpr int kAfterGroup = 1006;

// A modeless dialog with the edit box 1000 bound to `edit`.
struct EditDialog {
    DialogTemplate dialogTemplate = fwtest::EditDialogTemplate();
    TestDialog dialog{dialogTemplate};
    TestEdit edit;

    EditDialog() {
        dialog.exchange = [this](CDataExchange* dx) { DDX_Control(dx, kEdit, edit); };
        EXPECT_TRUE(dialog.CreateIndirect(dialogTemplate.Get()));
    }
};

CString TextOf(const CWnd& wnd) {
    CString text;
    wnd.GetWindowText(text);
    return text;
}

TEST(Controls, DdxControlBindsTheControlOnce) {
    EditDialog window;
    const HWND control = ::GetDlgItem(window.dialog.m_hWnd, kEdit);

    EXPECT_EQ(window.edit.m_hWnd, control);
    EXPECT_EQ(CWnd::FromHandlePermanent(control), &window.edit);
    EXPECT_TRUE(window.dialog.UpdateData(FALSE));
    EXPECT_EQ(window.edit.m_hWnd, control);

    CWnd unbound;
    window.dialog.exchange = [&](CDataExchange* dx) { DDX_Control(dx, 4242, unbound); };
    EXPECT_TRUE(window.dialog.UpdateData(FALSE)) << "a missing control is no failure";
    EXPECT_EQ(unbound.m_hWnd, nullptr);
}

TEST(Controls, ControlHandlesItsOwnNotificationsBeforeItsParent) {
    EditDialog window;
    window.dialog.commandCodes.clear();

    window.edit.SetWindowText("abc");
    EXPECT_EQ(window.edit.changes, 1);
    EXPECT_EQ(
        std::count(window.dialog.commandCodes.begin(), window.dialog.commandCodes.end(), EN_CHANGE),
        0);

    window.dialog.SendMessage(WM_COMMAND, MAKEWPARAM(kEdit, EN_MAXTEXT),
                              reinterpret_cast<LPARAM>(window.edit.m_hWnd));
    EXPECT_EQ(window.dialog.commandCodes.back(), EN_MAXTEXT) << "unhandled ones go on";
}

TEST(Controls, DefaultProcessingGoesToTheControlsOwnProcedure) {
    EditDialog window;
    window.edit.allowedChars = L"0123456789";
    for (const wchar_t ch : std::wstring(L"a1b2"))
        window.edit.SendMessage(WM_CHAR, ch, 1);
    EXPECT_EQ(TextOf(window.edit), "12");
}

TEST(Controls, ControlsLetGoWhenTheDialogIsDestroyed) {
    EditDialog window;
    const HWND control = window.edit.m_hWnd;
    window.dialog.DestroyWindow();

    EXPECT_EQ(window.dialog.m_hWnd, nullptr);
    EXPECT_EQ(window.edit.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(control), nullptr);
}

TEST(EditBox, SelectionCountsUtf8Bytes) {
    EditDialog window;
    CEdit& edit = window.edit;
    // a, n-tilde (2 bytes), b, euro (3 bytes), c, G clef (4 bytes, a surrogate pair), d
    const char* text = "a\xC3\xB1"
                       "b\xE2\x82\xAC"
                       "c\xF0\x9D\x84\x9E"
                       "d";
    edit.SetWindowText(text);
    EXPECT_EQ(TextOf(edit), text);
    EXPECT_EQ(edit.GetWindowTextLength(), 13);

    int start = 0;
    int end = 0;
    edit.SetSel(4, 7); // the euro sign
    edit.GetSel(start, end);
    EXPECT_EQ(start, 4);
    EXPECT_EQ(end, 7);

    edit.SetSel(8, 12); // the G clef, a surrogate pair
    EXPECT_EQ(edit.SendMessage(EM_GETSEL), MAKELONG(5, 7)) << "in UTF-16 units";

    edit.SetSel(0, -1);
    edit.GetSel(start, end);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 13);

    edit.SetSel(5, 6); // inside the euro sign: its end
    edit.GetSel(start, end);
    EXPECT_EQ(start, 7);
    EXPECT_EQ(end, 7);
}

// A dialog with a number box, a check box and a group of three radio buttons.
DialogTemplate ValuesTemplate() {
    DialogTemplate values;
    values.Add(L"Edit", kNumber, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP | WS_GROUP, L"", 4, 4);
    values.Add(L"Button", kCheck, BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, L"check", 4, 18);
    values.Add(L"Button", kRadioFirst, BS_AUTORADIOBUTTON | WS_GROUP, L"one", 4, 32);
    values.Add(L"Button", kRadioSecond, BS_AUTORADIOBUTTON, L"two", 4, 46);
    values.Add(L"Button", kRadioThird, BS_AUTORADIOBUTTON, L"three", 4, 60);
    values.Add(L"Button", kAfterGroup, BS_AUTORADIOBUTTON | WS_GROUP, L"other", 4, 74);
    return values;
}

struct Values {
    int number = 0;
    int check = 0;
    int radio = 0;
};

TEST(DataExchange, ValuesGoToTheControlsAndComeBack) {
    const DialogTemplate valuesTemplate = ValuesTemplate();
    TestDialog dialog(valuesTemplate);
    Values values{-17, BST_CHECKED, 2};
    dialog.exchange = [&](CDataExchange* dx) {
        DDX_Text(dx, kNumber, values.number);
        DDX_Check(dx, kCheck, values.check);
        DDX_Radio(dx, kRadioFirst, values.radio);
    };
    ASSERT_TRUE(dialog.CreateIndirect(valuesTemplate.Get()));

    CString shown;
    dialog.GetDlgItemText(kNumber, shown);
    EXPECT_EQ(shown, "-17");
    EXPECT_EQ(::IsDlgButtonChecked(dialog.m_hWnd, kCheck), BST_CHECKED);
    EXPECT_EQ(::IsDlgButtonChecked(dialog.m_hWnd, kRadioThird), BST_CHECKED);
    EXPECT_EQ(::IsDlgButtonChecked(dialog.m_hWnd, kRadioFirst), BST_UNCHECKED);

    dialog.SetDlgItemText(kNumber, " 42 ");
    ::CheckDlgButton(dialog.m_hWnd, kCheck, BST_UNCHECKED);
    ::CheckDlgButton(dialog.m_hWnd, kRadioThird, BST_UNCHECKED);
    ::CheckDlgButton(dialog.m_hWnd, kRadioFirst, BST_CHECKED);
    ::CheckDlgButton(dialog.m_hWnd, kAfterGroup, BST_CHECKED);
    EXPECT_TRUE(dialog.UpdateData(TRUE));
    EXPECT_EQ(values.number, 42);
    EXPECT_EQ(values.check, BST_UNCHECKED);
    EXPECT_EQ(values.radio, 0) << "the button after the group does not count";

    ::CheckDlgButton(dialog.m_hWnd, kRadioFirst, BST_UNCHECKED);
    EXPECT_TRUE(dialog.UpdateData(TRUE));
    EXPECT_EQ(values.radio, -1);
}

TEST(DataExchange, RejectedValueFailsWithAMessageAndKeepsTheMember) {
    const DialogTemplate valuesTemplate = ValuesTemplate();
    TestDialog dialog(valuesTemplate);
    int number = 5;
    dialog.exchange = [&](CDataExchange* dx) {
        DDX_Text(dx, kNumber, number);
        DDV_MinMaxInt(dx, number, 1, 10);
    };
    ASSERT_TRUE(dialog.CreateIndirect(valuesTemplate.Get()));
    wintest::MessageBoxCloser closer;

    dialog.SetDlgItemText(kNumber, "12abc");
    EXPECT_FALSE(dialog.UpdateData(TRUE));
    EXPECT_EQ(number, 5);

    dialog.SetDlgItemText(kNumber, "11");
    EXPECT_FALSE(dialog.UpdateData(TRUE));

    dialog.SetDlgItemText(kNumber, "10");
    EXPECT_TRUE(dialog.UpdateData(TRUE));
    EXPECT_EQ(number, 10);

    ASSERT_EQ(closer.seen.size(), 2u);
    EXPECT_EQ(closer.seen[0].text, "Please enter an integer.");
    EXPECT_EQ(closer.seen[1].text, "Please enter an integer between 1 and 10.");
}

} // namespace
