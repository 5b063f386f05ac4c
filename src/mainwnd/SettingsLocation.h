// Where the program keeps its settings file and index cache: beside the program, so that a copy
// carried on a stick takes them along, unless that folder cannot be written (a copy in a
// read-only or protected folder); then in the user's application-data folder.
#pragma once

#include "framework/CString.h"

namespace settingslocation {

// True when a file can be created in folder (it is created and removed again).
bool canWriteIn(const CString& folder);

// The folder for the settings and the cache, ending in a backslash: programFolder when it can
// be written, else "<application data>\Corvantile\" (made when missing).
CString dataFolder(const CString& programFolder);

// The application-data folder the program falls back to, ending in a backslash.
CString fallbackFolder();

} // namespace settingslocation
