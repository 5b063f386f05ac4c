#include "prefs/PrefsPageShortcuts.h"

#include "core_iface/VCorvantileCore.h"
#include "core_iface/VElement.h"
#include "res/resource.h"

PrefsPageShortcuts::PrefsPageShortcuts() : CBCGPPropertyPage(IDD_PREFS_SHORTCUTS) {}

void PrefsPageShortcuts::DoDataExchange(CDataExchange* dx) {
    CBCGPPropertyPage::DoDataExchange(dx);
    DDX_Control(dx, IDC_PREFS_ACTION_LIST, m_list);
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
    if (first) {
        m_list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
        m_list.InsertColumn(0, "Action Name", LVCFMT_LEFT, 110);
        m_list.InsertColumn(1, "Shortcut", LVCFMT_LEFT, 75);
        m_list.InsertColumn(2, "Description", LVCFMT_LEFT, 200);
    } else {
        m_list.DeleteAllItems();
        m_list.SetSmallImageList(nullptr);
    }
    m_imageList.Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 1);
    m_list.SetSmallImageList(m_imageList);
    for (int i = 0; i < core->getNumActions(); ++i) {
        VAction* action = core->getAction(i);
        const HICON icon = action->getIcon();
        m_list.InsertItem(i, action->name, icon ? m_imageList.Add(icon) : -1);
        // A trailing blank would not show: the column names it ("g + Space").
        m_list.SetItemText(i, 1, VAction::describeShortcut(core->getShortcut(action)));
        m_list.SetItemText(i, 2, action->description);
        m_list.SetItemData(i, reinterpret_cast<DWORD_PTR>(action));
    }
    GetDlgItem(IDC_PREFS_SHORTCUT)->EnableWindow(FALSE);
}

VAction* PrefsPageShortcuts::actionOfRow(int row) const {
    return row >= 0 ? reinterpret_cast<VAction*>(m_list.GetItemData(row)) : nullptr;
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
    if (const int row = m_list.FindItemData(reinterpret_cast<DWORD_PTR>(action)); row >= 0)
        m_list.SetItemText(row, 1, VAction::describeShortcut(shortcut));
}

void PrefsPageShortcuts::onAssign() {
    VAction* action = actionOfRow(m_list.GetNextSelected());
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
    VAction* action = actionOfRow(m_list.GetNextSelected());
    SetDlgItemText(IDC_PREFS_SHORTCUT, action ? findShortcut(action) : CString());
    GetDlgItem(IDC_PREFS_SHORTCUT)->EnableWindow(action != nullptr);
    *result = 0;
    return TRUE;
}

void PrefsPageShortcuts::OnOK() {
    VCorvantileCore* core = VCorvantileCore::instance();
    for (int row = 0; row < m_list.GetItemCount(); ++row)
        if (VAction* action = actionOfRow(row))
            core->setShortcut(findShortcut(action), action);
    CBCGPPropertyPage::OnOK();
}
