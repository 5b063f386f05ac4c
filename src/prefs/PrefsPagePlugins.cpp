#include "prefs/PrefsPagePlugins.h"

#include "core_iface/VCorvantileCore.h"
#include "core_iface/VPlugin.h"
#include "res/resource.h"

PrefsPagePlugins::PrefsPagePlugins(CCorvantileDlg*) : CBCGPPropertyPage(IDD_PREFS_PLUGINS) {}

BOOL PrefsPagePlugins::OnInitDialog() {
    CBCGPPropertyPage::OnInitDialog();
    const VPluginManager* plugins = VCorvantileCore::instance()->pluginManager;
    const HWND list = ::GetDlgItem(m_hWnd, IDC_PREFS_PLUGIN_LIST);
    ::SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    const std::pair<const wchar_t*, int> columns[] = {
        {L"Name", 110}, {L"Description", 150}, {L"Author", 74}};
    for (int c = 0; c < 3; ++c) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.fmt = LVCFMT_LEFT;
        column.pszText = const_cast<wchar_t*>(columns[c].first);
        column.cx = columns[c].second;
        ::SendMessageW(list, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
    }
    m_imageList = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 1);
    ::SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(m_imageList));
    const int count = plugins ? plugins->getNumPlugins() : 0;
    for (int i = 0; i < count; ++i) {
        VPlugin* plugin = plugins->getPlugin(i);
        const int image = plugin->icon ? ImageList_AddIcon(m_imageList, plugin->icon) : -1;
        const std::wstring texts[] = {plugin->getName().W(), plugin->getDescription().W(),
                                      plugin->getAuthor().W()};
        LVITEMW row{};
        row.mask = LVIF_TEXT | LVIF_IMAGE;
        row.iItem = i;
        row.iImage = image;
        row.pszText = const_cast<wchar_t*>(texts[0].c_str());
        ::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row));
        for (int c = 1; c < 3; ++c) {
            LVITEMW cell{};
            cell.iSubItem = c;
            cell.pszText = const_cast<wchar_t*>(texts[c].c_str());
            ::SendMessageW(list, LVM_SETITEMTEXTW, i, reinterpret_cast<LPARAM>(&cell));
        }
    }
    GetDlgItem(IDC_PREFS_CONFIGURE)->EnableWindow(FALSE);
    return TRUE;
}

void PrefsPagePlugins::OnDestroy() {
    // The list shares the image list (LVS_SHAREIMAGELISTS): it is the page's to free.
    if (m_imageList)
        ImageList_Destroy(m_imageList);
    m_imageList = nullptr;
    CBCGPPropertyPage::OnDestroy();
}

VPlugin* PrefsPagePlugins::selectedConfigurable() const {
    const int row = static_cast<int>(::SendDlgItemMessageW(
        m_hWnd, IDC_PREFS_PLUGIN_LIST, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
    const VPluginManager* plugins = VCorvantileCore::instance()->pluginManager;
    if (row < 0 || !plugins || row >= plugins->getNumPlugins())
        return nullptr;
    VPlugin* plugin = plugins->getPlugin(row);
    return plugin->isConfigurable() ? plugin : nullptr;
}

// The button follows the selection, by mouse or keyboard alike.
BOOL PrefsPagePlugins::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->idFrom != IDC_PREFS_PLUGIN_LIST)
        return CBCGPPropertyPage::OnNotify(wParam, lParam, result);
    switch (header->code) {
    case NM_CLICK:
    case LVN_ITEMCHANGED:
        GetDlgItem(IDC_PREFS_CONFIGURE)->EnableWindow(selectedConfigurable() != nullptr);
        break;
    case NM_DBLCLK:
        if (VPlugin* plugin = selectedConfigurable())
            plugin->configure(m_hWnd);
        break;
    default:
        return CBCGPPropertyPage::OnNotify(wParam, lParam, result);
    }
    *result = 0;
    return TRUE;
}

BOOL PrefsPagePlugins::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDC_PREFS_CONFIGURE) {
        if (VPlugin* plugin = selectedConfigurable())
            plugin->configure(m_hWnd);
        return TRUE;
    }
    return CBCGPPropertyPage::OnCommand(wParam, lParam);
}
