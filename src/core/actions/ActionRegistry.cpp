#include "core/actions/ActionRegistry.h"

#include "core_iface/VPreferences.h"

namespace corvantile::core {

void ActionRegistry::add(VAction* action, bool takesText, const CString& defaultShortcut,
                         const CString& formerDefault) {
    if (!action)
        return;
    std::lock_guard lock(m_mutex);
    m_entries.push_back({action, takesText, defaultShortcut, formerDefault, CString()});
    // A default shortcut is given only while no earlier action holds it.
    bool taken = false;
    for (const Entry& entry : m_entries)
        taken = taken || (&entry != &m_entries.back() && entry.shortcut == defaultShortcut);
    if (!taken)
        m_entries.back().shortcut = defaultShortcut;
    showShortcuts();
}

void ActionRegistry::showShortcuts() const {
    for (const Entry& entry : m_entries)
        entry.action->setShownShortcut(entry.shortcut);
}

void ActionRegistry::setDefault(PropertyType type, VAction* action) {
    std::lock_guard lock(m_mutex);
    m_defaults[type] = action;
}

void ActionRegistry::clear() {
    std::lock_guard lock(m_mutex);
    m_entries.clear();
    m_defaults.clear();
}

int ActionRegistry::count() const {
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_entries.size());
}

VAction* ActionRegistry::at(int index) const {
    std::lock_guard lock(m_mutex);
    if (index < 0 || index >= static_cast<int>(m_entries.size()))
        return nullptr;
    return m_entries[static_cast<std::size_t>(index)].action;
}

VAction* ActionRegistry::byShortcut(const CString& text) const {
    if (text.IsEmpty())
        return nullptr;
    std::lock_guard lock(m_mutex);
    for (const Entry& entry : m_entries) {
        if (entry.shortcut == text)
            return entry.action;
    }
    return nullptr;
}

VAction* ActionRegistry::byName(const CString& text) const {
    if (text.IsEmpty())
        return nullptr;
    std::lock_guard lock(m_mutex);
    for (const Entry& entry : m_entries) {
        if (entry.action->name.CompareNoCase(text) == 0)
            return entry.action;
    }
    return nullptr;
}

VAction* ActionRegistry::byId(const CString& id) const {
    std::lock_guard lock(m_mutex);
    for (const Entry& entry : m_entries) {
        if (entry.action->getId() == id)
            return entry.action;
    }
    return nullptr;
}

VAction* ActionRegistry::defaultFor(PropertyType type) const {
    std::lock_guard lock(m_mutex);
    const auto found = m_defaults.find(type);
    return found == m_defaults.end() ? nullptr : found->second;
}

std::vector<VAction*> ActionRegistry::searchable() const {
    std::vector<VAction*> actions;
    std::lock_guard lock(m_mutex);
    for (const Entry& entry : m_entries) {
        if (entry.takesText)
            actions.push_back(entry.action);
    }
    return actions;
}

const ActionRegistry::Entry* ActionRegistry::find(const VAction* action) const {
    for (const Entry& entry : m_entries) {
        if (entry.action == action)
            return &entry;
    }
    return nullptr;
}

CString ActionRegistry::shortcut(VAction* action) const {
    std::lock_guard lock(m_mutex);
    const Entry* entry = find(action);
    return entry ? entry->shortcut : CString();
}

void ActionRegistry::setShortcut(const CString& shortcut, VAction* action) {
    std::lock_guard lock(m_mutex);
    Entry* target = const_cast<Entry*>(find(action));
    if (!target)
        return;
    if (!shortcut.IsEmpty()) {
        for (Entry& entry : m_entries) {
            if (entry.shortcut == shortcut)
                entry.shortcut.Empty();
        }
    }
    target->shortcut = shortcut;
    showShortcuts();
}

void ActionRegistry::resetShortcuts() {
    std::lock_guard lock(m_mutex);
    for (Entry& entry : m_entries)
        entry.shortcut.Empty();
    for (Entry& entry : m_entries) {
        bool taken = false;
        for (const Entry& other : m_entries)
            taken = taken ||
                    (!entry.defaultShortcut.IsEmpty() && other.shortcut == entry.defaultShortcut);
        if (!taken)
            entry.shortcut = entry.defaultShortcut;
    }
    showShortcuts();
}

void ActionRegistry::loadShortcuts(const VPreferencesNode* node) {
    resetShortcuts();
    if (!node)
        return;
    std::vector<std::pair<VAction*, CString>> saved;
    {
        std::lock_guard lock(m_mutex);
        for (const Entry& entry : m_entries) {
            CString value;
            if (!node->getParam(entry.action->getId().GetString(), value))
                continue;
            // Files written before a default moved hold the old default: that was ours, not
            // the user's choice.
            if (!entry.formerDefault.IsEmpty() && value == entry.formerDefault)
                continue;
            saved.emplace_back(entry.action, value);
        }
    }
    // Clear the saved ones first, so that a shortcut moved from one action to another lands.
    for (const auto& [action, value] : saved)
        setShortcut(CString(), action);
    for (const auto& [action, value] : saved)
        setShortcut(value, action);
}

void ActionRegistry::saveShortcuts(VPreferencesNode* node) const {
    if (!node)
        return;
    std::lock_guard lock(m_mutex);
    for (const Entry& entry : m_entries) {
        if (entry.shortcut != entry.defaultShortcut)
            node->setParam(entry.action->getId().GetString(), entry.shortcut.GetString());
    }
}

} // namespace corvantile::core
