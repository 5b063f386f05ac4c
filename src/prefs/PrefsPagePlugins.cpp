#include "prefs/PrefsPagePlugins.h"

#include "core_iface/VCorvantileCore.h"
#include "core_iface/VPlugin.h"
#include "res/resource.h"

PrefsPagePlugins::PrefsPagePlugins() : CBCGPPropertyPage(IDD_PREFS_PLUGINS) {}

void PrefsPagePlugins::DoDataExchange(CDataExchange* dx) {
    CBCGPPropertyPage::DoDataExchange(dx);
    DDX_Control(dx, IDC_PREFS_PLUGIN_LIST, m_list);
}

BOOL PrefsPagePlugins::OnInitDialog() {
    CBCGPPropertyPage::OnInitDialog();
    const VPluginManager* plugins = VCorvantileCore::instance()->pluginManager;
    m_list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    m_list.InsertColumn(0, "Name", LVCFMT_LEFT, 110);
    m_list.InsertColumn(1, "Description", LVCFMT_LEFT, 150);
    m_list.InsertColumn(2, "Author", LVCFMT_LEFT, 74);
    m_imageList.Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 1);
    m_list.SetSmallImageList(m_imageList);
    // Row i is plug-in i; a plug-in without an icon shows none.
    for (int i = 0; plugins && i < plugins->getNumPlugins(); ++i) {
        VPlugin* plugin = plugins->getPlugin(i);
        m_list.InsertItem(i, plugin->getName(), plugin->icon ? m_imageList.Add(plugin->icon) : -1);
        m_list.SetItemText(i, 1, plugin->getDescription());
        m_list.SetItemText(i, 2, plugin->getAuthor());
    }
    GetDlgItem(IDC_PREFS_CONFIGURE)->EnableWindow(FALSE);
    return TRUE;
}

VPlugin* PrefsPagePlugins::selectedConfigurable() const {
    const int row = m_list.GetNextSelected();
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
