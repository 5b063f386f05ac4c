// Shell links (".lnk" files): writing one for the start-up and Quick Launch options, and
// reading one back, as the Start Menu shortcuts that the Programs search resolves. The caller
// initialises COM on its thread. Texts are UTF-8.
#pragma once

#include <memory>

#include "framework/CString.h"

struct IShellLinkW;

// The contents of a link, set directly by the program.
class CShellLinkInfo {
public:
    CString m_strTarget;      // the path the link opens
    CString m_strDescription; // its comment
    CString m_strWorkingDir;  // the folder the target starts in
};

class CShellLink {
public:
    CShellLink();
    ~CShellLink();
    CShellLink(const CShellLink&) = delete;
    CShellLink& operator=(const CShellLink&) = delete;

    // Prepares a link with these contents; nonzero on success.
    BOOL Create(const CShellLinkInfo& info);
    // Writes the prepared link to linkFile, replacing any file there; nonzero on success.
    BOOL Save(const CString& linkFile);

private:
    struct Release {
        void operator()(IShellLinkW* link) const;
    };
    std::unique_ptr<IShellLinkW, Release> m_link;
};

// Reads the target path, description and working folder of a link file; false when the file
// is missing or is no shell link. The target is left as stored, not looked for on disk.
bool readShellLink(const CString& linkFile, CShellLinkInfo& out);
