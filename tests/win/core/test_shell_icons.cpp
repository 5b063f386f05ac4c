// Shell icons: a paint is answered at once, the icon comes from the cache's thread, and the
// windows of the thread that asked are painted again when it has come.
#include <gtest/gtest.h>

#include "common/win_test_support.h"
#include "core/elements/ShellIconCache.h"
#include "core_iface/VElement.h"

using corvantile::core::ShellIconCache;
using wintest::pumpUntil;

namespace {

constexpr const char* kProgram = "C:\\windows\\notepad.exe";

ShellIconCache::Answer loaded(ShellIconCache& cache, const char* path, bool folder = false) {
    ShellIconCache::Answer answer;
    pumpUntil([&] {
        answer = cache.iconFor(path, folder);
        return answer.known;
    });
    return answer;
}

// A visible top-level window that counts its paints.
class PaintCounter {
public:
    PaintCounter() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
            if (message == WM_PAINT)
                ++s_paints;
            return DefWindowProcW(window, message, wParam, lParam);
        };
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"CorvantilePaintCounter";
        RegisterClassW(&wc);
        m_window = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40,
                                   nullptr, nullptr, wc.hInstance, nullptr);
        UpdateWindow(m_window);
        s_paints = 0;
    }
    ~PaintCounter() { DestroyWindow(m_window); }
    int paints() const { return s_paints; }

private:
    static inline int s_paints = 0;
    HWND m_window = nullptr;
};

TEST(ShellIconKeys, FilesOfAKindShareOneProgramsShortcutsAndFoldersHaveTheirOwn) {
    struct Case {
        const char* path;
        bool folder;
        const char* key;
    };
    const Case cases[] = {
        {"C:\\Docs\\Report.PDF", false, ".pdf"},
        {"D:\\Other\\notes.pdf", false, ".pdf"},
        {"C:\\archive.tar.gz", false, ".gz"},
        {"C:\\my.folder\\README", false, "."},
        {"C:\\Tools\\Setup.EXE", false, "path:c:\\tools\\setup.exe"},
        {"C:\\Start Menu\\Editor.lnk", false, "path:c:\\start menu\\editor.lnk"},
        {"C:\\Icons\\app.ico", false, "path:c:\\icons\\app.ico"},
        {"C:\\Docs.old\\", true, "path:c:\\docs.old\\"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShellIconCache::keyFor(c.path, c.folder), c.key) << c.path;
}

TEST(ShellIconCache, AnswersAtOnceThenHasTheIconAndRepaintsTheWindowsThatAsked) {
    ShellIconCache cache;
    PaintCounter window;
    const ShellIconCache::Answer first = cache.iconFor(kProgram, false);
    EXPECT_FALSE(first.known);
    EXPECT_EQ(first.icon, nullptr);

    const ShellIconCache::Answer later = loaded(cache, kProgram);
    ASSERT_TRUE(later.known);
    EXPECT_NE(later.icon, nullptr);
    EXPECT_TRUE(pumpUntil([&] { return window.paints() > 0; }));
    EXPECT_EQ(cache.iconFor(kProgram, false).icon, later.icon);

    // Files of one kind show one icon; a program that is not there has none.
    const auto report = loaded(cache, "C:\\nowhere\\report.txt");
    const auto notes = loaded(cache, "C:\\elsewhere\\notes.TXT");
    EXPECT_NE(report.icon, nullptr);
    EXPECT_EQ(report.icon, notes.icon);
    const auto missing = loaded(cache, "C:\\nowhere\\gone.exe");
    EXPECT_TRUE(missing.known);
    EXPECT_EQ(missing.icon, nullptr);
}

TEST(ShellIconCache, ForgetsTheOldestPathsButNotTheIconsStillShown) {
    ShellIconCache cache(1);
    const ShellIconCache::Answer shown = loaded(cache, kProgram);
    ASSERT_NE(shown.icon, nullptr);
    loaded(cache, "C:\\windows\\regedit.exe");
    EXPECT_FALSE(cache.iconFor(kProgram, false).known);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(shown.icon.get(), &info));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);

    // Once stopped, a new request starts the loading again.
    cache.stop();
    EXPECT_TRUE(loaded(cache, kProgram).known);
}

TEST(ShellIconCache, AResultShowsItsPropertyIconUntilItsFileIconHasCome) {
    VFileResult* file = VFileResult::createInstance(nullptr);
    file->setFile(CPath("C:\\windows\\system32\\winver.exe"));
    const HICON standIn = VProperty::iconForPropertyType(PropertyPath);
    EXPECT_EQ(file->getIcon(), standIn);
    EXPECT_TRUE(pumpUntil([&] { return file->getIcon() != standIn; }));
    EXPECT_NE(file->getIcon(), nullptr);

    // Another file: the stand-in again until that file's icon has come.
    file->setFile(CPath("C:\\windows\\system32\\taskmgr.exe"));
    EXPECT_EQ(file->getIcon(), standIn);
    file->deleteThis();
}

} // namespace
