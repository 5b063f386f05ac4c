// The "start with Windows" and "Quick Launch icon" options: each is the existence of a link
// "Corvantile.lnk" in a fixed folder, to the running program.
#pragma once

#include <windows.h>

#include "framework/CString.h"

namespace startuplinks {

// The link in the user's Startup folder; empty when the folder cannot be found.
CString startupLinkPath(HWND owner);
// The link in the Quick Launch folder under APPDATA; empty without APPDATA.
CString quickLaunchLinkPath();

bool linkExists(const CString& linkPath);
// Makes the link's existence match `on`. An existing link is left as it is; every failure is
// silent (the next test reports what is on disk).
void setLink(const CString& linkPath, bool on, const CString& target, const CString& folder);

} // namespace startuplinks
