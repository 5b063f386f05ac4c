// Timing marks for the program's own benchmark: how long start-up takes, and how long a typed
// text takes to show its results. They are written, one line each, to the file that the
// environment variable CORVANTILE_TIMING names; without it every call returns at once.
#pragma once

namespace ProgramTiming {

// The search bar is ready: index loaded, hot-key registered. Writes
// "ready <ms since the process was created> <ms since the program's code began>".
void ready();
// The user changed the text of the search box.
void textEdited();
// A search was started for the text.
void searchStarted();
// The results list was painted. The first paint with rows after a search was started writes
// "results <ms since the text was last edited> <ms since the search was started>".
void listPainted(bool rows);

} // namespace ProgramTiming
