#include "prefs/PrefsPageShortcuts.h"

#include "core_iface/VCorvantileCore.h"
#include "core_iface/VElement.h"
#include "res/resource.h"

namespace {

void SetCellText(HWND list, int row, int column, const CString& text) {
    std::wstring wide = text.W();
    LVITEMW cell{};
    cell.iSubItem = column;
    cell.pszText = wide.data();
    ::SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&cell));
}

} // namespace

PrefsPageShortcuts::PrefsPageShortcuts(CCorvantileDlg*) : CBCGPPropertyPage(IDD_PREFS_SHORTCUTS) {}

HWND PrefsPageShortcuts::list() const {
    return ::GetDlgItem(m_hWnd, IDC_PREFS_ACTION_LIST);
}

BOOL PrefsPageShortcuts::OnInitDialog() {
    CBCGPPropertyPage::OnInitDialog();
    fillList(true);
    m_justInitialized = true;
    return TRUE;
}

// Each return to the page starts again from the core: assignments not yet written by OK go.
BOOL PrefsPageShortcuts::OnSetActive() {
    const BOOL shown = CBCGPPropertyPage::OnSetActive();
    if (!m_justInitialized)
        fillList(false);
    m_justInitialized = false;
    return shown;
}

void PrefsPageShortcuts::fillList(bool first) {
    VCorvantileCore* core = VCorvantileCore::instance();
    m_shortcuts.clear();
    // With one text on several actions the later action keeps it.
    for (int i = 0; i < core->getNumActions(); ++i) {
        VAction* action = core->getAction(i);
        const CString shortcut = core->getShortcut(action);
        if (!shortcut.IsEmpty())
            m_shortcuts[shortcut.str()] = action;
    }
    const HWND rows = list();
    if (first) {
        ::SendMessageW(rows, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
                       LVS_EX_FULLROWSELECT);
        const std::pair<const wchar_t*, int> columns[] = {
            {L"Action Name", 110}, {L"Shortcut", 75}, {L"Description", 200}};
        for (int c = 0; c < 3; ++c) {
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
            column.fmt = LVCFMT_LEFT;
            column.pszText = const_cast<wchar_t*>(columns[c].first);
            column.cx = columns[c].second;
            ::SendMessageW(rows, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
        }
    } else {
        ::SendMessageW(rows, LVM_DELETEALLITEMS, 0, 0);
        ::SendMessageW(rows, LVM_SETIMAGELIST, LVSIL_SMALL, 0);
        ImageList_Destroy(m_imageList);
    }
    m_imageList = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 1);
    ::SendMessageW(rows, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(m_imageList));
    for (int i = 0; i < core->getNumActions(); ++i) {
        VAction* action = core->getAction(i);
        const HICON icon = action->getIcon();
        std::wstring name = action->name.W();
        LVITEMW row{};
        row.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        row.iItem = i;
        row.iImage = icon ? ImageList_AddIcon(m_imageList, icon) : -1;
        row.pszText = name.data();
        row.lParam = reinterpret_cast<LPARAM>(action);
        ::SendMessageW(rows, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row));
        SetCellText(rows, i, 1, core->getShortcut(action));
        SetCellText(rows, i, 2, action->description);
    }
    GetDlgItem(IDC_PREFS_SHORTCUT)->EnableWindow(FALSE);
}

void PrefsPageShortcuts::OnDestroy() {
    // The list shares the image list (LVS_SHAREIMAGELISTS): it is the page's to free.
    if (m_imageList)
        ImageList_Destroy(m_imageList);
    m_imageList = nullptr;
    CBCGPPropertyPage::OnDestroy();
}

int PrefsPageShortcuts::selectedRow() const {
    return static_cast<int>(::SendMessageW(list(), LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
}

VAction* PrefsPageShortcuts::actionOfRow(int row) const {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!::SendMessageW(list(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)))
        return nullptr;
    return reinterpret_cast<VAction*>(item.lParam);
}

CString PrefsPageShortcuts::findShortcut(VAction* action) const {
    for (const auto& [text, holder] : m_shortcuts)
        if (holder == action)
            return text;
    return {};
}

VAction* PrefsPageShortcuts::findAction(const CString& shortcut) const {
    const auto found = m_shortcuts.find(shortcut.str());
    return found == m_shortcuts.end() ? nullptr : found->second;
}

void PrefsPageShortcuts::assignShortcut(const CString& shortcut, VAction* action) {
    std::erase_if(m_shortcuts, [action](const auto& entry) { return entry.second == action; });
    if (!shortcut.IsEmpty())
        m_shortcuts[shortcut.str()] = action;
    LVFINDINFOW find{};
    find.flags = LVFI_PARAM;
    find.lParam = reinterpret_cast<LPARAM>(action);
    const int row = static_cast<int>(
        ::SendMessageW(list(), LVM_FINDITEMW, WPARAM(-1), reinterpret_cast<LPARAM>(&find)));
    if (row >= 0)
        SetCellText(list(), row, 1, shortcut);
}

void PrefsPageShortcuts::onAssign() {
    const int row = selectedRow();
    VAction* action = row >= 0 ? actionOfRow(row) : nullptr;
    if (!action)
        return;
    CString shortcut;
    GetDlgItemText(IDC_PREFS_SHORTCUT, shortcut);
    if (!shortcut.IsEmpty()) {
        VAction* holder = findAction(shortcut);
        if (holder && holder != action) {
            CString question;
            question.Format("%s is already assigned to \"%s\".\nDo you want to replace it?",
                            shortcut.GetString(), holder->name.GetString());
            if (AfxMessageBox(question, MB_YESNO) == IDNO)
                return;
            assignShortcut({}, holder);
        }
    }
    assignShortcut(shortcut, action);
}

BOOL PrefsPageShortcuts::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDC_PREFS_ASSIGN) {
        onAssign();
        return TRUE;
    }
    return CBCGPPropertyPage::OnCommand(wParam, lParam);
}

// The shortcut box shows the selected action's shortcut, by mouse or keyboard alike.
BOOL PrefsPageShortcuts::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->idFrom != IDC_PREFS_ACTION_LIST ||
        (header->code != NM_CLICK && header->code != LVN_ITEMCHANGED))
        return CBCGPPropertyPage::OnNotify(wParam, lParam, result);
    const int row = selectedRow();
    VAction* action = row >= 0 ? actionOfRow(row) : nullptr;
    SetDlgItemText(IDC_PREFS_SHORTCUT, action ? findShortcut(action) : CString());
    GetDlgItem(IDC_PREFS_SHORTCUT)->EnableWindow(action != nullptr);
    *result = 0;
    return TRUE;
}

void PrefsPageShortcuts::OnOK() {
    VCorvantileCore* core = VCorvantileCore::instance();
    const int rows = static_cast<int>(::SendMessageW(list(), LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row)
        if (VAction* action = actionOfRow(row))
            core->setShortcut(findShortcut(action), action);
    CBCGPPropertyPage::OnOK();
}
