// The preferences tree and file through the program's interface, on Windows file names.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "common/win_test_support.h"
#include "core/engine/file_io.h"
#include "core_iface/VPreferences.h"

namespace fs = std::filesystem;
using corvantile::engine::path_to_utf8;

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

// A test in a folder whose name is outside the ANSI code page, as user profiles can be.
class SupportPreferencesFile : public testing::Test {
protected:
    int countFiles(const std::string& part) const {
        int count = 0;
        for (const auto& entry : fs::directory_iterator(m_dir.path()))
            count += path_to_utf8(entry.path().filename()).find(part) != std::string::npos;
        return count;
    }

    wintest::TempFolder m_dir{"corvantile Zoë 日本"};
    CString m_file = m_dir.file("Corvantile.xml");
};

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
    EXPECT_EQ(a->getChildCount(), 1);
    EXPECT_EQ(a->getChildAt(0), b);
    EXPECT_EQ(a->getChildAt(1), nullptr);
    EXPECT_EQ(b->getName(), "b");

    // Freeing a node that is in a tree takes it out of the tree.
    a->deleteThis();
    EXPECT_EQ(root->getChildCount(), 0);
    root->deleteThis();
}

TEST_F(SupportPreferencesFile, SavedTreeLoadsBackUnderUnicodeFolder) {
    VPreferencesNode* tree = programTree(412);
    ASSERT_TRUE(VPreferences::save(m_file, tree));
    tree->deleteThis();
    tree = programTree(-20);
    ASSERT_TRUE(VPreferences::save(m_file, tree)); // replaces the first file
    tree->deleteThis();
    EXPECT_EQ(countFiles(".bak"), 1);

    VPreferencesNode* document = VPreferences::load(m_file);
    ASSERT_NE(document, nullptr);
    VPreferencesNode* root = document->getChild("Corvantile");
    ASSERT_NE(root, nullptr);
    int posX = 0;
    EXPECT_TRUE(root->getChild("Window")->getParam("PosX", posX));
    EXPECT_EQ(posX, -20);
    CString folder;
    ASSERT_NE(root->getChild("Plug-ins & <Sources>"), nullptr);
    EXPECT_TRUE(root->getChild("Plug-ins & <Sources>")->getParam("Folder \"Documents\"", folder));
    EXPECT_EQ(folder, "C:\\Users\\Zoë\\Dokumente – Ablage\\日本");
    document->deleteThis();
}

TEST_F(SupportPreferencesFile, FirstRunAndDamagedFilesGiveNoTree) {
    EXPECT_EQ(VPreferences::load(m_file), nullptr);
    EXPECT_FALSE(VPreferences::save(m_file, nullptr));
    EXPECT_FALSE(fs::exists(m_dir.path() / "Corvantile.xml"));

    m_dir.write("Corvantile.xml", "<preferences><node");
    EXPECT_EQ(VPreferences::load(m_file), nullptr);
    EXPECT_EQ(countFiles(".corrupt-"), 1);

    // With a good backup, a damaged file gives the backup's tree.
    VPreferencesNode* tree = programTree(1);
    ASSERT_TRUE(VPreferences::save(m_file, tree));
    ASSERT_TRUE(VPreferences::save(m_file, tree));
    tree->deleteThis();
    m_dir.write("Corvantile.xml", std::string(64, '\0'));
    VPreferencesNode* document = VPreferences::load(m_file);
    ASSERT_NE(document, nullptr);
    EXPECT_NE(document->getChild("Corvantile"), nullptr);
    document->deleteThis();
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
