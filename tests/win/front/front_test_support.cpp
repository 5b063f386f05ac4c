#include "front_test_support.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "core_iface/VCorvantileCore.h"
#include "mainwnd/OwnerMessages.h"
#include "res/resource.h"

namespace fronttest {

void ItemsPlugin::scan(VItemSink& sink) {
    for (const VItem& item : m_items) {
        if (sink.cancelled())
            return;
        sink.add(item);
    }
}

TempFolder::TempFolder() {
    wchar_t base[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, base);
    static int counter = 0;
    wchar_t name[MAX_PATH] = {};
    swprintf(name, MAX_PATH, L"%lscorvantile-front-%lu-%d\\", base, GetCurrentProcessId(),
             ++counter);
    CreateDirectoryW(name, nullptr);
    m_path = CString::FromW(name);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(m_path.W()), ignored);
}

void TempFolder::write(const char* name, const std::string& contents) const {
    std::ofstream file(std::filesystem::path((m_path + name).W()), std::ios::binary);
    file << contents;
}

LRESULT TestSearchBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CL_TEXTCHANGED)
        ++textChanges;
    return CCorvantileDlg::WindowProc(message, wParam, lParam);
}

void SearchBarTest::SetUp() {
    core = VCorvantileCore::instance();
    core->setBuiltInPlugins(false);
    core->setBackgroundRefresh(false);
    core->setCacheFolder(folder.path());
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

CString SearchBarTest::text() {
    CString value;
    bar->getCommandLine().GetWindowText(value);
    return value;
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
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = control ? 0x80 : 0;
    SetKeyboardState(keys);
    const UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    const HWND edit = bar->getCommandLine().m_hWnd;
    PostMessageW(edit, WM_KEYDOWN, key, 1 | (scan << 16));
    PostMessageW(edit, WM_KEYUP, key, 1 | (scan << 16) | (1u << 30) | (1u << 31));
    pumpMessages();
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
}

bool SearchBarTest::waitForTextChanges(int n) {
    return pumpUntil([&] { return bar->textChanges >= n; });
}

TestResult* TestResult::create(const char* title, const char* path) {
    return new TestResult(title, path);
}

TestResult::TestResult(const char* title, const char* path) {
    m_title = title;
    addProperty(PropertyPath, path);
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
    ++m_draw.calls;
    m_draw.twoLines = true;
    m_draw.row = *row;
    m_draw.icon = *icon;
    m_draw.line0 = *line0;
    m_draw.line1 = *line1;
    m_draw.selected = selected;
    m_draw.showIcons = showIcons;
}

void TestResult::drawOneLine(CDC*, const RECT* row, const RECT* icon, const RECT* line0,
                             bool selected, bool showIcons) {
    std::lock_guard lock(m_mutex);
    ++m_draw.calls;
    m_draw.twoLines = false;
    m_draw.row = *row;
    m_draw.icon = *icon;
    m_draw.line0 = *line0;
    m_draw.line1 = RECT{};
    m_draw.selected = selected;
    m_draw.showIcons = showIcons;
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

void pumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (CWnd::WalkPreTranslateTree(nullptr, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool pumpUntil(const std::function<bool()>& done, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > milliseconds)
            return done();
        pumpMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

void pumpFor(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        pumpMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

namespace {
std::function<bool()> g_modalTick;
} // namespace

ModalDriver::ModalDriver(std::function<bool()> onTick) {
    g_modalTick = std::move(onTick);
    m_timer = SetTimer(nullptr, 0, 30, [](HWND, UINT, UINT_PTR, DWORD) {
        if (g_modalTick && g_modalTick())
            g_modalTick = nullptr;
    });
}

ModalDriver::~ModalDriver() {
    KillTimer(nullptr, m_timer);
    g_modalTick = nullptr;
}

CString dialogItemText(HWND dialog, int id) {
    wchar_t text[256] = L"";
    GetDlgItemTextW(dialog, id, text, 256);
    return CString(text);
}

} // namespace fronttest
