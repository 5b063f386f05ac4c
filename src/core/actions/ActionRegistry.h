// The core's actions in their order, the default action of each property type, and the
// shortcuts the user gave them.
#pragma once

#include <map>
#include <mutex>
#include <vector>

#include "core_iface/VElement.h"

class VPreferencesNode;

namespace corvantile::core {

class ActionRegistry {
public:
    // Appends an action; takesText actions are found by name in searches and run on text.
    // formerDefault is the shortcut it had by default before: read from a saved file, it
    // means the default, which has moved since.
    void add(VAction* action, bool takesText, const CString& defaultShortcut,
             const CString& formerDefault = CString());
    void setDefault(PropertyType type, VAction* action);
    void clear();

    int count() const;
    VAction* at(int index) const;
    // The first action whose shortcut is exactly text, or null.
    VAction* byShortcut(const CString& text) const;
    // The first action whose name is text, ignoring case, or null.
    VAction* byName(const CString& text) const;
    VAction* byId(const CString& id) const;
    VAction* defaultFor(PropertyType type) const;
    // The actions that searches find by name.
    std::vector<VAction*> searchable() const;

    CString shortcut(VAction* action) const;
    // Gives the action this shortcut (empty: none), taking it from any other action.
    void setShortcut(const CString& shortcut, VAction* action);
    void resetShortcuts();

    // Shortcuts by action id; an action missing from the node keeps its default. Only the
    // shortcuts the user changed are saved, so that the defaults can improve.
    void loadShortcuts(const VPreferencesNode* node);
    void saveShortcuts(VPreferencesNode* node) const;

private:
    struct Entry {
        VAction* action;
        bool takesText;
        CString defaultShortcut;
        CString formerDefault;
        CString shortcut;
    };
    const Entry* find(const VAction* action) const;
    // Hands every action the shortcut its row shows; called with the lock held.
    void showShortcuts() const;

    mutable std::mutex m_mutex;
    std::vector<Entry> m_entries;
    std::map<PropertyType, VAction*> m_defaults;
};

} // namespace corvantile::core
