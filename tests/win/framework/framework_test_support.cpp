#include "framework_test_support.h"

namespace fwtest {

namespace {

constexpr UINT_PTR kWatchdogTimer = 0xD06;
constexpr UINT kWatchdogMilliseconds = 20000;

} // namespace

DialogTemplate::DialogTemplate(DWORD style, const wchar_t* title) {
    AddDword(style);
    AddDword(0);           // extended style
    m_words.push_back(0);  // item count, counted by Add
    m_words.push_back(10); // x
    m_words.push_back(10); // y
    m_words.push_back(200);
    m_words.push_back(100);
    m_words.push_back(0); // no menu
    m_words.push_back(0); // the standard dialog class
    AddText(title);
}

DialogTemplate& DialogTemplate::Add(const wchar_t* className, int id, DWORD style,
                                    const wchar_t* text, short x, short y, short cx, short cy) {
    AlignToDword();
    AddDword(style | WS_CHILD | WS_VISIBLE);
    AddDword(0);
    m_words.push_back(static_cast<WORD>(x));
    m_words.push_back(static_cast<WORD>(y));
    m_words.push_back(static_cast<WORD>(cx));
    m_words.push_back(static_cast<WORD>(cy));
    m_words.push_back(static_cast<WORD>(id));
    AddText(className);
    AddText(text);
    m_words.push_back(0); // no creation data
    ++m_words[4];         // cdit, after style and extended style
    return *this;
}

void DialogTemplate::AddDword(DWORD value) {
    m_words.push_back(LOWORD(value));
    m_words.push_back(HIWORD(value));
}

void DialogTemplate::AddText(const wchar_t* text) {
    for (const wchar_t* ch = text; *ch; ++ch)
        m_words.push_back(static_cast<WORD>(*ch));
    m_words.push_back(0);
}

void DialogTemplate::AlignToDword() {
    if (m_words.size() % 2)
        m_words.push_back(0);
}

DialogTemplate EditDialogTemplate() {
    DialogTemplate dialog;
    dialog.Add(L"Edit", 1000, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, L"", 4, 4, 120, 12);
    dialog.Add(L"Button", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, L"OK", 4, 20, 40, 14);
    dialog.Add(L"Button", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, L"Cancel", 50, 20, 40, 14);
    return dialog;
}

TestDialog::TestDialog(const DialogTemplate& dialogTemplate, CWnd* parent) : CDialog(0, parent) {
    InitModalIndirect(dialogTemplate.Get(), parent);
}

BOOL TestDialog::PreTranslateMessage(MSG* msg) {
    return preTranslate ? preTranslate(msg) : CDialog::PreTranslateMessage(msg);
}

int TestDialog::OnCreate(CREATESTRUCTW* create) {
    if (onCreate)
        onCreate();
    return CDialog::OnCreate(create);
}

BOOL TestDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    SetTimer(kWatchdogTimer, kWatchdogMilliseconds);
    if (onInit)
        onInit();
    return TRUE;
}

void TestDialog::OnOK() {
    if (onOK)
        onOK();
    else
        CDialog::OnOK();
}

void TestDialog::OnCancel() {
    if (onCancel)
        onCancel();
    else
        CDialog::OnCancel();
}

void TestDialog::OnDestroy() {
    if (onDestroy)
        onDestroy();
    CDialog::OnDestroy();
}

void TestDialog::OnTimer(UINT_PTR id) {
    if (id == kWatchdogTimer) {
        KillTimer(id);
        EndDialog(kWatchdogResult);
        return;
    }
    if (onTimer)
        onTimer(id);
}

BOOL TestDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    commandCodes.push_back(HIWORD(wParam));
    return CDialog::OnCommand(wParam, lParam);
}

void TestDialog::DoDataExchange(CDataExchange* dx) {
    if (exchange)
        exchange(dx);
}

LRESULT TestDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (onMessage && onMessage(message, wParam, lParam, result))
        return result;
    return CDialog::WindowProc(message, wParam, lParam);
}

BOOL TestEdit::PreTranslateMessage(MSG* msg) {
    return preTranslate ? preTranslate(msg) : CEdit::PreTranslateMessage(msg);
}

BOOL TestEdit::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_COMMAND && HIWORD(wParam) == EN_CHANGE) {
        ++changes;
        return TRUE;
    }
    return CEdit::OnChildNotify(message, wParam, lParam, result);
}

void TestEdit::OnKeyDown(UINT key, UINT repeat, UINT flags) {
    if (onKeyDown)
        onKeyDown(key);
    CEdit::OnKeyDown(key, repeat, flags);
}

void TestEdit::OnChar(UINT ch, UINT repeat, UINT flags) {
    if (allowedChars.empty() || allowedChars.find(static_cast<wchar_t>(ch)) != std::wstring::npos)
        CEdit::OnChar(ch, repeat, flags);
}

UINT TestEdit::OnGetDlgCode() {
    return dlgCode ? dlgCode : CEdit::OnGetDlgCode();
}

} // namespace fwtest
