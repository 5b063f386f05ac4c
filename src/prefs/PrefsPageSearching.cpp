#include "prefs/PrefsPageSearching.h"

#include <commctrl.h>

#include "core_iface/VCorvantileCore.h"
#include "prefs/PrefsOwner.h"
#include "res/resource.h"

namespace {

constexpr int kMaxDelayMs = 1000;

constexpr CToolTipCtrl::Tool kToolTips[] = {
    {IDC_PREFS_OFFLINE, "Consumes more memory, but searches will be much faster.\nCan slow "
                        "down application startup time as well."},
    {IDC_PREFS_REAL_TIME, "Consumes very little memory, but searches can take longer\nespecially "
                          "if you have many search folders."},
    {IDC_PREFS_CASE_SENSITIVE,
     "Searching will be case sensitive.\n(e.g. typing \"yah\" will not match \"Yahoo\")"},
    {IDC_PREFS_START_ONLY, "Searching will compare the beginning of strings.\n(e.g. typing "
                           "\"aho\" will not match \"Yahoo\""},
    {IDC_PREFS_WEB_TITLES_ONLY, "Search only titles of websites.\n(i.e. don't search urls)"},
    {IDC_PREFS_URL_DOMAINS_ONLY, "When searching urls, only search domain component.\n(e.g. "
                                 "in http://www.example.com/news/today.html only "
                                 "www.example.com)"},
    {IDC_PREFS_ACTIONS_AFTER_SPACE, "For example, typing \"g sometext\" will go into Google "
                                    "mode.\nOtherwise you need to type shortcut exactly or hit "
                                    "Enter key"},
    {IDC_PREFS_DELAY, "Delay in typing before a new search is started.\nA small value may start "
                      "searches before you want."},
    {IDC_PREFS_MIN_CHARS, "Minimum number of characters needed to start a search."},
    {IDC_PREFS_MIN_CHARS_SPIN, "Minimum number of characters needed to start a search."},
};

} // namespace

PrefsPageSearching::PrefsPageSearching(PrefsOwner& owner)
    : CBCGPPropertyPage(IDD_PREFS_SEARCHING), m_owner(owner) {}

void PrefsPageSearching::DoDataExchange(CDataExchange* dx) {
    CBCGPPropertyPage::DoDataExchange(dx);
    DDX_Radio(dx, IDC_PREFS_OFFLINE, m_searchMode);
    DDX_Text(dx, IDC_PREFS_MIN_CHARS, m_minChars);
    DDV_MinMaxInt(dx, m_minChars, 1, 10);
}

BOOL PrefsPageSearching::OnInitDialog() {
    CBCGPPropertyPage::OnInitDialog();
    VCorvantileCore* core = VCorvantileCore::instance();
    const std::pair<int, bool> boxes[] = {
        {IDC_PREFS_CASE_SENSITIVE, core->caseSensitive},
        {IDC_PREFS_START_ONLY, core->matchStartOnly},
        {IDC_PREFS_WEB_TITLES_ONLY, core->webTitlesOnly},
        {IDC_PREFS_URL_DOMAINS_ONLY, core->urlDomainsOnly},
        {IDC_PREFS_ACTIONS_AFTER_SPACE, m_owner.isMatchActionsAfterSpace()},
    };
    for (const auto& [id, on] : boxes)
        CheckDlgButton(m_hWnd, id, on ? BST_CHECKED : BST_UNCHECKED);
    const HWND slider = ::GetDlgItem(m_hWnd, IDC_PREFS_DELAY);
    ::SendMessageW(slider, TBM_SETRANGE, FALSE, MAKELPARAM(0, kMaxDelayMs));
    ::SendMessageW(slider, TBM_SETTICFREQ, 50, 0);
    ::SendMessageW(slider, TBM_SETPOS, TRUE, m_owner.getTypingDelay());
    ::SendDlgItemMessageW(m_hWnd, IDC_PREFS_MIN_CHARS_SPIN, UDM_SETRANGE32, 1, 10);
    m_minChars = core->minSearchChars;
    // Domains are part of the addresses, which titles-only leaves out.
    GetDlgItem(IDC_PREFS_URL_DOMAINS_ONLY)->EnableWindow(!core->webTitlesOnly);
    m_toolTip.Create(this, kToolTips);
    m_searchMode = core->liveSearching ? 1 : 0;
    UpdateData(FALSE);
    return TRUE;
}

BOOL PrefsPageSearching::PreTranslateMessage(MSG* msg) {
    m_toolTip.RelayEvent(msg);
    return CBCGPPropertyPage::PreTranslateMessage(msg);
}

BOOL PrefsPageSearching::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDC_PREFS_WEB_TITLES_ONLY) {
        GetDlgItem(IDC_PREFS_URL_DOMAINS_ONLY)
            ->EnableWindow(IsDlgButtonChecked(m_hWnd, IDC_PREFS_WEB_TITLES_ONLY) != BST_CHECKED);
        return TRUE;
    }
    return CBCGPPropertyPage::OnCommand(wParam, lParam);
}

void PrefsPageSearching::OnDestroy() {
    m_toolTip.DestroyWindow();
    CBCGPPropertyPage::OnDestroy();
}

void PrefsPageSearching::OnOK() {
    UpdateData(TRUE);
    const auto checked = [this](int id) { return IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED; };
    VCorvantileCore* core = VCorvantileCore::instance();
    core->caseSensitive = checked(IDC_PREFS_CASE_SENSITIVE);
    core->matchStartOnly = checked(IDC_PREFS_START_ONLY);
    core->webTitlesOnly = checked(IDC_PREFS_WEB_TITLES_ONLY);
    core->urlDomainsOnly = checked(IDC_PREFS_URL_DOMAINS_ONLY);
    m_owner.setMatchActionsAfterSpace(checked(IDC_PREFS_ACTIONS_AFTER_SPACE));
    m_owner.setTypingDelay(
        static_cast<int>(SendDlgItemMessageW(m_hWnd, IDC_PREFS_DELAY, TBM_GETPOS, 0, 0)));
    core->minSearchChars = m_minChars;
    core->setLiveSearching(m_searchMode == 1);
    CBCGPPropertyPage::OnOK();
}
