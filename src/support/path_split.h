// Splitting of Windows path texts into drive, folders and file name.
//
// Both "\" and "/" separate; a run of separators counts as one. The drive is "C:" for a drive
// letter, or "\\server\share" for a network path (also written with forward slashes), and
// empty otherwise. The file name is the text after the last separator, so it is empty when the
// path ends in a separator ("C:\A\B\" has the folders A and B and no file name; "c:\Win" has
// no folder and the file name "Win"; a pattern such as "C:\Pro*" has the file name "Pro*").
// The location is the folder part rebuilt with single backslashes, ending in one: "C:\A\" for
// "C:\A\x.txt", "c:\" for "c:\Win", "\\server\share\dir\" for "\\server\share\dir\f.txt"; it
// is empty for a bare name such as "x.txt".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace corvantile::support {

struct PathParts {
    std::string drive;             // "C:", "\\server\share" or empty
    bool rooted = false;           // a separator follows the drive (or starts the path)
    std::vector<std::string> dirs; // folders below the root, in order, without separators
    std::string file_name;         // last component; empty when the path ends in a separator

    // The folder part, ending in a backslash unless it is empty or a bare drive ("C:").
    std::string location() const;
};

PathParts split_path(std::string_view path);

// The path with its trailing separators replaced by exactly one backslash; empty stays empty.
std::string add_back_slash(std::string_view path);

} // namespace corvantile::support
