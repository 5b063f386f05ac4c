// The open windows: which windows a user would switch to, and finding, switching to and closing
// them through the core, with windows this test makes.
#include <algorithm>

#include "core/plugins/OpenWindowsPlugin.h"
#include "core_test_support.h"

using namespace core_test;
using namespace corvantile::core;

namespace {

// A plain top-level window of the test, destroyed with the object unless it closed before.
class TestWindow {
public:
    TestWindow(const wchar_t* title, DWORD style, DWORD exStyle = 0, HWND owner = nullptr) {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"CorvantileTestWindow";
        RegisterClassW(&windowClass);
        m_window = CreateWindowExW(exStyle, L"CorvantileTestWindow", title, style, 50, 50, 300, 200,
                                   owner, nullptr, windowClass.hInstance, nullptr);
    }
    ~TestWindow() {
        if (IsWindow(m_window))
            DestroyWindow(m_window);
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND get() const { return m_window; }

private:
    HWND m_window = nullptr;
};

constexpr DWORD kShown = WS_OVERLAPPEDWINDOW | WS_VISIBLE;

// Tool windows, owned windows (unless they ask for a taskbar button), untitled and hidden ones
// are not switched to, nor any window of the program itself.
TEST(OpenWindows, OnlyWindowsAUserSwitchesToAreListed) {
    const TestWindow main(L"Zoë's Notes - naïve café", kShown);
    const TestWindow tool(L"Palette", kShown, WS_EX_TOOLWINDOW);
    const TestWindow owned(L"Find", kShown, 0, main.get());
    const TestWindow ownedApp(L"Фото 2024", kShown, WS_EX_APPWINDOW, main.get());
    const TestWindow untitled(L"", kShown);
    const TestWindow hidden(L"Hidden a&b", WS_OVERLAPPEDWINDOW);
    ASSERT_TRUE(main.get() && tool.get() && owned.get() && ownedApp.get() && untitled.get());

    EXPECT_TRUE(isSwitchable(main.get(), 0));
    EXPECT_TRUE(isSwitchable(ownedApp.get(), 0));
    for (HWND refused : {tool.get(), owned.get(), untitled.get(), hidden.get()})
        EXPECT_FALSE(isSwitchable(refused, 0));
    EXPECT_FALSE(isSwitchable(main.get(), GetCurrentProcessId())) << "our own window";

    const auto listed = listOpenWindows(0);
    const auto entry = std::find_if(listed.begin(), listed.end(), [&](const OpenWindow& open) {
        return open.window == main.get();
    });
    ASSERT_NE(entry, listed.end());
    EXPECT_EQ(entry->title, "Zoë's Notes - naïve café");
    EXPECT_TRUE(entry->program.Right(19).CompareNoCase("\\win_core_tests.exe") == 0)
        << entry->program.GetString();
    EXPECT_EQ(windowFromText(windowHandleText(main.get())), main.get());
    EXPECT_EQ(windowFromText("0x0"), nullptr);
    EXPECT_EQ(windowFromText("12"), nullptr);
    const auto ours = listOpenWindows(GetCurrentProcessId());
    EXPECT_TRUE(std::none_of(ours.begin(), ours.end(),
                             [&](const OpenWindow& open) { return open.window == main.get(); }));
}

class OpenWindowsSearch : public CoreFixture {
protected:
    void SetUp() override {
        auto plugin = std::make_unique<OpenWindowsPlugin>();
        plugin->setLister([] { return listOpenWindows(0); });
        startCore(only(std::move(plugin)));
    }

    VResult* first(const CString& query) {
        results.keepResults = true;
        const auto kept = results.keptResults(searchAndWait(query));
        return kept.empty() ? nullptr : kept[0];
    }
};

// Windows are found as they are at the moment of the search, not as the index was built; the
// default action brings a minimised window back to the front, the close action closes it.
TEST_F(OpenWindowsSearch, AWindowOpenedAfterTheIndexIsFoundSwitchedToAndClosed) {
    const TestWindow window(L"Ångström Daten - Zephyr Editor", kShown);
    VResult* result = first("zephyr editor");
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->getTitle(), "Ångström Daten - Zephyr Editor");
    VProperty* property = result->getDefaultProperty();
    ASSERT_NE(property, nullptr);
    ASSERT_EQ(property->type, PropertyWindow);
    VAction* switchTo = core->getDefaultAction(PropertyWindow);
    ASSERT_NE(switchTo, nullptr);
    EXPECT_EQ(switchTo->getLabel(property), "Switch to window");

    ShowWindow(window.get(), SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(window.get()));
    EXPECT_TRUE(switchTo->run(result, property, "zephyr editor"));
    EXPECT_FALSE(IsIconic(window.get()));
    EXPECT_EQ(GetForegroundWindow(), window.get());

    VAction* close = core->getAction("Close window", false);
    ASSERT_NE(close, nullptr);
    ASSERT_TRUE(close->isTypeSupported(PropertyWindow));
    EXPECT_TRUE(close->run(result, property, "zephyr editor"));
    EXPECT_TRUE(wintest::pumpUntil([&] { return !IsWindow(window.get()); }));
    EXPECT_FALSE(close->run(result, property, "zephyr editor")) << "a closed window is gone";
    EXPECT_EQ(first("zephyr editor"), nullptr);
}

} // namespace
