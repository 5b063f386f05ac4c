// The settings dialog of the Files and Folders plug-in: the folders (one per line), the
// extensions, the depth, and whether folders are found too.
#include <shlobj.h>

#include <algorithm>
#include <string>

#include "core/plugins/DialogTemplate.h"
#include "core/plugins/FilesPlugin.h"

namespace corvantile::core {
namespace {

enum ControlId : WORD {
    kFolders = 101,
    kAddFolder = 102,
    kExtensions = 103,
    kDepth = 104,
    kIncludeFolders = 105,
};

DialogTemplate buildTemplate() {
    DialogTemplate dialog(L"Files and Folders", 260, 188);
    using T = DialogTemplate;
    dialog.addControl(T::kStatic, L"Folders to search, one per line:", 0xFFFF, 7, 7, 200, 8,
                      SS_LEFT);
    dialog.addControl(T::kEdit, L"", kFolders, 7, 18, 246, 70,
                      WS_BORDER | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                          ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN);
    dialog.addControl(T::kButton, L"&Add Folder...", kAddFolder, 7, 92, 60, 14,
                      WS_TABSTOP | BS_PUSHBUTTON);
    dialog.addControl(T::kStatic, L"File extensions, such as txt;pdf (empty: all files):", 0xFFFF,
                      7, 114, 246, 8, SS_LEFT);
    dialog.addControl(T::kEdit, L"", kExtensions, 7, 125, 246, 14,
                      WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL);
    dialog.addControl(T::kStatic, L"Levels of subfolders:", 0xFFFF, 7, 148, 80, 8, SS_LEFT);
    dialog.addControl(T::kEdit, L"", kDepth, 90, 146, 30, 14,
                      WS_BORDER | WS_TABSTOP | ES_NUMBER | ES_AUTOHSCROLL);
    dialog.addControl(T::kButton, L"Find &folders too", kIncludeFolders, 135, 148, 110, 10,
                      WS_TABSTOP | BS_AUTOCHECKBOX);
    dialog.addControl(T::kButton, L"OK", IDOK, 149, 167, 50, 14, WS_TABSTOP | BS_DEFPUSHBUTTON);
    dialog.addControl(T::kButton, L"Cancel", IDCANCEL, 203, 167, 50, 14,
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

void fill(HWND dialog, const FilesSettings& settings) {
    CString folders;
    for (const CString& folder : settings.folders)
        folders += folder + "\r\n";
    setItemText(dialog, kFolders, folders);
    setItemText(dialog, kExtensions, FilesSettings::joinExtensions(settings.extensions));
    SetDlgItemInt(dialog, kDepth, static_cast<UINT>(settings.depth), FALSE);
    CheckDlgButton(dialog, kIncludeFolders, settings.includeFolders ? BST_CHECKED : BST_UNCHECKED);
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
            fill(dialog, *reinterpret_cast<FilesSettings*>(lParam));
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
            case IDOK:
                read(dialog,
                     *reinterpret_cast<FilesSettings*>(GetWindowLongPtrW(dialog, DWLP_USER)));
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
    }
    return FALSE;
}

} // namespace

bool runFilesSettingsDialog(HWND parent, FilesSettings& settings) {
    const DialogTemplate dialog = buildTemplate();
    FilesSettings edited = settings;
    const INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog.get(), parent,
                                                   dialogProc, reinterpret_cast<LPARAM>(&edited));
    if (result != IDOK)
        return false;
    settings = std::move(edited);
    return true;
}

} // namespace corvantile::core
