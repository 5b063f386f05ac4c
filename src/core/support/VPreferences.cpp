#include "core_iface/VPreferences.h"

#include <memory>
#include <string>

#include "support/file_io.h"
#include "support/prefs_file.h"
#include "support/prefs_tree.h"

namespace support = corvantile::support;

namespace {

const char* orEmpty(const char* text) {
    return text ? text : "";
}

// Every VPreferencesNode is one of these: the portable tree node, seen through the classic
// interface. Its children are made of the same kind, so a whole tree, built or loaded, is.
class TreeNode final : public support::PrefsNode, public VPreferencesNode {
public:
    explicit TreeNode(std::string name) : PrefsNode(std::move(name)) {}

protected:
    std::unique_ptr<PrefsNode> make_node(std::string name) const override {
        return std::make_unique<TreeNode>(std::move(name));
    }
};

TreeNode& tree(VPreferencesNode& node) {
    return static_cast<TreeNode&>(node);
}

const TreeNode& tree(const VPreferencesNode& node) {
    return static_cast<const TreeNode&>(node);
}

VPreferencesNode* classic(support::PrefsNode* node) {
    return dynamic_cast<TreeNode*>(node);
}

} // namespace

VPreferencesNode* VPreferencesNode::createInstance(const char* name) {
    return new TreeNode(orEmpty(name));
}

void VPreferencesNode::deleteThis() {
    if (support::PrefsNode* owner = tree(*this).parent()) {
        // The parent's unique_ptr frees this node as it goes.
        owner->release_child(&tree(*this));
        return;
    }
    delete this;
}

bool VPreferencesNode::addChild(VPreferencesNode* child) {
    if (!child)
        return false;
    std::unique_ptr<support::PrefsNode> owned(&tree(*child));
    if (tree(*this).adopt_child(std::move(owned)))
        return true;
    // Refused: ownership stays with the caller.
    static_cast<void>(owned.release());
    return false;
}

VPreferencesNode* VPreferencesNode::getChild(const char* name) const {
    return classic(tree(*this).find_child(orEmpty(name)));
}

int VPreferencesNode::getChildCount() const {
    return static_cast<int>(tree(*this).children().size());
}

VPreferencesNode* VPreferencesNode::getChildAt(int index) const {
    if (index < 0 || index >= getChildCount())
        return nullptr;
    return classic(tree(*this).children()[static_cast<size_t>(index)].get());
}

CString VPreferencesNode::getName() const {
    return CString(tree(*this).name());
}

bool VPreferencesNode::getParam(const char* key, int& value) const {
    const std::string* text = tree(*this).find_param(orEmpty(key));
    const auto parsed = text ? support::parse_int_value(*text) : std::nullopt;
    if (parsed)
        value = *parsed;
    return parsed.has_value();
}

bool VPreferencesNode::getParam(const char* key, unsigned& value) const {
    const std::string* text = tree(*this).find_param(orEmpty(key));
    const auto parsed = text ? support::parse_unsigned_value(*text) : std::nullopt;
    if (parsed)
        value = *parsed;
    return parsed.has_value();
}

bool VPreferencesNode::getParam(const char* key, unsigned long& value) const {
    unsigned parsed = 0;
    if (!getParam(key, parsed))
        return false;
    value = parsed;
    return true;
}

bool VPreferencesNode::getParam(const char* key, bool& value) const {
    const std::string* text = tree(*this).find_param(orEmpty(key));
    const auto parsed = text ? support::parse_bool_value(*text) : std::nullopt;
    if (parsed)
        value = *parsed;
    return parsed.has_value();
}

bool VPreferencesNode::getParam(const char* key, CString& value) const {
    const std::string* text = tree(*this).find_param(orEmpty(key));
    if (text)
        value = CString(*text);
    return text != nullptr;
}

void VPreferencesNode::setParam(const char* key, int value) {
    tree(*this).set_param(orEmpty(key), support::format_int_value(value));
}

void VPreferencesNode::setParam(const char* key, unsigned value) {
    tree(*this).set_param(orEmpty(key), support::format_unsigned_value(value));
}

void VPreferencesNode::setParam(const char* key, unsigned long value) {
    setParam(key, static_cast<unsigned>(value));
}

void VPreferencesNode::setParam(const char* key, bool value) {
    tree(*this).set_param(orEmpty(key), support::format_bool_value(value));
}

void VPreferencesNode::setParam(const char* key, const char* value) {
    tree(*this).set_param(orEmpty(key), orEmpty(value));
}

VPreferencesNode* VPreferences::load(const CString& fileName) {
    VPreferencesNode* document = VPreferencesNode::createInstance("");
    if (support::load_prefs_file(support::path_from_utf8(fileName.str()), tree(*document)).loaded())
        return document;
    document->deleteThis();
    return nullptr;
}

bool VPreferences::save(const CString& fileName, VPreferencesNode* root) {
    if (!root || fileName.IsEmpty())
        return false;
    return support::save_prefs_file(support::path_from_utf8(fileName.str()), tree(*root));
}
