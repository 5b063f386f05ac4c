// The about box and the version reader behind it, and the menu commands that open the
// program's web pages.
#include <gtest/gtest.h>

#include <regex>

#include "dialogs/CAboutDlg.h"
#include "dialogs/CFileVersionInfo.h"
#include "front_test_support.h"
#include "res/resource.h"

using namespace fronttest;
using Translation = CFileVersionInfo::Translation;

namespace {

// The test program carries the program's own resources, version resource included.
TEST(FileVersionInfo, ReadsTheProgramsVersionResourceAndForgetsItOnAFailedRead) {
    CFileVersionInfo info;
    ASSERT_TRUE(info.Create(static_cast<HMODULE>(nullptr)));
    const CString version = info.GetProductVersionText();
    EXPECT_TRUE(std::regex_match(version.str(), std::regex("[0-9]+(\\.[0-9]+){3}"))) << version;

    TempFolder folder;
    folder.write("plain.txt", "no version here");
    EXPECT_FALSE(info.Create(folder.file("plain.txt").GetString()));
    EXPECT_EQ(info.GetProductVersionText(), "");
    EXPECT_FALSE(info.Create(folder.file("missing.exe").GetString()));
}

// The program's version resource holds one translation, US English: every user reads it.
TEST(FileVersionInfo, EveryUserReadsTheProgramsOneTranslation) {
    const Translation usOnly[] = {{0x0409, 1200}};
    for (const LANGID user : {0x0409, 0x0809, 0x0407, 0x0411})
        EXPECT_EQ(CFileVersionInfo::ChooseTranslation(usOnly, user), 0) << std::hex << user;
    EXPECT_EQ(CFileVersionInfo::ChooseTranslation({}, 0x0409), -1);
}

TEST(AboutBox, ShowsTheVersionTheBuildDateAndTheSite) {
    CAboutDlg about;
    ASSERT_TRUE(about.Create(IDD_ABOUTBOX));
    CFileVersionInfo info(nullptr);
    EXPECT_EQ(dialogItemText(about.m_hWnd, IDC_VERSION_TEXT),
              "Version " + info.GetProductVersionText());
    const CString date = dialogItemText(about.m_hWnd, IDC_BUILD_DATE_TEXT);
    EXPECT_TRUE(std::regex_match(date.str(), std::regex("[A-Z][a-z]{2} [1-9][0-9]? 2[0-9]{3}")))
        << date;
    EXPECT_EQ(dialogItemText(about.m_hWnd, IDC_HOME_LINK), CORVANTILE_HOME_URL);
    EXPECT_EQ(about.GetDlgItem(IDC_HOME_LINK)->GetStyle() & BS_TYPEMASK, DWORD{BS_OWNERDRAW});
    about.DestroyWindow();

    EXPECT_EQ(CAboutDlg::FormatBuildDate("Dec  7 2026"), "Dec 7 2026");
    EXPECT_EQ(CAboutDlg::FormatBuildDate("Jan 28 2007"), "Jan 28 2007");
}

TEST(AboutBox, TheLinkOpensTheProgramsSite) {
    if (!browserStubbed())
        GTEST_SKIP() << "run by browser_pages.sh";
    CAboutDlg about;
    ASSERT_TRUE(about.Create(IDD_ABOUTBOX));
    about.GetDlgItem(IDC_HOME_LINK)->SendMessage(BM_CLICK);
    about.DestroyWindow();
}

class MenuCommands : public SearchBarTest {};

// The box is modal: a timer reads it and presses OK.
TEST_F(MenuCommands, AboutRunsTheAboutBoxUntilOk) {
    open();
    CString shownVersion;
    {
        const ModalDriver driver([&] {
            const HWND box = shownDialog(L"About Corvantile");
            if (!box)
                return false;
            shownVersion = dialogItemText(box, IDC_VERSION_TEXT);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            return true;
        });
        bar->SendMessage(WM_COMMAND, ID_ABOUT, 0);
    }
    EXPECT_TRUE(shownVersion.Find("Version ") == 0) << shownVersion;
    EXPECT_EQ(FindWindowW(L"#32770", L"About Corvantile"), nullptr);
    EXPECT_TRUE(bar->IsWindowEnabled());
}

TEST_F(MenuCommands, TheWebPagesOpenInTheBrowser) {
    if (!browserStubbed())
        GTEST_SKIP() << "run by browser_pages.sh";
    open();
    for (const UINT command : {ID_HOME_PAGE, ID_ONLINE_HELP, ID_USER_FORUMS})
        bar->SendMessage(WM_COMMAND, command, 0);
}

} // namespace
