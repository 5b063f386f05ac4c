// The actions on files, folders, programs, addresses and values that every result offers:
// open, open containing folder, run as administrator, open URL, copy, properties.
#pragma once

#include <memory>
#include <vector>

#include "core/actions/CoreAction.h"

namespace corvantile::core {

struct StandardActions {
    std::vector<std::unique_ptr<CoreAction>> actions; // in the order the choosers list them
    // The default action of each property type, borrowed from actions.
    std::vector<std::pair<PropertyType, VAction*>> defaults;
};

StandardActions makeStandardActions();

// The command line of a browser that opens url: the browser a bookmark came from
// ("chrome", "edge", "brave", "ie") when fromBrowser is not empty and it is installed, else
// the system's browser when a new window is asked for and it supports that. Empty: let the
// shell open the address.
std::pair<CString, CString> browserCommandFor(const CString& url, const CString& fromBrowser,
                                              bool newWindow);

} // namespace corvantile::core
