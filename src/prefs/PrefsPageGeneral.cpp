#include "prefs/PrefsPageGeneral.h"

#include <commctrl.h>

#include <array>

#include "core_iface/VCorvantileCore.h"
#include "framework/CFontDialog.h"
#include "prefs/PrefsOwner.h"
#include "res/resource.h"
#include "resultlist/VElementListCtrl.h"

namespace {

// Hot-key modifier boxes and their MOD_ bits.
constexpr std::array<std::pair<int, UINT>, 4> kModifierBoxes{{{IDC_PREFS_CTRL, MOD_CONTROL},
                                                              {IDC_PREFS_ALT, MOD_ALT},
                                                              {IDC_PREFS_SHIFT, MOD_SHIFT},
                                                              {IDC_PREFS_WIN, MOD_WIN}}};

constexpr std::array<int, 3> kFontButtons{IDC_PREFS_FONT, IDC_PREFS_FONT1, IDC_PREFS_FONT2};

struct FontRole {
    void (VCorvantileCore::*get)(LOGFONTA*) const;
    void (VCorvantileCore::*set)(const LOGFONTA*);
    CFont VCorvantileCore::*font;
    COLORREF VCorvantileCore::*colour;
};
constexpr std::array<FontRole, 3> kFontRoles{{
    {&VCorvantileCore::getFont, &VCorvantileCore::setFont, &VCorvantileCore::font,
     &VCorvantileCore::fontColor},
    {&VCorvantileCore::getFont1, &VCorvantileCore::setFont1, &VCorvantileCore::font1,
     &VCorvantileCore::font1Color},
    {&VCorvantileCore::getFont2, &VCorvantileCore::setFont2, &VCorvantileCore::font2,
     &VCorvantileCore::font2Color},
}};

constexpr CToolTipCtrl::Tool kToolTips[] = {
    {IDC_PREFS_STARTUP, "Start Corvantile when you log on to Windows"},
    {IDC_PREFS_AUTOHIDE,
     "Auto-hide search window on startup and after completing searches/actions"},
    {IDC_PREFS_ALWAYS_SHOW_LIST, "Keep the results list always showing"},
    {IDC_PREFS_SHOW_ICONS,
     "Show icons in the results list.\nTurning this off may speed up display of the list"},
    {IDC_PREFS_TWO_LINES,
     "Show two lines of text for each result.\nDoes not affect \"File Browsing Mode\""},
    {IDC_PREFS_HOTKEY, "Global hot-key used to activate search\nwhen hidden or out of focus"},
    {IDC_PREFS_CHECK_UPDATES, "Check for updates when Corvantile launches.\nNo information "
                              "(personal and non-personal) is sent whatsover."},
    {IDC_PREFS_URL_SOURCE_BROWSER, "Open URL's in the browser that created them"},
    {IDC_PREFS_URL_NEW_WINDOW, "Open URL's in new browser window. Otherwise reuse existing "
                               "window.\n(Does not work with previous option."},
    {IDC_PREFS_FONT, "Set font for text when showing results in 1 line only"},
    {IDC_PREFS_FONT1, "Set font first line of text when showing results on 2 lines"},
    {IDC_PREFS_FONT2, "Set font second line of text when showing results on 2 lines"},
};

// Key names by virtual-key code; codes without one show as their own character.
const char* NamedKey(UINT key) {
    static const std::array<const char*, 256> names = [] {
        std::array<const char*, 256> table{};
        const std::pair<UINT, const char*> named[] = {
            {0x01, "LButton"},   {0x02, "RButton"},    {0x03, "Cancel"},   {0x04, "MButton"},
            {0x08, "Back"},      {0x09, "Tab"},        {0x0C, "Clear"},    {0x0D, "Return"},
            {0x10, "Shift"},     {0x11, "Ctrl"},       {0x12, "Alt"},      {0x13, "Pause"},
            {0x14, "Capital"},   {0x15, "Kana"},       {0x17, "Junja"},    {0x18, "Final"},
            {0x19, "Kanji"},     {0x1B, "Escape"},     {0x1C, "Convert"},  {0x1D, "NonConvert"},
            {0x1E, "Accept"},    {0x1F, "ModeChange"}, {0x20, "Space"},    {0x21, "Prior"},
            {0x22, "Next"},      {0x23, "End"},        {0x24, "Home"},     {0x25, "Left"},
            {0x26, "Up"},        {0x27, "Right"},      {0x28, "Down"},     {0x29, "Select"},
            {0x2A, "Print"},     {0x2B, "Execute"},    {0x2C, "Snapshot"}, {0x2D, "Insert"},
            {0x2E, "Delete"},    {0x2F, "Help"},       {0x5B, "Win"},      {0x5C, "Win"},
            {0x5D, "CntxtMnu"},  {0x6A, "*"},          {0x6B, "+"},        {0x6C, "Separator"},
            {0x6D, "-"},         {0x6E, "."},          {0x6F, "/"},        {0x90, "Numlock"},
            {0x91, "Scroll"},    {0xA0, "LShift"},     {0xA1, "RShift"},   {0xA2, "LControl"},
            {0xA3, "RControl"},  {0xA4, "LMenu"},      {0xA5, "RMenu"},    {0xE5, "ProcessKey"},
            {0xF6, "Attn"},      {0xF7, "CrSel"},      {0xF8, "ExSel"},    {0xF9, "EREOF"},
            {0xFA, "Play"},      {0xFB, "Zoom"},       {0xFC, "Noname"},   {0xFD, "PA1"},
            {0xFE, "OEM_CLEAR"},
        };
        for (const auto& [code, name] : named)
            table[code] = name;
        static const char* const digits[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
        for (UINT k = 0; k < 10; ++k)
            table[0x60 + k] = digits[k];
        static const char* const functions[] = {
            "F1",  "F2",  "F3",  "F4",  "F5",  "F6",  "F7",  "F8",  "F9",  "F10", "F11", "F12",
            "F13", "F14", "F15", "F16", "F17", "F18", "F19", "F20", "F21", "F22", "F23", "F24"};
        for (UINT k = 0; k < 24; ++k)
            table[0x70 + k] = functions[k];
        return table;
    }();
    return key >= 1 && key <= 254 ? names[key] : nullptr;
}

bool IsModifierKey(WPARAM key) {
    return key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU || key == VK_LWIN ||
           key == VK_RWIN;
}

} // namespace

PrefsPageGeneral::PrefsPageGeneral(PrefsOwner& owner)
    : CBCGPPropertyPage(IDD_PREFS_GENERAL), m_owner(owner) {}

CString PrefsPageGeneral::getKeyName(UINT key) {
    key &= 0xFF;
    if (const char* name = NamedKey(key))
        return name;
    // The unshifted character the key types on the current layout; the high bit marks a dead
    // key, which still names its accent.
    const UINT typed = ::MapVirtualKeyW(key, MAPVK_VK_TO_CHAR) & 0xFFFF;
    if (typed > 0x20) {
        const wchar_t character = static_cast<wchar_t>(typed);
        return CString::FromW(&character, 1);
    }
    if (key > 0x20 && key < 0x7F)
        return CString(static_cast<char>(key));
    CString number;
    number.Format("0x%02X", key);
    return number;
}

void PrefsPageGeneral::DoDataExchange(CDataExchange* dx) {
    CBCGPPropertyPage::DoDataExchange(dx);
    DDX_Control(dx, IDC_PREFS_HOTKEY, m_hotKeyEdit);
    for (std::size_t role = 0; role < kFontButtons.size(); ++role)
        DDX_Control(dx, kFontButtons[role], m_fontButtons[role]);
}

BOOL PrefsPageGeneral::OnInitDialog() {
    CBCGPPropertyPage::OnInitDialog();
    VCorvantileCore* core = VCorvantileCore::instance();
    const VElementListCtrl& list = m_owner.getList();
    const std::pair<int, bool> boxes[] = {
        {IDC_PREFS_STARTUP, m_owner.isStartWithWindows()},
        {IDC_PREFS_QUICK_LAUNCH, m_owner.isQuickLaunchIcon()},
        {IDC_PREFS_AUTOHIDE, m_owner.isAutoHide()},
        {IDC_PREFS_ALWAYS_SHOW_LIST, m_owner.isAlwaysShowList()},
        {IDC_PREFS_SHOW_ICONS, list.isShowIcons()},
        {IDC_PREFS_TWO_LINES, list.isTwoLines()},
        {IDC_PREFS_CHECK_UPDATES, m_owner.isCheckForUpdates()},
        {IDC_PREFS_URL_SOURCE_BROWSER, core->openUrlInSourceBrowser},
        {IDC_PREFS_URL_NEW_WINDOW, core->openUrlInNewWindow},
    };
    for (const auto& [id, on] : boxes)
        CheckDlgButton(m_hWnd, id, on ? BST_CHECKED : BST_UNCHECKED);
    // A new window only counts when URLs do not go back to the browser they came from.
    GetDlgItem(IDC_PREFS_URL_NEW_WINDOW)->EnableWindow(!core->openUrlInSourceBrowser);
    for (int role = 0; role < 3; ++role)
        showFont(role);

    showHotKey();
    m_toolTip.Create(this, kToolTips);
    UpdateData(FALSE);
    return TRUE;
}

void PrefsPageGeneral::showHotKey() {
    m_hotKey = m_owner.getHotKey();
    m_hotKeyModifiers = m_owner.getHotKeyModifier();
    m_hotKeyEdit.SetWindowText(getKeyName(m_hotKey));
    for (const auto& [id, bit] : kModifierBoxes)
        CheckDlgButton(m_hWnd, id, (m_hotKeyModifiers & bit) ? BST_CHECKED : BST_UNCHECKED);
}

void PrefsPageGeneral::OnDestroy() {
    m_toolTip.DestroyWindow();
    CBCGPPropertyPage::OnDestroy();
}

// Keys pressed in the hot-key box become the hot-key's key; they never reach the box, and
// the modifiers are left to their check boxes.
BOOL PrefsPageGeneral::PreTranslateMessage(MSG* msg) {
    if (m_hotKeyEdit.m_hWnd && msg->hwnd == m_hotKeyEdit.m_hWnd) {
        if (msg->message == WM_KEYUP || msg->message == WM_CHAR) {
            msg->message = 0;
            msg->hwnd = nullptr;
        } else if (msg->message == WM_KEYDOWN && !IsModifierKey(msg->wParam)) {
            m_hotKey = static_cast<UINT>(msg->wParam);
            msg->message = 0;
            msg->hwnd = nullptr;
            m_hotKeyEdit.SetWindowText(getKeyName(m_hotKey));
        }
    }
    m_toolTip.RelayEvent(msg);
    return CBCGPPropertyPage::PreTranslateMessage(msg);
}

BOOL PrefsPageGeneral::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) == BN_CLICKED) {
        const int id = LOWORD(wParam);
        for (int role = 0; role < 3; ++role)
            if (id == kFontButtons[role]) {
                chooseFont(role);
                return TRUE;
            }
        if (id == IDC_PREFS_URL_SOURCE_BROWSER) {
            GetDlgItem(IDC_PREFS_URL_NEW_WINDOW)
                ->EnableWindow(IsDlgButtonChecked(m_hWnd, IDC_PREFS_URL_SOURCE_BROWSER) !=
                               BST_CHECKED);
            return TRUE;
        }
    }
    return CBCGPPropertyPage::OnCommand(wParam, lParam);
}

void PrefsPageGeneral::showFont(int role) {
    VCorvantileCore* core = VCorvantileCore::instance();
    const FontRole& font = kFontRoles[role];
    m_fontButtons[role].SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(HFONT((core->*font.font))),
                                    TRUE);
    m_fontButtons[role].SetTextColor(core->*font.colour);
}

// The chosen font goes to the core at once; Cancel of the Preferences keeps it.
void PrefsPageGeneral::chooseFont(int role) {
    VCorvantileCore* core = VCorvantileCore::instance();
    const FontRole& font = kFontRoles[role];
    LOGFONTA logFont{};
    (core->*font.get)(&logFont);
    CFontDialog dialog(&logFont, CF_EFFECTS | CF_SCREENFONTS, nullptr, this);
    dialog.m_cf.rgbColors = core->*font.colour;
    if (dialog.DoModal() != IDOK)
        return;
    dialog.GetCurrentFont(&logFont);
    (core->*font.set)(&logFont);
    core->*font.colour = dialog.GetColor();
    showFont(role);
}

void PrefsPageGeneral::OnOK() {
    UpdateData(TRUE);
    const auto checked = [this](int id) { return IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED; };
    m_owner.setStartWithWindows(checked(IDC_PREFS_STARTUP));
    m_owner.setQuickLaunchIcon(checked(IDC_PREFS_QUICK_LAUNCH));
    m_owner.setAutoHide(checked(IDC_PREFS_AUTOHIDE));
    m_owner.setAlwaysShowList(checked(IDC_PREFS_ALWAYS_SHOW_LIST));
    m_owner.getList().setShowIcons(checked(IDC_PREFS_SHOW_ICONS));
    m_owner.getList().setTwoLines(checked(IDC_PREFS_TWO_LINES));
    m_owner.setCheckForUpdates(checked(IDC_PREFS_CHECK_UPDATES));
    VCorvantileCore* core = VCorvantileCore::instance();
    core->openUrlInSourceBrowser = checked(IDC_PREFS_URL_SOURCE_BROWSER);
    core->openUrlInNewWindow = checked(IDC_PREFS_URL_NEW_WINDOW);
    m_hotKeyModifiers = 0;
    for (const auto& [id, bit] : kModifierBoxes)
        if (checked(id))
            m_hotKeyModifiers |= bit;
    // A key the system refuses is not taken: the page shows the one that stays.
    if (!m_owner.setHotKey(m_hotKey, m_hotKeyModifiers))
        showHotKey();
    CBCGPPropertyPage::OnOK();
}
