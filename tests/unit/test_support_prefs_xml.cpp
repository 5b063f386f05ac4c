// The preferences tree and its XML form: round trips, escaping, and refusal of bad input.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "support/prefs_tree.h"
#include "support/prefs_xml.h"

using namespace corvantile::support;
using namespace std::string_literals;

namespace {

// A tree shaped like the program's own, with awkward names and values mixed in.
std::unique_ptr<PrefsNode> sample_tree() {
    auto root = std::make_unique<PrefsNode>("Corvantile");
    PrefsNode& window = root->add_child("Window");
    window.set_param("AutoHide", format_bool_value(true));
    window.set_param("HotKey", format_unsigned_value(0x20));
    window.set_param("PosX", format_int_value(-1200));
    PrefsNode& command_line = window.add_child("CommandLine");
    command_line.set_param("Delay", "500");
    command_line.add_child("List").set_param("TwoLines", "false");
    PrefsNode& odd = root->add_child("Usage <&> \"quoted\" 'single'");
    odd.set_param("C:\\Users\\Zoë\\Desktop\\Übersicht.lnk", "日本語 – ελληνικά 🙂");
    odd.set_param("tabs\tand\nlines\r\n", "  leading and trailing  ");
    odd.set_param("controls", "bell\x07 escape\x1b del\x7f c1\xc2\x85");
    odd.set_param("not UTF-8", "\xff\xfe latin1 caf\xe9");
    odd.set_param("non-character", "\xef\xbf\xbe");
    odd.set_param("", "");
    odd.add_child("");
    odd.add_child("twin").set_param("n", "1");
    odd.add_child("twin").set_param("n", "2");
    return root;
}

std::unique_ptr<PrefsNode> read_back(const std::string& text) {
    auto document = std::make_unique<PrefsNode>("");
    EXPECT_TRUE(read_prefs_xml(text, *document)) << text;
    return document;
}

std::string nested_nodes(std::size_t depth) {
    std::string text = "<preferences>";
    for (std::size_t i = 0; i < depth; ++i)
        text += "<node name=\"n\">";
    for (std::size_t i = 0; i < depth; ++i)
        text += "</node>";
    return text + "</preferences>";
}

} // namespace

TEST(SupportPrefsTree, ParamsKeepOrderAndReplaceInPlace) {
    PrefsNode node("n");
    node.set_param("b", "1");
    node.set_param("a", "2");
    node.set_param("b", "3");
    ASSERT_EQ(node.params().size(), 2u);
    EXPECT_EQ(node.params()[0].key, "b");
    EXPECT_EQ(node.params()[0].value, "3");
    EXPECT_EQ(node.params()[1].key, "a");
}

TEST(SupportPrefsTree, AdoptionRefusesCyclesAndSecondParents) {
    PrefsNode root("root");
    PrefsNode& child = root.add_child("child");
    EXPECT_EQ(child.parent(), &root);

    auto loose = std::make_unique<PrefsNode>("loose");
    PrefsNode* raw = loose.get();
    EXPECT_EQ(child.adopt_child(std::move(loose)), raw);
    EXPECT_EQ(root.find_child("child")->find_child("loose"), raw);

    // A node cannot become a child of its own descendant.
    auto top = std::make_unique<PrefsNode>("top");
    PrefsNode& middle = top->add_child("middle");
    EXPECT_EQ(middle.adopt_child(std::move(top)), nullptr);
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->adopt_child(std::move(top)), nullptr);
    ASSERT_NE(top, nullptr);

    auto released = root.release_child(&child);
    ASSERT_NE(released, nullptr);
    EXPECT_EQ(released->parent(), nullptr);
    EXPECT_TRUE(root.children().empty());
    EXPECT_EQ(root.release_child(released.get()), nullptr);
}

TEST(SupportPrefsTree, TypedValuesParseStrictly) {
    EXPECT_EQ(parse_int_value(" -42 "), -42);
    EXPECT_EQ(parse_int_value("2147483647"), 2147483647);
    EXPECT_EQ(parse_int_value("2147483648"), std::nullopt);
    EXPECT_EQ(parse_int_value("12abc"), std::nullopt);
    EXPECT_EQ(parse_int_value(""), std::nullopt);
    EXPECT_EQ(parse_unsigned_value("4294967295"), 4294967295u);
    EXPECT_EQ(parse_unsigned_value("-1"), std::nullopt);
    EXPECT_EQ(parse_unsigned_value("0x20"), std::nullopt);
    EXPECT_EQ(parse_bool_value("true"), true);
    EXPECT_EQ(parse_bool_value("0"), false);
    EXPECT_EQ(parse_bool_value("TRUE "), std::nullopt);
    EXPECT_EQ(parse_bool_value("yes"), std::nullopt);
}

TEST(SupportPrefsXml, RoundTripKeepsEveryNameKeyAndValue) {
    const auto tree = sample_tree();
    const auto text = write_prefs_xml(*tree);
    ASSERT_TRUE(text);
    const auto document = read_back(*text);
    ASSERT_EQ(document->children().size(), 1u);
    EXPECT_TRUE(same_tree(*tree, *document->children()[0])) << *text;

    // Writing what was read gives the same text again.
    EXPECT_EQ(write_prefs_document(*document), text);
}

TEST(SupportPrefsXml, WrittenFileIsReadableAndValidXml) {
    const auto text = write_prefs_xml(*sample_tree());
    ASSERT_TRUE(text);
    EXPECT_NE(text->find("<param key=\"AutoHide\" value=\"true\"/>"), std::string::npos);
    EXPECT_NE(text->find("name=\"Usage &lt;&amp;&gt; &quot;quoted&quot; &apos;single&apos;\""),
              std::string::npos);
    EXPECT_NE(text->find("value=\"日本語 – ελληνικά 🙂\""), std::string::npos);
    EXPECT_NE(text->find("key=\"tabs&#9;and&#10;lines&#13;&#10;\""), std::string::npos);
    // What XML cannot hold goes in hexadecimal.
    EXPECT_NE(text->find("value-hex=\"fffe206c6174696e3120636166e9\""), std::string::npos);

    const auto path = std::filesystem::temp_directory_path() /
                      ("corvantile_prefs_valid_" + std::to_string(getpid()) + ".xml");
    std::ofstream(path, std::ios::binary) << *text;
    const std::string command = "xmllint --noout '" + path.string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0);
    std::filesystem::remove(path);
}

TEST(SupportPrefsXml, ReadsHandWrittenForms) {
    const auto document = read_back("\xEF\xBB\xBF<?xml version='1.0'?>\r\n"
                                    "<!-- settings -->\r\n"
                                    "<preferences version='1' future='ignored'>\r\n"
                                    "  <node name = 'A' >\r\n"
                                    "    <param value=\"x&#x41;&#66;\" key='k'></param>\r\n"
                                    "    <param key='k' value='last wins'/>\r\n"
                                    "    <param key='spaced' value='a\tb\r\nc'/>\r\n"
                                    "    <node name-hex='00ff'/>\r\n"
                                    "  </node >\r\n"
                                    "</preferences>\r\n<!-- end -->\r\n");
    const PrefsNode* a = document->find_child("A");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(*a->find_param("k"), "last wins");
    EXPECT_EQ(*a->find_param("spaced"), "a b c");
    ASSERT_EQ(a->children().size(), 1u);
    EXPECT_EQ(a->children()[0]->name(), std::string("\0\xff", 2));

    EXPECT_TRUE(read_back("<preferences/>")->children().empty());
}

TEST(SupportPrefsXml, RefusesMalformedDocuments) {
    const std::string cases[] = {
        "",
        "not xml at all",
        "<node name=\"Corvantile\"/>",
        "<html><body/></html>",
        "<preferences>",
        "<preferences><node name=\"a\"></preferences>",
        "<preferences><node name=\"a\"/></preferences><preferences/>",
        "<preferences><node/></preferences>",
        "<preferences><node name=\"a\" name=\"b\"/></preferences>",
        "<preferences><node name=\"a\" name-hex=\"62\"/></preferences>",
        "<preferences><node name-hex=\"6\"/></preferences>",
        "<preferences><node name-hex=\"zz\"/></preferences>",
        "<preferences><param key=\"k\"/></preferences>",
        "<preferences><param key=\"k\" value=\"v\">text</param></preferences>",
        "<preferences><other/></preferences>",
        "<preferences>stray text</preferences>",
        "<preferences><node name=\"a\"/>",
        "<preferences><node name=\"a<b\"/></preferences>",
        "<preferences><node name=\"a&b\"/></preferences>",
        "<preferences><node name=\"&unknown;\"/></preferences>",
        "<preferences><node name=\"&#0;\"/></preferences>",
        "<preferences><node name=\"&#x1;\"/></preferences>",
        "<preferences><node name=\"&#xD800;\"/></preferences>",
        "<preferences><node name=\"&#99999999;\"/></preferences>",
        "<preferences><node name=\"a\"b=\"c\"/></preferences>",
        "<preferences><node name='a\"/></preferences>",
        "<preferences><!-- unterminated </preferences>",
        "<preferences><![CDATA[x]]></preferences>",
        "<!DOCTYPE p [<!ENTITY e \"x\">]><preferences/>",
        "<preferences/>trailing",
        "<preferences><node name=\"a\0b\"/></preferences>"s,
        "<preferences><node name=\"\xc3\x28\"/></preferences>",     // broken sequence
        "<preferences><node name=\"\xc0\xaf\"/></preferences>",     // overlong
        "<preferences><node name=\"\xed\xa0\x80\"/></preferences>", // surrogate
        "<preferences><node name=\"\xf4\x90\x80\x80\"/></preferences>",
        "<preferences><node name=\"bell\x07\"/></preferences>",
        "<preferences><node name=\"\xef\xbf\xbf\"/></preferences>",
    };
    for (const auto& text : cases) {
        PrefsNode document("");
        document.set_param("stale", "x");
        EXPECT_FALSE(read_prefs_xml(text, document)) << text;
        EXPECT_TRUE(document.params().empty() && document.children().empty()) << text;
    }
}

TEST(SupportPrefsXml, DepthAndSizeAreBounded) {
    PrefsNode document("");
    EXPECT_TRUE(read_prefs_xml(nested_nodes(kPrefsMaxDepth), document));
    EXPECT_EQ(document.depth(), kPrefsMaxDepth);
    EXPECT_FALSE(read_prefs_xml(nested_nodes(kPrefsMaxDepth + 1), document));
    EXPECT_FALSE(read_prefs_xml(nested_nodes(100000), document));

    // A tree too deep to be read back is not written either.
    PrefsNode root("root");
    PrefsNode* node = &root;
    for (std::size_t i = 1; i < kPrefsMaxDepth; ++i)
        node = &node->add_child("n");
    EXPECT_TRUE(write_prefs_xml(root));
    node->add_child("n");
    EXPECT_FALSE(write_prefs_xml(root));

    std::string huge = "<preferences><node name=\"";
    huge.append(kPrefsMaxBytes, 'x');
    huge += "\"/></preferences>";
    EXPECT_FALSE(read_prefs_xml(huge, document));
    PrefsNode big("big");
    big.set_param("blob", std::string(kPrefsMaxBytes, 'x'));
    EXPECT_FALSE(write_prefs_xml(big));
}
