#include "support/prefs_tree.h"

#include "support/tokenizer.h"

#include <algorithm>
#include <charconv>

namespace corvantile::support {

void PrefsNode::set_param(std::string_view key, std::string_view value) {
    if (const auto found = m_param_index.find(key); found != m_param_index.end()) {
        m_params[found->second].value.assign(value);
        return;
    }
    m_param_index.emplace(std::string(key), m_params.size());
    m_params.push_back({std::string(key), std::string(value)});
}

const std::string* PrefsNode::find_param(std::string_view key) const {
    const auto found = m_param_index.find(key);
    return found == m_param_index.end() ? nullptr : &m_params[found->second].value;
}

bool PrefsNode::remove_param(std::string_view key) {
    const auto found = m_param_index.find(key);
    if (found == m_param_index.end())
        return false;
    const std::size_t index = found->second;
    m_param_index.erase(found);
    m_params.erase(m_params.begin() + static_cast<std::ptrdiff_t>(index));
    for (auto& entry : m_param_index) {
        if (entry.second > index)
            --entry.second;
    }
    return true;
}

PrefsNode& PrefsNode::add_child(std::string name) {
    std::unique_ptr<PrefsNode> child = make_node(std::move(name));
    child->m_parent = this;
    m_children.push_back(std::move(child));
    return *m_children.back();
}

PrefsNode* PrefsNode::adopt_child(std::unique_ptr<PrefsNode>&& child) {
    if (!child || child->m_parent)
        return nullptr;
    for (const PrefsNode* node = this; node; node = node->m_parent) {
        if (node == child.get())
            return nullptr;
    }
    child->m_parent = this;
    m_children.push_back(std::move(child));
    return m_children.back().get();
}

std::unique_ptr<PrefsNode> PrefsNode::release_child(const PrefsNode* child) {
    const auto found = std::find_if(m_children.begin(), m_children.end(),
                                    [child](const auto& owned) { return owned.get() == child; });
    if (found == m_children.end())
        return nullptr;
    std::unique_ptr<PrefsNode> released = std::move(*found);
    m_children.erase(found);
    released->m_parent = nullptr;
    return released;
}

PrefsNode* PrefsNode::find_child(std::string_view name) const {
    for (const auto& child : m_children) {
        if (child->m_name == name)
            return child.get();
    }
    return nullptr;
}

void PrefsNode::clear() {
    m_params.clear();
    m_param_index.clear();
    m_children.clear();
}

std::size_t PrefsNode::depth() const {
    std::size_t deepest = 0;
    for (const auto& child : m_children)
        deepest = std::max(deepest, child->depth() + 1);
    return deepest;
}

std::unique_ptr<PrefsNode> PrefsNode::make_node(std::string name) const {
    return std::make_unique<PrefsNode>(std::move(name));
}

bool same_tree(const PrefsNode& a, const PrefsNode& b) {
    if (a.name() != b.name() || a.params().size() != b.params().size() ||
        a.children().size() != b.children().size())
        return false;
    for (std::size_t i = 0; i < a.params().size(); ++i) {
        if (a.params()[i].key != b.params()[i].key || a.params()[i].value != b.params()[i].value)
            return false;
    }
    for (std::size_t i = 0; i < a.children().size(); ++i) {
        if (!same_tree(*a.children()[i], *b.children()[i]))
            return false;
    }
    return true;
}

std::string format_int_value(int value) {
    return std::to_string(value);
}

std::string format_unsigned_value(unsigned value) {
    return std::to_string(value);
}

std::string format_bool_value(bool value) {
    return value ? "true" : "false";
}

namespace {

template <class Number> std::optional<Number> parse_number(std::string_view text) {
    text = trim_blanks(text);
    Number value{};
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<int> parse_int_value(std::string_view text) {
    return parse_number<int>(text);
}

std::optional<unsigned> parse_unsigned_value(std::string_view text) {
    return parse_number<unsigned>(text);
}

std::optional<bool> parse_bool_value(std::string_view text) {
    text = trim_blanks(text);
    if (text == "true" || text == "1")
        return true;
    if (text == "false" || text == "0")
        return false;
    return std::nullopt;
}

} // namespace corvantile::support
