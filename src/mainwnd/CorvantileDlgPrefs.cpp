// The search bar's settings: the "Window" node of "Corvantile.xml", loaded at start and saved
// while the program runs (soon after a change) and when it ends, and the bar's default place at
// the top centre of the primary work area.
#include "core_iface/VCorvantileCore.h"
#include "core_iface/VPreferences.h"
#include "framework/MonitorList.h"
#include "framework/ScreenPlacement.h"
#include "mainwnd/CorvantileDlg.h"
#include "mainwnd/SettingsLocation.h"
#include "mainwnd/StartupLinks.h"
#include "ui/ProgramEvents.h"

CString CCorvantileDlg::getPrefsFile() const {
    if (!m_prefsFile.IsEmpty() || !m_core)
        return m_prefsFile;
    return m_core->programFolder + "Corvantile.xml";
}

void CCorvantileDlg::chooseDataFolder() {
    if (!m_prefsFile.IsEmpty() || !m_core)
        return;
    const CString folder = settingslocation::dataFolder(m_core->programFolder);
    m_prefsFile = folder + "Corvantile.xml";
    if (folder != m_core->programFolder) {
        m_core->setCacheFolder(folder);
        m_portablePrefsFile = m_core->programFolder + "Corvantile.xml";
    }
}

bool CCorvantileDlg::isStartWithWindows() const {
    return startuplinks::linkExists(startuplinks::startupLinkPath(m_hWnd));
}

void CCorvantileDlg::setStartWithWindows(bool on) {
    if (m_core)
        startuplinks::setLink(startuplinks::startupLinkPath(m_hWnd), on, m_core->programPath,
                              m_core->programFolder);
}

bool CCorvantileDlg::isQuickLaunchIcon() const {
    return startuplinks::linkExists(startuplinks::quickLaunchLinkPath());
}

void CCorvantileDlg::setQuickLaunchIcon(bool on) {
    if (m_core)
        startuplinks::setLink(startuplinks::quickLaunchLinkPath(), on, m_core->programPath,
                              m_core->programFolder);
}

// The top centre of the primary monitor's work area.
void CCorvantileDlg::moveToDefaultPlace() {
    const std::vector<MonitorInfo> monitors = MonitorList::current().monitors();
    const MonitorInfo* primary = screen::primaryMonitor(monitors);
    RECT workArea{0, 0, GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    if (primary)
        workArea = primary->work;
    CRect window;
    GetWindowRect(&window);
    const POINT place = screen::topCentre(workArea, window.Width());
    SetWindowPos(nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CCorvantileDlg::loadPreferences() {
    VPreferencesNode* document = VPreferences::load(getPrefsFile());
    CString readFrom = getPrefsFile();
    if (!document && !m_portablePrefsFile.IsEmpty()) {
        document = VPreferences::load(m_portablePrefsFile);
        readFrom = m_portablePrefsFile;
    }
    ProgramEvents::record(document ? "Settings read from " + readFrom
                                   : "No settings were read from " + getPrefsFile() +
                                         " (a first run, or a damaged file set aside); the "
                                         "defaults are used.");
    VPreferencesNode* root = document ? document->getChild("Corvantile") : nullptr;
    VPreferencesNode* window = root ? root->getChild("Window") : nullptr;
    m_firstRun = document == nullptr;

    bool moved = false;
    if (window) {
        bool link = false;
        if (window->getParam("StartWithWindows", link))
            setStartWithWindows(link);
        if (window->getParam("QuickLaunchIcon", link))
            setQuickLaunchIcon(link);
        window->getParam("AutoHide", m_autoHide);
        window->getParam("AlwaysOnTop", m_alwaysOnTop);
        window->getParam("AlwaysShowList", m_alwaysShowList);
        window->getParam("HotKey", m_hotKey);
        window->getParam("HotKeyModifier", m_hotKeyModifier);
        int x = 0;
        int y = 0;
        // A place that no monitor shows any more (a monitor gone, a smaller desktop) is
        // forgotten: the bar comes up at its default place instead.
        if (window->getParam("PosX", x) && window->getParam("PosY", y) && isPlaceOnScreen({x, y})) {
            SetWindowPos(nullptr, x, y, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
            moved = true;
        }
        window->getParam("CheckForUpdates", m_checkForUpdates);
    }
    if (!moved)
        moveToDefaultPlace();

    // The core's settings can take a moment; the bar says so meanwhile.
    ShowWindow(SW_SHOW);
    m_commandLine.HideCaret();
    m_commandLine.setTextQuietly("Loading...");
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);

    m_commandLine.loadPrefs(window);
    m_core->loadPrefs(root);
    if (document)
        document->deleteThis();

    m_commandLine.setTextQuietly("");
    m_commandLine.ShowCaret();
}

bool CCorvantileDlg::savePreferences() {
    if (!m_core)
        return false;
    VPreferencesNode* root = VPreferencesNode::createInstance("Corvantile");
    VPreferencesNode* window = VPreferencesNode::createInstance("Window");
    window->setParam("StartWithWindows", isStartWithWindows());
    window->setParam("QuickLaunchIcon", isQuickLaunchIcon());
    window->setParam("AutoHide", m_autoHide);
    window->setParam("AlwaysOnTop", m_alwaysOnTop);
    window->setParam("AlwaysShowList", m_alwaysShowList);
    window->setParam("HotKey", m_hotKey);
    window->setParam("HotKeyModifier", m_hotKeyModifier);
    window->setParam("CheckForUpdates", m_checkForUpdates);
    CRect place;
    GetWindowRect(&place);
    window->setParam("PosX", static_cast<int>(place.left));
    window->setParam("PosY", static_cast<int>(place.top));
    m_commandLine.savePrefs(window);
    root->addChild(window);

    m_core->savePrefs(root);
    const bool saved = VPreferences::save(getPrefsFile(), root);
    root->deleteThis();
    if (saved) {
        if (m_saveFailureTold)
            ProgramEvents::record("The settings were saved to " + getPrefsFile() + " again.");
        m_saveFailureTold = false;
    } else if (!m_saveFailureTold) {
        m_saveFailureTold = true;
        ProgramEvents::record("Couldn't save the settings to " + getPrefsFile() + ".");
        const CString message =
            "Couldn't save the settings to " + getPrefsFile() + ". Corvantile keeps trying.";
        showTrayBalloon(message.GetString());
    }
    return saved;
}
