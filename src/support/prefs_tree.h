// A node of the preferences tree: a name, named parameters kept as text in the order they were
// first set, and an ordered list of children that the node owns.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvantile::support {

struct PrefsParam {
    std::string key;
    std::string value;
};

class PrefsNode {
public:
    explicit PrefsNode(std::string name) : m_name(std::move(name)) {}
    virtual ~PrefsNode() = default;
    PrefsNode(const PrefsNode&) = delete;
    PrefsNode& operator=(const PrefsNode&) = delete;

    const std::string& name() const { return m_name; }
    PrefsNode* parent() const { return m_parent; }

    // Sets a parameter; an existing key keeps its place and takes the new value.
    void set_param(std::string_view key, std::string_view value);
    // The value of key, or null when there is none.
    const std::string* find_param(std::string_view key) const;
    bool remove_param(std::string_view key);
    const std::vector<PrefsParam>& params() const { return m_params; }

    // Creates a child of the same kind as this node, appends it and returns it.
    PrefsNode& add_child(std::string name);
    // Appends a detached node and takes it over; null (and child left alone) when it already
    // has a parent or is this node or one of its ancestors.
    PrefsNode* adopt_child(std::unique_ptr<PrefsNode>&& child);
    // Detaches a child and hands it back; null when it is not a child of this node.
    std::unique_ptr<PrefsNode> release_child(const PrefsNode* child);
    // The first child of that name, or null.
    PrefsNode* find_child(std::string_view name) const;
    const std::vector<std::unique_ptr<PrefsNode>>& children() const { return m_children; }

    // Empties the node: no parameters, no children; the name stays.
    void clear();

    // Nesting below this node: 0 without children.
    std::size_t depth() const;

protected:
    // A new node of this node's own kind; wrappers that derive from PrefsNode override it so
    // that a whole tree, loaded or built, consists of their kind.
    virtual std::unique_ptr<PrefsNode> make_node(std::string name) const;

private:
    std::string m_name;
    PrefsNode* m_parent = nullptr;
    std::vector<PrefsParam> m_params;
    std::map<std::string, std::size_t, std::less<>> m_param_index;
    std::vector<std::unique_ptr<PrefsNode>> m_children;
};

// Deep comparison: names, parameters in order, children in order.
bool same_tree(const PrefsNode& a, const PrefsNode& b);

// Text forms of typed values. Parsing accepts surrounding blanks and nothing else: a number out
// of range or with extra characters gives nullopt, so that a caller keeps its default.
std::string format_int_value(int value);
std::string format_unsigned_value(unsigned value);
std::string format_bool_value(bool value); // "true" or "false"
std::optional<int> parse_int_value(std::string_view text);
std::optional<unsigned> parse_unsigned_value(std::string_view text);
std::optional<bool> parse_bool_value(std::string_view text); // true/false, also 1/0

} // namespace corvantile::support
