#include "core_iface/VPreferences.h"

#include "core/engine/file_io.h"
#include "core/engine/prefs_file.h"

namespace engine = corvantile::engine;

namespace {

const char* orEmpty(const char* text) {
    return text ? text : "";
}

} // namespace

VPreferencesNode* VPreferencesNode::createInstance(const char* name) {
    return new VPreferencesNode(orEmpty(name));
}

void VPreferencesNode::deleteThis() {
    if (PrefsNode* owner = parent()) {
        // The parent's unique_ptr frees this node as it goes.
        owner->release_child(this);
        return;
    }
    delete this;
}

bool VPreferencesNode::addChild(VPreferencesNode* child) {
    std::unique_ptr<PrefsNode> owned(child);
    if (adopt_child(std::move(owned)))
        return true;
    // Refused: ownership stays with the caller.
    static_cast<void>(owned.release());
    return false;
}

VPreferencesNode* VPreferencesNode::getChild(const char* name) const {
    return dynamic_cast<VPreferencesNode*>(find_child(orEmpty(name)));
}

int VPreferencesNode::getChildCount() const {
    return static_cast<int>(children().size());
}

VPreferencesNode* VPreferencesNode::getChildAt(int index) const {
    if (index < 0 || index >= getChildCount())
        return nullptr;
    return dynamic_cast<VPreferencesNode*>(children()[static_cast<size_t>(index)].get());
}

CString VPreferencesNode::getName() const {
    return CString(name());
}

bool VPreferencesNode::getParam(const char* key, int& value) const {
    const std::string* text = find_param(orEmpty(key));
    const auto parsed = text ? engine::parse_int_value(*text) : std::nullopt;
    if (parsed)
        value = *parsed;
    return parsed.has_value();
}

bool VPreferencesNode::getParam(const char* key, unsigned& value) const {
    const std::string* text = find_param(orEmpty(key));
    const auto parsed = text ? engine::parse_unsigned_value(*text) : std::nullopt;
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
    const std::string* text = find_param(orEmpty(key));
    const auto parsed = text ? engine::parse_bool_value(*text) : std::nullopt;
    if (parsed)
        value = *parsed;
    return parsed.has_value();
}

bool VPreferencesNode::getParam(const char* key, CString& value) const {
    const std::string* text = find_param(orEmpty(key));
    if (text)
        value = CString(*text);
    return text != nullptr;
}

void VPreferencesNode::setParam(const char* key, int value) {
    set_param(orEmpty(key), engine::format_int_value(value));
}

void VPreferencesNode::setParam(const char* key, unsigned value) {
    set_param(orEmpty(key), engine::format_unsigned_value(value));
}

void VPreferencesNode::setParam(const char* key, unsigned long value) {
    setParam(key, static_cast<unsigned>(value));
}

void VPreferencesNode::setParam(const char* key, bool value) {
    set_param(orEmpty(key), engine::format_bool_value(value));
}

void VPreferencesNode::setParam(const char* key, const char* value) {
    set_param(orEmpty(key), orEmpty(value));
}

std::unique_ptr<engine::PrefsNode> VPreferencesNode::make_node(std::string name) const {
    return std::unique_ptr<PrefsNode>(new VPreferencesNode(std::move(name)));
}

VPreferencesNode* VPreferences::load(const CString& fileName) {
    VPreferencesNode* document = VPreferencesNode::createInstance("");
    if (engine::load_prefs_file(engine::path_from_utf8(fileName.str()), *document).loaded())
        return document;
    document->deleteThis();
    return nullptr;
}

bool VPreferences::save(const CString& fileName, VPreferencesNode* root) {
    if (!root || fileName.IsEmpty())
        return false;
    return engine::save_prefs_file(engine::path_from_utf8(fileName.str()), *root);
}
