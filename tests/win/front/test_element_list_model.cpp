// The results list's model: who owns the elements, how arrivals select, reselection of an
// entry after a folder listing, the two-line suspension and the "List" preferences.
#include <gtest/gtest.h>

#include "core_iface/VPreferences.h"
#include "front_test_support.h"

using namespace fronttest;

namespace {

int smallIcon() {
    return GetSystemMetrics(SM_CYSMICON);
}

// A file result as the folder lister makes it.
VFileResult* fileResult(const char* path) {
    VFileResult* result = VFileResult::createInstance(nullptr);
    result->setFile(CPath(path, 0, 0));
    return result;
}

// Borrowed elements are declared before the list, so that they outlive it.

TEST(ElementListModel, ClearFreesResultsAndKeepsBorrowedElements) {
    BorrowedElement action(VElement::kAction);
    ListHost host;
    const long before = VElement::liveElements();
    host.list.addElement(TestResult::create("one"));
    host.list.addElement(&action);
    host.list.addElement(TestResult::create("two"));
    EXPECT_EQ(host.list.getCount(), 3);
    EXPECT_TRUE(host.list.IsWindowVisible()) << "every add shows the list";

    host.list.clear(true);
    EXPECT_EQ(VElement::liveElements(), before) << "both results are freed";
    EXPECT_EQ(action.deletes, 0) << "a borrowed element is never freed";
    EXPECT_EQ(host.list.getCount(), 0);
    EXPECT_EQ(host.list.getSelection(), -1);
    EXPECT_FALSE(host.list.IsWindowVisible());

    host.list.addElement(TestResult::create("three"));
    host.list.clear(false);
    EXPECT_EQ(VElement::liveElements(), before);
    EXPECT_TRUE(host.list.IsWindowVisible()) << "clear without hide leaves the list shown";
}

TEST(ElementListModel, SingleArrivalsLeaveTheSelectionAndBatchesSelectTheFirstRow) {
    ListHost host;
    for (const char* title : {"a", "b", "c"})
        host.list.addElement(TestResult::create(title));
    EXPECT_EQ(host.list.getSelection(), -1) << "results one at a time select nothing";
    host.list.clear(true);

    VElement* batch[] = {TestResult::create("a"), TestResult::create("b"), TestResult::create("c")};
    host.list.addElements(batch, 3);
    EXPECT_EQ(host.list.getSelection(), 0);
    host.list.clear(true);

    host.list.addElements(nullptr, 0);
    EXPECT_TRUE(host.list.IsWindowVisible()) << "an empty batch still shows the list";
    EXPECT_EQ(host.list.getSelection(), -1);
}

TEST(ElementListModel, ElementsOtherThanResultsAreSelectedOnArrival) {
    BorrowedElement first(0);
    BorrowedElement action(VElement::kAction);
    ListHost host;
    host.list.addElement(&first);
    EXPECT_EQ(host.list.getSelection(), 0) << "a first element of type 0 is selected at once";
    host.list.clear(true);

    host.list.addElement(TestResult::create("result"));
    EXPECT_EQ(host.list.getSelection(), -1);
    host.list.addElement(&action);
    EXPECT_EQ(host.list.getSelection(), 0) << "an action selects the first row";
    EXPECT_EQ(host.list.getSelectedElement(), host.list.getElement(0));
}

TEST(ElementListModel, ReselectsTheEntryWhosePathWasRemembered) {
    ListHost host;
    host.list.setReselectPath("C:\\A\\B\\");
    VElement* batch[] = {TestResult::create("a", "C:\\A\\a.txt"),
                         TestResult::create("b", "C:\\A\\B\\"),
                         TestResult::create("c", "C:\\A\\c.txt")};
    host.list.addElements(batch, 3);
    EXPECT_EQ(host.list.getSelection(), 1);
    host.list.clear(true);

    VElement* twice[] = {TestResult::create("b", "C:\\A\\B\\"), TestResult::create("x"),
                         TestResult::create("b again", "C:\\A\\B\\")};
    host.list.addElements(twice, 3);
    EXPECT_EQ(host.list.getSelection(), 2) << "the later match wins";
    host.list.clear(true);

    host.list.addElement(TestResult::create("a", "C:\\A\\a.txt"));
    host.list.addElement(TestResult::create("b", "c:\\a\\b\\"));
    EXPECT_EQ(host.list.getSelection(), -1) << "the comparison is case-sensitive";
    host.list.addElement(TestResult::create("b", "C:\\A\\B\\"));
    EXPECT_EQ(host.list.getSelection(), 2);
    host.list.clear(true);

    host.list.setReselectPath("C:\\A\\B\\");
    VFileResult* listing[] = {fileResult("C:\\A\\a.txt"), fileResult("C:\\A\\B\\")};
    host.list.addFileResults(listing, 2);
    EXPECT_EQ(host.list.getSelection(), 1) << "file results compare their file";
}

TEST(ElementListModel, FolderListingsSuspendTwoLineRowsUntilTheNextClear) {
    ListHost host(true);
    const int oneLine = smallIcon() + 2;
    const int twoLines = 2 * smallIcon() + 4;
    EXPECT_EQ(host.list.getRowHeight(), twoLines);

    VFileResult* listing[] = {fileResult("C:\\a.txt")};
    host.list.addFileResults(listing, 1);
    EXPECT_EQ(host.list.getRowHeight(), oneLine);
    EXPECT_EQ(host.list.getSelection(), 0);
    // The user's choice is what the Preferences show and what is saved meanwhile.
    EXPECT_TRUE(host.list.isTwoLines());
    VPreferencesNode* commandLine = VPreferencesNode::createInstance("CommandLine");
    host.list.savePrefs(commandLine);
    bool saved = false;
    EXPECT_TRUE(commandLine->getChild("List")->getParam("TwoLines", saved) && saved);
    commandLine->deleteThis();

    host.list.clear(true);
    EXPECT_TRUE(host.list.isTwoLines());
    EXPECT_EQ(host.list.getRowHeight(), twoLines);

    host.list.setTwoLines(false);
    VFileResult* again[] = {fileResult("C:\\b.txt")};
    host.list.addFileResults(again, 1);
    host.list.clear(true);
    EXPECT_FALSE(host.list.isTwoLines()) << "one-line mode stays after the listing";
    EXPECT_EQ(host.list.getRowHeight(), oneLine);
}

TEST(ElementListModel, PreferencesKeepDefaultsForMissingKeysAndSaveTheOptions) {
    VElementListCtrl list;
    list.loadPrefs(nullptr);
    EXPECT_TRUE(list.isShowIcons());
    EXPECT_TRUE(list.isTwoLines());
    EXPECT_EQ(list.getRowHeight(), 2 * smallIcon() + 4);

    VPreferencesNode* commandLine = VPreferencesNode::createInstance("CommandLine");
    VPreferencesNode* listNode = VPreferencesNode::createInstance("List");
    listNode->setParam("TwoLines", false);
    commandLine->addChild(listNode);
    list.loadPrefs(commandLine);
    EXPECT_TRUE(list.isShowIcons()) << "a missing key keeps the default";
    EXPECT_FALSE(list.isTwoLines());
    EXPECT_EQ(list.getRowHeight(), smallIcon() + 2);
    commandLine->deleteThis();

    list.setShowIcons(false);
    VPreferencesNode* saved = VPreferencesNode::createInstance("CommandLine");
    list.savePrefs(saved);
    VPreferencesNode* savedList = saved->getChild("List");
    ASSERT_NE(savedList, nullptr);
    bool showIcons = true;
    bool twoLines = true;
    EXPECT_TRUE(savedList->getParam("ShowIcons", showIcons));
    EXPECT_TRUE(savedList->getParam("TwoLines", twoLines));
    EXPECT_FALSE(showIcons);
    EXPECT_FALSE(twoLines);
    saved->deleteThis();
}

} // namespace
