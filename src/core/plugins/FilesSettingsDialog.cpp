// The settings dialog of the Files and Folders plug-in: the folders (one per line) or every
// fixed drive, the folders left out, the extensions, the depth, whether folders and hidden
// files are found too, and the most items taken (with a line telling when it was reached).
#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "core/plugins/DialogTemplate.h"
#include "core/plugins/FilesPlugin.h"
#include "support/event_report.h"

namespace corvantile::core {
namespace {

enum ControlId : WORD {
    kFolders = 101,
    kAddFolder = 102,
    kExtensions = 103,
    kDepth = 104,
    kIncludeFolders = 105,
    kAllFixedDrives = 106,
    kExclusions = 107,
    kIncludeHidden = 108,
    kMaxItems = 109,
    kLimitNote = 110,
};

struct DialogData {
    FilesSettings* settings;
    std::size_t limitReached;
};

DialogTemplate buildTemplate() {
    DialogTemplate dialog(L"Files and Folders", 260, 282);
    using T = DialogTemplate;
    dialog.addControl(T::kStatic, L"Folders to search, one per line:", 0xFFFF, 7, 7, 200, 8,
                      SS_LEFT);
    dialog.addControl(T::kEdit, L"", kFolders, 7, 18, 246, 60,
                      WS_BORDER | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                          ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN);
    dialog.addControl(T::kButton, L"&Add Folder...", kAddFolder, 7, 82, 60, 14,
                      WS_TABSTOP | BS_PUSHBUTTON);
    dialog.addControl(T::kButton, L"All fixed &drives too", kAllFixedDrives, 80, 84, 170, 10,
                      WS_TABSTOP | BS_AUTOCHECKBOX);
    dialog.addControl(T::kStatic, L"Folders left out, by name or full path (; between them):",
                      0xFFFF, 7, 102, 246, 8, SS_LEFT);
    dialog.addControl(T::kEdit, L"", kExclusions, 7, 113, 246, 30,
                      WS_BORDER | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL);
    dialog.addControl(T::kStatic, L"File extensions, such as txt;pdf (empty: all files):", 0xFFFF,
                      7, 150, 246, 8, SS_LEFT);
    dialog.addControl(T::kEdit, L"", kExtensions, 7, 161, 246, 14,
                      WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL);
    dialog.addControl(T::kStatic, L"Levels of subfolders:", 0xFFFF, 7, 184, 80, 8, SS_LEFT);
    dialog.addControl(T::kEdit, L"", kDepth, 90, 182, 30, 14,
                      WS_BORDER | WS_TABSTOP | ES_NUMBER | ES_AUTOHSCROLL);
    dialog.addControl(T::kButton, L"Find &folders too", kIncludeFolders, 135, 184, 110, 10,
                      WS_TABSTOP | BS_AUTOCHECKBOX);
    dialog.addControl(T::kButton, L"Find &hidden and system files too", kIncludeHidden, 7, 202, 200,
                      10, WS_TABSTOP | BS_AUTOCHECKBOX);
    dialog.addControl(T::kStatic, L"Most items to index:", 0xFFFF, 7, 220, 80, 8, SS_LEFT);
    dialog.addControl(T::kEdit, L"", kMaxItems, 90, 218, 60, 14,
                      WS_BORDER | WS_TABSTOP | ES_NUMBER | ES_AUTOHSCROLL);
    dialog.addControl(T::kStatic, L"", kLimitNote, 7, 237, 246, 20, SS_LEFT);
    dialog.addControl(T::kButton, L"OK", IDOK, 149, 261, 50, 14, WS_TABSTOP | BS_DEFPUSHBUTTON);
    dialog.addControl(T::kButton, L"Cancel", IDCANCEL, 203, 261, 50, 14,
                      WS_TABSTOP | BS_PUSHBUTTON);
    return dialog;
}

CString itemText(HWND dialog, int id) {
    const HWND control = GetDlgItem(dialog, id);
    const int length = GetWindowTextLengthW(control);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(control, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return CString::FromW(text.c_str(), length);
}

void setItemText(HWND dialog, int id, const CString& text) {
    SetDlgItemTextW(dialog, id, text.W().c_str());
}

void fill(HWND dialog, const FilesSettings& settings, std::size_t limitReached) {
    CString folders;
    for (const CString& folder : settings.folders)
        folders += folder + "\r\n";
    setItemText(dialog, kFolders, folders);
    setItemText(dialog, kExtensions, FilesSettings::joinExtensions(settings.extensions));
    SetDlgItemInt(dialog, kDepth, static_cast<UINT>(settings.depth), FALSE);
    CheckDlgButton(dialog, kIncludeFolders, settings.includeFolders ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, kAllFixedDrives, settings.allFixedDrives ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, kIncludeHidden, settings.includeHidden ? BST_CHECKED : BST_UNCHECKED);
    setItemText(dialog, kExclusions, FilesSettings::joinExclusions(settings.exclusions));
    setItemText(dialog, kMaxItems, CString(std::to_string(settings.maxItems).c_str()));
    if (limitReached != 0)
        setItemText(dialog, kLimitNote,
                    "The last indexing stopped at this limit, after " + groupedCount(limitReached) +
                        " items.");
}

void read(HWND dialog, FilesSettings& settings) {
    settings.folders.clear();
    const CString text = itemText(dialog, kFolders);
    int start = 0;
    while (start <= text.GetLength()) {
        int end = text.Find('\n', start);
        if (end < 0)
            end = text.GetLength();
        CString line = text.Mid(start, end - start);
        line.Trim();
        if (!line.IsEmpty())
            settings.folders.push_back(line);
        start = end + 1;
    }
    settings.extensions = FilesSettings::parseExtensions(itemText(dialog, kExtensions));
    BOOL converted = FALSE;
    const UINT depth = GetDlgItemInt(dialog, kDepth, &converted, FALSE);
    if (converted)
        settings.depth = static_cast<int>(std::min<UINT>(depth, FilesSettings::kMaxDepth));
    settings.includeFolders = IsDlgButtonChecked(dialog, kIncludeFolders) == BST_CHECKED;
    settings.allFixedDrives = IsDlgButtonChecked(dialog, kAllFixedDrives) == BST_CHECKED;
    settings.includeHidden = IsDlgButtonChecked(dialog, kIncludeHidden) == BST_CHECKED;
    settings.exclusions = FilesSettings::parseExclusions(itemText(dialog, kExclusions));
    const unsigned long long limit =
        std::strtoull(itemText(dialog, kMaxItems).GetString(), nullptr, 10);
    if (limit > 0)
        settings.maxItems =
            std::max(static_cast<std::size_t>(limit), FilesSettings::kLeastMaxItems);
}

void addFolder(HWND dialog) {
    BROWSEINFOW browse{};
    browse.hwndOwner = dialog;
    browse.lpszTitle = L"Choose a folder to search";
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    PIDLIST_ABSOLUTE list = SHBrowseForFolderW(&browse);
    if (!list)
        return;
    wchar_t path[MAX_PATH] = {};
    if (SHGetPathFromIDListW(list, path)) {
        CString folders = itemText(dialog, kFolders);
        if (!folders.IsEmpty() && folders.Right(1) != "\n")
            folders += "\r\n";
        folders += CString::FromW(path) + "\r\n";
        setItemText(dialog, kFolders, folders);
    }
    CoTaskMemFree(list);
}

INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            fill(dialog, *reinterpret_cast<DialogData*>(lParam)->settings,
                 reinterpret_cast<DialogData*>(lParam)->limitReached);
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
            case IDOK:
                read(
                    dialog,
                    *reinterpret_cast<DialogData*>(GetWindowLongPtrW(dialog, DWLP_USER))->settings);
                EndDialog(dialog, IDOK);
                return TRUE;
            case IDCANCEL:
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            case kAddFolder:
                addFolder(dialog);
                return TRUE;
            }
            break;
        }
    } catch (...) {
        // Nothing may unwind through the dialog manager.
        corvantile::support::report_caught("the Files and Folders settings");
    }
    return FALSE;
}

} // namespace

bool runFilesSettingsDialog(HWND parent, FilesSettings& settings, std::size_t limitReached) {
    const DialogTemplate dialog = buildTemplate();
    FilesSettings edited = settings;
    DialogData data{&edited, limitReached};
    const INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog.get(), parent,
                                                   dialogProc, reinterpret_cast<LPARAM>(&data));
    if (result != IDOK)
        return false;
    settings = std::move(edited);
    return true;
}

} // namespace corvantile::core
