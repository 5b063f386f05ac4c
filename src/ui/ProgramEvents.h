// The one place where the program notes what happened to it around the user: a hot-key that
// could not be had or came back, a tray icon re-added, a log-off that was cancelled. Today a note
// goes to the debugger's output only.
#pragma once

namespace ProgramEvents {

// Notes one event, a short UTF-8 sentence.
void record(const char* text);

} // namespace ProgramEvents
