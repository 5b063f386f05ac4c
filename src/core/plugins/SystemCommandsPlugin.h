// System Commands: lock, sleep, restart, shut down, log off, empty the recycle bin and the
// control panel, as actions found by their names. The ones that end the session or lose data
// ask first.
#pragma once

#include <memory>
#include <vector>

#include "core/actions/CoreAction.h"
#include "core/plugins/BasicPlugin.h"

namespace corvantile::core {

class SystemCommandAction final : public CoreAction {
public:
    enum class Command { Lock, Sleep, Restart, ShutDown, LogOff, EmptyRecycleBin, ControlPanel };

    SystemCommandAction(const Definition& definition, Command command, const char* question);

    bool takesText() const override { return true; }
    // Runs the command (the text is not used); false when the user declines or it fails.
    bool runWithText(const CString& text) override;

protected:
    bool perform(VResult*, const VProperty&, const CString&) override { return false; }

private:
    bool execute();

    Command m_command;
    CString m_question; // empty: no confirmation
};

class SystemCommandsPlugin final : public BasicPlugin {
public:
    SystemCommandsPlugin();
    std::vector<VAction*> getActions() override;

private:
    std::vector<std::unique_ptr<SystemCommandAction>> m_actions;
};

} // namespace corvantile::core
