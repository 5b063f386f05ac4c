#include "core/plugins/SystemCommandsPlugin.h"

#include <shellapi.h>

#include "core/shell/Shell.h"

namespace corvantile::core {
namespace {

// Shutting down needs the shutdown privilege in the process's token.
bool enableShutdownPrivilege() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return false;
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    const bool found =
        LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid);
    const bool adjusted = found &&
                          AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) &&
                          GetLastError() == ERROR_SUCCESS;
    CloseHandle(token);
    return adjusted;
}

bool exitWindows(UINT how) {
    enableShutdownPrivilege();
    return ExitWindowsEx(how, SHTDN_REASON_MAJOR_OTHER | SHTDN_REASON_FLAG_PLANNED) != 0;
}

// SetSuspendState lives in powrprof.dll, which is loaded only for this.
bool suspend() {
    HMODULE library = LoadLibraryW(L"powrprof.dll");
    if (!library)
        return false;
    using SetSuspendState = BOOLEAN(WINAPI*)(BOOLEAN, BOOLEAN, BOOLEAN);
    const auto function =
        reinterpret_cast<SetSuspendState>(GetProcAddress(library, "SetSuspendState"));
    const bool done = function && function(FALSE, FALSE, FALSE);
    FreeLibrary(library);
    return done;
}

} // namespace

SystemCommandAction::SystemCommandAction(const Definition& definition, Command command,
                                         const char* question)
    : CoreAction(definition), m_command(command), m_question(question ? question : "") {}

bool SystemCommandAction::runWithText(const CString&) {
    if (!m_question.IsEmpty() && !confirmWithUser(m_question))
        return false;
    return execute();
}

bool SystemCommandAction::execute() {
    switch (m_command) {
    case Command::Lock:
        return LockWorkStation() != 0;
    case Command::Sleep:
        return suspend();
    case Command::Restart:
        return exitWindows(EWX_REBOOT);
    case Command::ShutDown:
        return exitWindows(EWX_POWEROFF);
    case Command::LogOff:
        return exitWindows(EWX_LOGOFF);
    case Command::EmptyRecycleBin: {
        const HRESULT result = SHEmptyRecycleBinW(
            nullptr, nullptr, SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND);
        // An empty bin is no failure.
        return SUCCEEDED(result) || result == E_UNEXPECTED;
    }
    case Command::ControlPanel:
        return shellOpen("control.exe");
    }
    return false;
}

namespace {

struct CommandInfo {
    const char* id;
    const char* name;
    const char* description;
    SystemCommandAction::Command command;
    Badge badge;
    const char* question;
};

using Command = SystemCommandAction::Command;

const CommandInfo kCommands[] = {
    {"system.lock",
     "Lock Computer",
     "Locks the computer",
     Command::Lock,
     {L"L", RGB(0x37, 0x47, 0x4F)},
     nullptr},
    {"system.sleep",
     "Sleep",
     "Puts the computer to sleep",
     Command::Sleep,
     {L"z", RGB(0x5E, 0x35, 0xB1), RGB(255, 255, 255), BadgeShape::Circle},
     nullptr},
    {"system.restart",
     "Restart",
     "Restarts the computer",
     Command::Restart,
     {L"R", RGB(0xEF, 0x6C, 0x00), RGB(255, 255, 255), BadgeShape::Circle},
     "Restart the computer now? Programs that are open will be closed."},
    {"system.shutdown",
     "Shut Down",
     "Shuts the computer down",
     Command::ShutDown,
     {L"r", RGB(0xC6, 0x28, 0x28), RGB(255, 255, 255), BadgeShape::Circle, L"Marlett"},
     "Shut the computer down now? Programs that are open will be closed."},
    {"system.logoff",
     "Log Off",
     "Ends your Windows session",
     Command::LogOff,
     {L"3", RGB(0x6D, 0x4C, 0x41), RGB(255, 255, 255), BadgeShape::Rounded, L"Marlett"},
     "Log off now? Programs that are open will be closed."},
    {"system.emptybin",
     "Empty Recycle Bin",
     "Deletes the files in the recycle bin for good",
     Command::EmptyRecycleBin,
     {L"E", RGB(0x45, 0x5A, 0x64)},
     "Empty the recycle bin? The files in it will be deleted for good."},
    {"system.control",
     "Control Panel",
     "Opens the Control Panel",
     Command::ControlPanel,
     {L"P", RGB(0x00, 0x69, 0x5C)},
     nullptr},
};

} // namespace

SystemCommandsPlugin::SystemCommandsPlugin()
    : BasicPlugin("SystemCommands", "System Commands",
                  "Lock, sleep, restart, shut down, log off, empty the recycle bin, control panel",
                  {L"S", RGB(0x37, 0x47, 0x4F)}) {
    for (const CommandInfo& info : kCommands) {
        CoreAction::Definition definition{info.id, info.name, info.description, {}, info.badge};
        m_actions.push_back(
            std::make_unique<SystemCommandAction>(definition, info.command, info.question));
    }
}

std::vector<VAction*> SystemCommandsPlugin::getActions() {
    std::vector<VAction*> actions;
    for (const auto& action : m_actions)
        actions.push_back(action.get());
    return actions;
}

} // namespace corvantile::core
