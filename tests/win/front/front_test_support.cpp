#include "front_test_support.h"

#include <cstdio>

#include "core_iface/VCorvantileCore.h"
#include "core_iface/VPreferences.h"
#include "res/resource.h"

namespace fronttest {

TestResult* TestResult::create(const char* title, const char* path) {
    auto* result = new TestResult(title);
    result->addProperty(PropertyPath, path);
    return result;
}

TestResult* TestResult::create(std::vector<std::pair<PropertyType, const char*>> properties) {
    auto* result = new TestResult("several properties");
    for (const auto& [type, value] : properties)
        result->addProperty(type, value);
    return result;
}

HICON TestResult::loadIcon(bool& ownIcon) {
    ownIcon = false;
    return nullptr;
}

DrawCall TestResult::lastDraw() const {
    std::lock_guard lock(m_mutex);
    return m_draw;
}

void TestResult::drawTwoLines(CDC*, const RECT* row, const RECT* icon, const RECT* line0,
                              const RECT* line1, bool selected, bool showIcons) {
    std::lock_guard lock(m_mutex);
    m_draw = {m_draw.calls + 1, true, *row, *icon, *line0, *line1, selected, showIcons};
}

void TestResult::drawOneLine(CDC*, const RECT* row, const RECT* icon, const RECT* line0,
                             bool selected, bool showIcons) {
    std::lock_guard lock(m_mutex);
    m_draw = {m_draw.calls + 1, false, *row, *icon, *line0, RECT{}, selected, showIcons};
}

void addResults(VElementListCtrl& list, int count, bool batch) {
    std::vector<VElement*> results;
    for (int i = 0; i < count; ++i)
        results.push_back(TestResult::create("result"));
    if (batch) {
        list.addElements(results.data(), count);
        return;
    }
    for (VElement* result : results)
        list.addElement(result);
}

LRESULT RecordingOwner::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LIST_ELEMENTCHOSEN || message == WM_LIST_ACTIONCHOSEN ||
        message == WM_LIST_PROPERTYCHOSEN) {
        choices.push_back({message, wParam, lParam});
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

ListHost::ListHost(bool twoLines) {
    CWnd::CreateArgs args;
    args.style = WS_POPUP | WS_VISIBLE;
    args.exStyle = WS_EX_TOOLWINDOW;
    args.SetRect(CRect(100, 50, 600, 80));
    owner.CreateEx(args);
    edit.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, CRect(24, 2, 476, 26), &owner,
                1000);
    list.Create(&owner, &edit);
    list.setTwoLines(twoLines);
}

ListHost::~ListHost() {
    list.clear(true);
}

CRect ListHost::ownerRect() const {
    CRect rect;
    owner.GetWindowRect(&rect);
    return rect;
}

CRect ListHost::listRect() const {
    CRect rect;
    list.GetWindowRect(&rect);
    return rect;
}

CRect ListHost::listClient() const {
    CRect rect;
    list.GetClientRect(&rect);
    return rect;
}

LRESULT TestSearchBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CL_TEXTCHANGED)
        ++textChanges;
    return CCorvantileDlg::WindowProc(message, wParam, lParam);
}

void SearchBarTest::SetUp() {
    core = wintest::testCore(folder.file(""));
    std::vector<VItem> items;
    for (int i = 0; i < 30; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "item %02d", i);
        items.push_back({VItemKind::Text, name, name, CString()});
    }
    items.push_back({VItemKind::File, "report.txt", "C:\\Data\\report.txt", CString()});
    core->registerPlugin(std::make_unique<ItemsPlugin>(std::move(items)));
    auto frob = std::make_unique<TestAction>("Frob");
    action = frob.get();
    core->registerAction(std::move(frob));
}

void SearchBarTest::TearDown() {
    close();
}

void SearchBarTest::open() {
    bar = std::make_unique<TestSearchBar>();
    bar->setPrefsFile(settingsFile());
    bar->setVersionFileUrl(versionFileUrl);
    ASSERT_TRUE(bar->Create(IDD_CORVANTILE_DIALOG, nullptr));
    core->updateCache();
    pumpMessages();
    // The start-up timer hides the bar when auto-hide is on; bring it back as the hot-key
    // would, so that every test starts with the bar in front.
    pumpUntil([&] { return !bar->isAutoHide() || !bar->IsWindowVisible(); });
    bar->showWindows();
}

void SearchBarTest::close() {
    if (bar && bar->m_hWnd)
        bar->DestroyWindow();
    bar.reset();
    pumpMessages();
}

void SearchBarTest::writeSettings(const std::vector<std::pair<const char*, const char*>>& window,
                                  const char* delay) {
    VPreferencesNode* root = VPreferencesNode::createInstance("Corvantile");
    VPreferencesNode* windowNode = VPreferencesNode::createInstance("Window");
    root->addChild(windowNode);
    for (const auto& [key, value] : window)
        windowNode->setParam(key, value);
    if (delay) {
        VPreferencesNode* commandLine = VPreferencesNode::createInstance("CommandLine");
        windowNode->addChild(commandLine);
        commandLine->setParam("Delay", delay);
    }
    ASSERT_TRUE(VPreferences::save(settingsFile(), root));
    root->deleteThis();
}

CString SearchBarTest::savedSetting(const char* path) {
    VPreferencesNode* document = VPreferences::load(settingsFile());
    if (!document)
        return "";
    VPreferencesNode* node = document->getChild("Corvantile");
    CString rest = path;
    for (int slash; node && (slash = rest.Find('/')) >= 0; rest = rest.Mid(slash + 1))
        node = node->getChild(rest.Left(slash));
    CString value;
    if (node)
        node->getParam(rest, value);
    document->deleteThis();
    return value;
}

CString SearchBarTest::text() {
    CString value;
    bar->getCommandLine().GetWindowText(value);
    return value;
}

CRect SearchBarTest::barRect() const {
    CRect rect;
    bar->GetWindowRect(&rect);
    return rect;
}

void FakeMonitors::add(const RECT& monitor, int taskBar, UINT dpi, bool primary) {
    MonitorInfo info;
    info.monitor = monitor;
    info.work = monitor;
    info.work.bottom -= taskBar;
    info.dpi = dpi;
    info.primary = primary;
    list.push_back(info);
}

CRect SearchBarTest::workArea() {
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

void SearchBarTest::type(const char* value) {
    VCommandLine& edit = bar->getCommandLine();
    edit.SetWindowText(value);
    const int end = edit.GetWindowTextLength();
    edit.SetSel(end, end);
}

bool SearchBarTest::waitForResults() {
    return pumpUntil(
        [&] { return bar->getList().IsWindowVisible() && bar->getList().getCount() > 0; });
}

void SearchBarTest::pressKey(UINT key, bool control) {
    holdControl(control);
    const UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    const HWND edit = bar->getCommandLine().m_hWnd;
    PostMessageW(edit, WM_KEYDOWN, key, 1 | (scan << 16));
    PostMessageW(edit, WM_KEYUP, key, 1 | (scan << 16) | (1u << 30) | (1u << 31));
    pumpMessages();
    holdControl(false);
}

bool SearchBarTest::waitForTextChanges(int n) {
    return pumpUntil([&] { return bar->textChanges >= n; });
}

void holdControl(bool down) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

} // namespace fronttest
