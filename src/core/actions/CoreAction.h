// The base of the core's own actions: a verb for the labels, a drawn icon, the property types
// the action takes, and the common part of running (checking the property, recording the
// choice in the usage data).
#pragma once

#include <functional>
#include <vector>

#include "core/elements/Icons.h"
#include "core_iface/VElement.h"

namespace corvantile::core {

class CoreAction : public VAction {
public:
    struct Definition {
        const char* id;
        const char* name;
        const char* description;
        std::vector<PropertyType> types;
        Badge badge;
        const char* verb = nullptr;             // the label's start; the name when null
        const char* shortcut = nullptr;         // the shortcut it has until the user changes it
        const char* formerShortcut = nullptr;   // its default shortcut in earlier versions
        PropertyType defaultFor = PropertyNone; // the type it is the default action of
    };

    explicit CoreAction(const Definition& definition);

    // Runs perform on a valid property of a type the action takes; a success on a result
    // is recorded as the user's choice for the query that found it.
    bool run(VResult* result, VProperty* property, const CString& text) override;
    // "<verb> <value>", e.g. "Open C:\x.txt".
    CString getLabel(VProperty* property) override;

    // Whether the action is found by its name in searches and runs on typed text alone.
    virtual bool takesText() const { return false; }
    const CString& defaultShortcut() const { return m_defaultShortcut; }
    const CString& formerShortcut() const { return m_formerShortcut; }
    PropertyType defaultFor() const { return m_defaultFor; }

protected:
    virtual bool perform(VResult* result, const VProperty& property, const CString& text) = 0;
    HICON loadIcon() override;

    CString m_verb;
    CString m_defaultShortcut;
    CString m_formerShortcut;
    PropertyType m_defaultFor;
    Badge m_badge;
    // Makes the icon when set; the badge is drawn otherwise.
    std::function<HICON()> m_iconMaker;
};

// Asks the user to confirm a step that cannot be undone; tests replace the question.
using ConfirmHook = std::function<bool(const CString& question)>;
void setConfirmHook(ConfirmHook hook);
bool confirmWithUser(const CString& question);

} // namespace corvantile::core
