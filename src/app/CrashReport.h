// What a crash leaves for the user to send: a minidump "Corvantile-crash-<date>-<time>.dmp" and a
// line in the log, both in the settings folder, and at the next start one balloon saying so.
#pragma once

#include "framework/CString.h"

namespace crashreport {

// From now on a crash (a fault nothing handles, or a C++ exception nothing catches) writes the
// dump and the log line into folder (ending in a backslash), then ends the process.
void install(const CString& folder);

// The dump left by a crash of an earlier run that the user was not told of yet, or empty.
// Each crash is told once: the note of it is removed.
CString takeUntoldDump(const CString& folder);

// Raises an access violation when the environment variable CORVANTILE_CRASH_TEST is "1", and
// lets an exception escape a thread when it is "2", so that tests can follow the crash paths of
// the real program.
void crashIfTestAsks();

} // namespace crashreport
