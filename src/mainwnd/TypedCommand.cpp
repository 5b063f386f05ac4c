#include "mainwnd/TypedCommand.h"

#include "core_iface/VCorvantileCore.h"

TypedCommand splitAtFirstBlank(const CString& text) {
    TypedCommand command;
    const int blank = text.FindOneOf(" \r\n\t");
    command.hasBlank = blank >= 0;
    if (command.hasBlank) {
        command.name = text.Left(blank);
        command.argument = text.Mid(blank + 1);
    } else {
        command.name = text;
    }
    command.name.Trim();
    command.argument.Trim();
    return command;
}

VAction* findAction(VCorvantileCore& core, const CString& name, bool blankFollows) {
    VAction* action = blankFollows && !name.IsEmpty() ? core.getAction(name + " ", true) : nullptr;
    action = action ? action : core.getAction(name, true);
    return action ? action : core.getAction(name, false);
}
