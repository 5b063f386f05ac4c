// The preferences tree and file through the program's interface, on Windows file names.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "common/win_test_support.h"
#include "support/file_io.h"
#include "core_iface/VPreferences.h"

namespace fs = std::filesystem;
using corvantile::support::path_to_utf8;

namespace {

// A tree of the program's shape: "Corvantile" > "Window" > "CommandLine" > "List", and a node
// whose names need escaping in XML.
VPreferencesNode* programTree(int posX) {
    VPreferencesNode* root = VPreferencesNode::createInstance("Corvantile");
    VPreferencesNode* window = VPreferencesNode::createInstance("Window");
    window->setParam("HotKeyModifier", static_cast<DWORD>(MOD_CONTROL));
    window->setParam("PosX", posX);
    VPreferencesNode* commandLine = VPreferencesNode::createInstance("CommandLine");
    VPreferencesNode* list = VPreferencesNode::createInstance("List");
    // The list adds its node first and sets its keys afterwards.
    commandLine->addChild(list);
    list->setParam("TwoLines", false);
    window->addChild(commandLine);
    root->addChild(window);
    VPreferencesNode* core = VPreferencesNode::createInstance("Plug-ins & <Sources>");
    core->setParam("Folder \"Documents\"", "C:\\Users\\Zoë\\Dokumente – Ablage\\日本");
    root->addChild(core);
    return root;
}

} // namespace

TEST(SupportPreferencesNode, MissingOrUnreadableKeysKeepTheDefault) {
    VPreferencesNode* node = VPreferencesNode::createInstance("Window");
    node->setParam("Text", "abc");
    node->setParam("Negative", -5);
    node->setParam("Flag", true);

    int number = 7;
    unsigned count = 9;
    DWORD word = 11;
    bool flag = false;
    CString text = "default";
    EXPECT_FALSE(node->getParam("Missing", number));
    EXPECT_FALSE(node->getParam("Text", number));
    EXPECT_FALSE(node->getParam("Negative", count));
    EXPECT_FALSE(node->getParam("Negative", word));
    EXPECT_FALSE(node->getParam("Text", flag));
    EXPECT_FALSE(node->getParam("Missing", text));
    EXPECT_EQ(number, 7);
    EXPECT_EQ(count, 9u);
    EXPECT_EQ(word, 11u);
    EXPECT_FALSE(flag);
    EXPECT_EQ(text, "default");

    EXPECT_TRUE(node->getParam("Negative", number));
    EXPECT_EQ(number, -5);
    EXPECT_TRUE(node->getParam("Flag", flag));
    EXPECT_TRUE(flag);
    node->setParam("Big", 4000000000u);
    EXPECT_TRUE(node->getParam("Big", count));
    EXPECT_EQ(count, 4000000000u);
    EXPECT_FALSE(node->getParam("Big", number));
    EXPECT_TRUE(node->getParam("Text", text));
    EXPECT_EQ(text, "abc");
    node->deleteThis();
}

TEST(SupportPreferencesNode, ParentsOwnTheirChildren) {
    VPreferencesNode* root = VPreferencesNode::createInstance("root");
    VPreferencesNode* a = VPreferencesNode::createInstance("a");
    VPreferencesNode* b = VPreferencesNode::createInstance("b");
    EXPECT_TRUE(root->addChild(a));
    EXPECT_TRUE(a->addChild(b));
    EXPECT_FALSE(root->addChild(nullptr));
    EXPECT_FALSE(root->addChild(b)); // already has a parent
    EXPECT_FALSE(b->addChild(root)); // would make a cycle
    EXPECT_EQ(root->getChild("a"), a);
    EXPECT_EQ(root->getChild("b"), nullptr);
    EXPECT_EQ(a->getChild("b"), b);

    // Freeing a node that is in a tree takes it out of the tree.
    a->deleteThis();
    EXPECT_EQ(root->getChildCount(), 0);
    root->deleteThis();
}

// The file in a folder whose name is outside the ANSI code page, as user profiles can be: a
// first run finds nothing, a save replaces the file and keeps the previous one as the backup,
// and a damaged file is set aside for the backup's tree (or for none without a backup).
TEST(SupportPreferencesFile, SavesReplaceTheFileAndDamagedFilesAreSetAside) {
    const wintest::TempFolder dir("corvantile Zoë 日本");
    const CString file = dir.file("Corvantile.xml");
    const auto countFiles = [&](const std::string& part) {
        int count = 0;
        for (const auto& entry : fs::directory_iterator(dir.path()))
            count += path_to_utf8(entry.path().filename()).find(part) != std::string::npos;
        return count;
    };
    // The PosX of the file's tree, or 0 when nothing loads; checks the escaped names on the way.
    const auto loadedPosX = [&] {
        VPreferencesNode* document = VPreferences::load(file);
        if (!document)
            return 0;
        VPreferencesNode* root = document->getChild("Corvantile");
        int posX = 0;
        CString folder;
        EXPECT_TRUE(root->getChild("Window")->getParam("PosX", posX));
        EXPECT_TRUE(
            root->getChild("Plug-ins & <Sources>")->getParam("Folder \"Documents\"", folder));
        EXPECT_EQ(folder, "C:\\Users\\Zoë\\Dokumente – Ablage\\日本");
        document->deleteThis();
        return posX;
    };

    EXPECT_EQ(loadedPosX(), 0);
    EXPECT_FALSE(VPreferences::save(file, nullptr));
    EXPECT_FALSE(fs::exists(dir.path() / "Corvantile.xml"));
    dir.write("Corvantile.xml", "<preferences><node");
    EXPECT_EQ(loadedPosX(), 0);
    EXPECT_EQ(countFiles(".corrupt-"), 1);

    for (const int posX : {412, -20}) {
        VPreferencesNode* tree = programTree(posX);
        ASSERT_TRUE(VPreferences::save(file, tree));
        tree->deleteThis();
    }
    EXPECT_EQ(countFiles(".bak"), 1);
    EXPECT_EQ(loadedPosX(), -20);

    dir.write("Corvantile.xml", std::string(64, '\0'));
    EXPECT_EQ(loadedPosX(), 412) << "the backup's tree";
    EXPECT_EQ(countFiles(".corrupt-"), 2);
}

// Writes the program's tree where CORVANTILE_PREFS_OUT says, for a check with an outside XML
// reader (prefs_check.sh); skipped when the variable is not set.
TEST(SupportPreferencesOutside, WritesFileForOutsideReader) {
    const char* target = std::getenv("CORVANTILE_PREFS_OUT");
    if (!target)
        GTEST_SKIP() << "CORVANTILE_PREFS_OUT not set";
    VPreferencesNode* tree = programTree(412);
    EXPECT_TRUE(VPreferences::save(target, tree));
    tree->deleteThis();
}
