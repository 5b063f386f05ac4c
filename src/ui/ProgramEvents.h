// The one place where the program notes what happened to it around the user: start and end,
// settings read and written, a hot-key that could not be had or came back, a tray icon
// re-added, an index built, an exception caught where a handler or a thread ends. Each note
// goes to the debugger's output and, once the log is open, to "Corvantile.log" beside the
// settings (written by a thread of its own: recording never waits for the disk).
#pragma once

#include <string>
#include <vector>

#include "framework/CString.h"

namespace ProgramEvents {

// Notes one event, a short UTF-8 sentence. Safe from any thread.
void record(const char* text);

// Starts the log "Corvantile.log" in folder (ending in a backslash). Notes recorded before
// go into it first. Exceptions reported as caught are recorded from now on.
void openLog(const CString& folder);

// Writes what is still queued and closes the log; later notes go to the debugger only.
void closeLog();

// Waits until every note recorded so far is written: for the end of a Windows session, after
// which the process may be ended at any moment.
void flushLog();

// The full name of the log file, empty before openLog.
CString logPath();

// Keeps a sentence for the user that the search bar shows once, in a tray balloon, as soon as
// it can (a crash report waiting from the last run). Also recorded.
void tellUser(const char* text);

// The sentences kept by tellUser since the last call, oldest first.
std::vector<std::string> takeUserNotices();

} // namespace ProgramEvents
