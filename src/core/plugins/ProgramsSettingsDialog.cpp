// The settings dialog of the Programs plug-in: a check box for each place it reads.
#include "core/plugins/DialogTemplate.h"
#include "core/plugins/ProgramsPlugin.h"
#include "support/event_report.h"

namespace corvantile::core {
namespace {

struct Choice {
    WORD id;
    const wchar_t* text;
    bool ProgramsSettings::*flag;
};

const Choice kChoices[] = {
    {101, L"&Start Menu and Desktop shortcuts", &ProgramsSettings::startMenu},
    {102, L"Programs &registered with Windows (App Paths)", &ProgramsSettings::appPaths},
    {103, L"Programs in the &PATH folders (.exe, .msc)", &ProgramsSettings::path},
    {104, L"Batch files in the PATH folders too (.&bat, .cmd)", &ProgramsSettings::scripts},
    {105, L"Installed &apps (Applications folder)", &ProgramsSettings::appsFolder},
};

DialogTemplate buildTemplate() {
    DialogTemplate dialog(L"Programs", 230, 122);
    using T = DialogTemplate;
    dialog.addControl(T::kStatic, L"Find programs in:", 0xFFFF, 7, 7, 200, 8, SS_LEFT);
    short y = 20;
    for (const Choice& choice : kChoices) {
        dialog.addControl(T::kButton, choice.text, choice.id, 14, y, 209, 10,
                          WS_TABSTOP | BS_AUTOCHECKBOX);
        y += 14;
    }
    dialog.addControl(T::kButton, L"OK", IDOK, 119, 101, 50, 14, WS_TABSTOP | BS_DEFPUSHBUTTON);
    dialog.addControl(T::kButton, L"Cancel", IDCANCEL, 173, 101, 50, 14,
                      WS_TABSTOP | BS_PUSHBUTTON);
    return dialog;
}

INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        switch (message) {
        case WM_INITDIALOG: {
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            const auto* settings = reinterpret_cast<const ProgramsSettings*>(lParam);
            for (const Choice& choice : kChoices)
                CheckDlgButton(dialog, choice.id,
                               settings->*choice.flag ? BST_CHECKED : BST_UNCHECKED);
            return TRUE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                auto* settings =
                    reinterpret_cast<ProgramsSettings*>(GetWindowLongPtrW(dialog, DWLP_USER));
                for (const Choice& choice : kChoices)
                    settings->*choice.flag = IsDlgButtonChecked(dialog, choice.id) == BST_CHECKED;
                EndDialog(dialog, IDOK);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            break;
        }
    } catch (...) {
        // Nothing may unwind through the dialog manager.
        corvantile::support::report_caught("the Programs settings");
    }
    return FALSE;
}

} // namespace

bool runProgramsSettingsDialog(HWND parent, ProgramsSettings& settings) {
    const DialogTemplate dialog = buildTemplate();
    ProgramsSettings edited = settings;
    const INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog.get(), parent,
                                                   dialogProc, reinterpret_cast<LPARAM>(&edited));
    if (result != IDOK)
        return false;
    settings = edited;
    return true;
}

} // namespace corvantile::core
