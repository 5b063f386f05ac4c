// Helpers of the framework tests: dialog templates built in memory, and a dialog and an edit box
// whose behaviour each test plugs in.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/CDialog.h"
#include "common/win_test_support.h"
#include "framework/CEdit.h"

namespace fwtest {

// A DLGTEMPLATE with its items, laid out in memory as CreateDialogIndirect expects.
class DialogTemplate {
public:
    explicit DialogTemplate(DWORD style = WS_POPUP | WS_BORDER, const wchar_t* title = L"Test");
    DialogTemplate& Add(const wchar_t* className, int id, DWORD style, const wchar_t* text = L"",
                        short x = 4, short y = 4, short cx = 80, short cy = 12);
    LPCDLGTEMPLATE Get() const { return reinterpret_cast<LPCDLGTEMPLATE>(m_words.data()); }

private:
    void AddDword(DWORD value);
    void AddText(const wchar_t* text);
    void AlignToDword();

    std::vector<WORD> m_words;
};

// A dialog with an edit box 1000 and the OK and Cancel buttons.
DialogTemplate EditDialogTemplate();

// A dialog whose handlers are plugged in by the test. A watchdog timer ends it with
// kWatchdogResult should a test never end it, so that no test can hang.
class TestDialog : public CDialog {
public:
    static constexpr int kWatchdogResult = -2;

    explicit TestDialog(const DialogTemplate& dialogTemplate, CWnd* parent = nullptr);

    std::function<void()> onCreate;
    std::function<void()> onInit;
    std::function<void()> onOK;
    std::function<void()> onCancel;
    std::function<void()> onDestroy;
    std::function<void(UINT_PTR)> onTimer;
    std::function<BOOL(MSG*)> preTranslate;
    std::function<void(CDataExchange*)> exchange;
    // A message without a handler of its own; returns true when it handled it.
    std::function<bool(UINT, WPARAM, LPARAM, LRESULT&)> onMessage;
    std::vector<WORD> commandCodes; // notification codes that reached OnCommand

    BOOL PreTranslateMessage(MSG* msg) override;
    using CDialog::UpdateData;

protected:
    int OnCreate(CREATESTRUCTW* create) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnDestroy() override;
    void OnTimer(UINT_PTR id) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void DoDataExchange(CDataExchange* dx) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// An edit box whose key handling is plugged in by the test; counts its reflected EN_CHANGE.
class TestEdit : public CEdit {
public:
    int changes = 0;
    std::function<BOOL(MSG*)> preTranslate;
    std::function<void(UINT)> onKeyDown;
    // Characters that the edit control may insert; all when empty.
    std::wstring allowedChars;
    UINT dlgCode = 0; // answered to WM_GETDLGCODE when not 0

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
    void OnChar(UINT ch, UINT repeat, UINT flags) override;
    UINT OnGetDlgCode() override;
};

} // namespace fwtest
