// Moving through the results list: the navigation keys with their wrap through "no selection",
// keeping the selection in view, the pointer, the scroll bar, and the keys that choose.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "front_test_support.h"

using namespace fronttest;

namespace {

TEST(ElementListNavigation, DownAndUpPassThroughNoSelection) {
    ListHost host;
    addResults(host.list, 3, false);
    ASSERT_EQ(host.list.getSelection(), -1);
    std::vector<int> seen;
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(host.list.handleKey(VK_DOWN));
        seen.push_back(host.list.getSelection());
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, -1}));
    EXPECT_TRUE(host.list.handleKey(VK_UP));
    EXPECT_EQ(host.list.getSelection(), 2) << "Up from no selection selects the last row";
    host.list.handleKey(VK_HOME);
    host.list.handleKey(VK_UP);
    EXPECT_EQ(host.list.getSelection(), -1) << "Up from the first row selects nothing";

    host.list.ShowWindow(SW_HIDE);
    EXPECT_FALSE(host.list.handleKey(VK_DOWN)) << "a hidden list leaves the key to the edit box";
    EXPECT_FALSE(host.list.handleKey(VK_LEFT)) << "Left outside file browsing is not used up";
    EXPECT_FALSE(host.list.handleKey('A'));
}

TEST(ElementListNavigation, PageKeysStopAtTheEndsAndTheSelectionStaysInView) {
    ListHost host;
    addResults(host.list, 30, false);
    const int v = host.list.getVisibleRows();
    ASSERT_GT(v, 2);
    ASSERT_LT(v, 30);

    host.list.handleKey(VK_END);
    EXPECT_EQ(host.list.getSelection(), 29);
    EXPECT_EQ(host.list.getTopRow(), 30 - v) << "the last row shows in the last visible row";
    host.list.handleKey(VK_UP);
    host.list.handleKey(VK_NEXT);
    EXPECT_EQ(host.list.getSelection(), 29) << "PageDown stops at the last row";

    // Moving up keeps the top row until the selection passes above it.
    const int top = host.list.getTopRow();
    for (int i = 29; i > top; --i)
        host.list.handleKey(VK_UP);
    EXPECT_EQ(host.list.getSelection(), top);
    EXPECT_EQ(host.list.getTopRow(), top);
    host.list.handleKey(VK_UP);
    EXPECT_EQ(host.list.getTopRow(), top - 1);

    host.list.handleKey(VK_HOME);
    host.list.handleKey(VK_DOWN);
    host.list.handleKey(VK_DOWN);
    host.list.handleKey(VK_PRIOR);
    EXPECT_EQ(host.list.getSelection(), 0) << "PageUp from row 2 stops at the first row";
    EXPECT_EQ(host.list.getTopRow(), 0);
    host.list.handleKey(VK_NEXT);
    EXPECT_EQ(host.list.getSelection(), v);
    EXPECT_EQ(host.list.getTopRow(), 1);
}

TEST(ElementListNavigation, TheScrollBarMovesTheRowsAndNotTheSelection) {
    ListHost host;
    addResults(host.list, 30, false);
    const int v = host.list.getVisibleRows();
    host.list.handleKey(VK_DOWN);
    host.list.SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(host.list.getTopRow(), 1);
    host.list.SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
    host.list.SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(host.list.getTopRow(), 30 - v) << "never past the end";
    host.list.SendMessage(WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(host.list.getTopRow(), 29 - v);
    host.list.SendMessage(WM_VSCROLL, SB_PAGEUP, 0);
    host.list.SendMessage(WM_VSCROLL, SB_PAGEUP, 0);
    EXPECT_EQ(host.list.getTopRow(), 0);
    host.list.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 5), 0);
    EXPECT_EQ(host.list.getTopRow(), 5);
    EXPECT_EQ(host.list.getSelection(), 0);
}

TEST(ElementListNavigation, ThePointerSelectsTheRowUnderItAndBelowTheRowsNothing) {
    ListHost host;
    addResults(host.list, 3, false);
    const int h = host.list.getRowHeight();
    EXPECT_EQ(host.list.hitTest(CPoint(10, h + 1)), 1);
    EXPECT_EQ(host.list.hitTest(CPoint(10, 3 * h)), -1);

    host.list.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(10, 1)); // the move after an add only clears
    host.list.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(10, 2 * h + 1));
    EXPECT_EQ(host.list.getSelection(), 2);

    // Half-empty list: under the rows nothing, on the bottom border strip the last row.
    host.list.SetWindowPos(nullptr, 0, 0, 500, 10 * h, SWP_NOMOVE | SWP_NOZORDER);
    CRect client;
    host.list.GetClientRect(&client);
    if (client.bottom > 3 * h + 2) {
        host.list.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(10, 3 * h + 1));
        EXPECT_EQ(host.list.getSelection(), -1);
    }
    host.list.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(10, client.bottom - 1));
    EXPECT_EQ(host.list.getSelection(), 2);
}

// A core thread streams elements in (the array grows and moves) while the user clicks rows and
// moves the selection: every read of the rows holds the list's lock, and the chooser opens on
// the element of the selected row.
TEST(ElementListNavigation, ClicksAndMovesWhileElementsStreamInReadTheRowsSafely) {
    ListHost host;
    addResults(host.list, 3, false);
    std::atomic<bool> done{false};
    std::thread core([&] {
        for (int i = 0; i < 20000; ++i)
            host.list.addElement(TestResult::create("Übersicht 2026.txt"));
        done = true;
    });
    const int h = host.list.getRowHeight();
    for (int round = 0; !done || round < 50; ++round) {
        const LPARAM at = MAKELPARAM(10, (round % 3) * h + 1);
        host.list.SendMessage(WM_MOUSEMOVE, 0, at);
        host.list.SendMessage(WM_LBUTTONUP, 0, at);
        if (host.actions().isOpen()) {
            EXPECT_EQ(host.actions().getResult(), host.list.getSelectedElement());
        }
        host.list.handleKey(round % 2 ? VK_DOWN : VK_UP);
        pumpMessages();
    }
    core.join();
    EXPECT_EQ(host.list.getCount(), 20003);
}

TEST(ElementListNavigation, EnterAndDoubleClickChooseTheElement) {
    ListHost host;
    addResults(host.list, 3);
    ASSERT_EQ(host.list.getSelection(), 0);
    EXPECT_TRUE(host.list.handleKey(VK_RETURN));
    ASSERT_EQ(host.owner.choices.size(), 1u);
    EXPECT_EQ(host.owner.choices[0].message, WM_LIST_ELEMENTCHOSEN);
    EXPECT_EQ(host.owner.choices[0].wParam, reinterpret_cast<WPARAM>(host.list.getElement(0)));

    host.list.SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(10, host.list.getRowHeight() * 2 + 1));
    ASSERT_EQ(host.owner.choices.size(), 2u);
    EXPECT_EQ(host.owner.choices[1].wParam, reinterpret_cast<WPARAM>(host.list.getElement(2)));
    EXPECT_EQ(host.list.getSelection(), 2);

    host.list.handleKey(VK_DOWN);
    EXPECT_FALSE(host.list.handleKey(VK_RETURN)) << "Enter with nothing selected is not used up";
    EXPECT_EQ(host.owner.choices.size(), 2u);
}

TEST(ElementListNavigation, ControlEnterOnAFilePutsItsFolderIntoTheEditBox) {
    ListHost host;
    VFileResult* file = VFileResult::createInstance(nullptr);
    file->setFile(CPath("C:\\A\\x.txt", 0, 0));
    VElement* element = file;
    host.list.addElements(&element, 1);

    holdControl(true);
    const bool used = host.list.handleKey(VK_RETURN);
    holdControl(false);

    EXPECT_TRUE(used);
    CString text;
    host.edit.GetWindowText(text);
    EXPECT_EQ(text, file->path.GetLocation());
    EXPECT_EQ(host.edit.GetSel(), static_cast<DWORD>(MAKELONG(text.GetLength(), text.GetLength())));
    EXPECT_TRUE(host.owner.choices.empty());

    host.list.clear(true);
    addResults(host.list, 1);
    holdControl(true);
    EXPECT_TRUE(host.list.handleKey(VK_RETURN)) << "Ctrl+Enter on other results chooses them";
    holdControl(false);
    EXPECT_EQ(host.owner.choices.size(), 1u);
}

class BrowsingKeys : public SearchBarTest {
protected:
    VFileResult* selectedFile() {
        return dynamic_cast<VFileResult*>(bar->getList().getSelectedElement());
    }
    // Moves the selection down to the entry whose path starts with prefix.
    bool selectEntry(const CString& prefix) {
        for (int i = 0; i <= bar->getList().getCount(); ++i) {
            if (VFileResult* file = selectedFile();
                file && file->getFile().Left(prefix.GetLength()).CompareNoCase(prefix) == 0)
                return true;
            pressKey(VK_DOWN);
        }
        return false;
    }
    bool waitForListing(const char* entry) {
        return pumpUntil([&] {
            VElementListCtrl& list = bar->getList();
            for (int i = 0; i < list.getCount(); ++i) {
                auto* file = dynamic_cast<VFileResult*>(list.getElement(i));
                if (file && file->getFile().Find(entry) >= 0)
                    return true;
            }
            return false;
        });
    }
};

TEST_F(BrowsingKeys, RightEntersAFolderAndLeftReturnsToItsEntry) {
    // A folder name outside ASCII, with a blank: the keys pass it to the file system as UTF-16.
    const char* const sub = "\xC3\x85ngstr\xC3\xB6m Daten";
    folder.write(std::string(sub) + "/inner.txt", "x");
    folder.write("plain.txt", "x");
    const CString root = folder.file("");
    open();
    type(root);
    ASSERT_TRUE(waitForListing("plain.txt"));
    ASSERT_EQ(bar->getMode(), SearchMode::FileBrowsing);

    ASSERT_TRUE(selectEntry(root + "plain.txt"));
    pressKey(VK_RIGHT);
    EXPECT_EQ(text().CompareNoCase(root), 0) << "Right on a file is not used up";

    ASSERT_TRUE(selectEntry(root + sub));
    const CString entered = selectedFile()->getFile();
    pressKey(VK_RIGHT);
    EXPECT_EQ(text(), entered);
    ASSERT_TRUE(waitForListing("inner.txt"));

    pressKey(VK_LEFT);
    EXPECT_EQ(text().CompareNoCase(root), 0);
    ASSERT_TRUE(pumpUntil([&] {
        VFileResult* file = selectedFile();
        return file && file->getFile() == entered;
    })) << "the folder the user came out of is selected again";
}

} // namespace
