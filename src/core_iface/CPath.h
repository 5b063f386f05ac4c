// The pieces of a Windows path text. Both "\" and "/" separate, and a run of separators counts
// as one. For example:
//
//   path                       GetLocation          GetDrive        dirs   GetFileName
//   C:\                        C:\                  C:              -      ""
//   C:\A\B\                    C:\A\B\              C:              A, B   ""
//   C:\A\x.txt                 C:\A\                C:              A      x.txt
//   c:\Win                     c:\                  c:              -      Win
//   C:\Pro*                    C:\                  C:              -      Pro*
//   C:\\A\\\x                  C:\A\                C:              A      x
//   \\server\share\dir\f.txt   \\server\share\dir\  \\server\share  dir    f.txt
//   x.txt                      ""                   ""              -      x.txt
//
// GetLocation, the folder part, is rebuilt from the pieces with single backslashes and ends in
// one (a bare drive such as "C:" stays as it is).
#pragma once

#include <vector>

#include "framework/CString.h"

class CPath {
public:
    CPath() = default;
    // The two numbers of the classic call form are accepted and not used.
    CPath(const char* path, int = 0, int = 0);

    CString GetDrive() const;
    int GetDirCount() const;
    CString GetDir(int index) const; // empty when out of range
    CString GetFileName() const;
    CString GetLocation() const;
    // The text the path was made from, unchanged.
    CString GetPath() const { return m_path; }

    // The path with its trailing separators replaced by exactly one backslash ("C:\Users\me"
    // and "C:\Users\me\\" both give "C:\Users\me\"); an empty path stays empty. The number is
    // accepted and not used.
    static CString AddBackSlash(const char* path, int = 0);

private:
    CString m_path;
    CString m_drive;
    std::vector<CString> m_dirs;
    CString m_fileName;
    CString m_location;
};
