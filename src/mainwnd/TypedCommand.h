// The edit box's text read as a command: an action's shortcut or name, then after the first
// blank (space, tab, CR or LF) the text the action takes.
#pragma once

#include "framework/CString.h"

class VAction;
class VCorvantileCore;

struct TypedCommand {
    CString name;          // before the first blank, trimmed; the whole text trimmed without one
    CString argument;      // after the first blank, trimmed
    bool hasBlank = false; // the text holds a blank
};

TypedCommand splitAtFirstBlank(const CString& text);

// The action whose shortcut is name, else the action called name; null when there is none.
// A name that a blank followed in the text also finds a shortcut of name and a blank ("g ").
VAction* findAction(VCorvantileCore& core, const CString& name, bool blankFollows = false);
