// The core's calls into the Windows shell: opening things, the clipboard, special folders and
// walking folders. Texts are UTF-8.
#pragma once

#include <functional>
#include <utility>

#include <windows.h>

#include "framework/CString.h"

namespace corvantile::core {

// Opens target through the shell (a file, folder, program or address) with an optional verb
// ("runas", "properties" ...) and arguments. True when the shell accepted it.
bool shellOpen(const CString& target, const char* verb = nullptr,
               const CString& arguments = CString(), HWND owner = nullptr);

// Puts text on the clipboard as Unicode text; false when the clipboard stays busy.
bool copyToClipboard(const CString& text);
// The clipboard's Unicode text (empty when there is none).
CString clipboardText();

// A command line split into the program and its arguments: a quoted first part, or the whole
// text when it names an existing file, or the text up to the first blank.
std::pair<CString, CString> splitCommandLine(const CString& commandLine);

// Percent-encoding of UTF-8 text for a query string: letters, digits and "-._~" stay, every
// other byte (blanks included) becomes %XX.
CString urlEncode(const CString& text);

// A special folder of the shell (a CSIDL_... value), without a trailing backslash; empty
// when the system has none.
CString specialFolder(int csidl);

// An environment variable's value, empty when it is not set.
CString environmentVariable(const char* name);

bool fileExists(const CString& path);
bool folderExists(const CString& path);

// Reads a whole file (up to maxBytes); false when it cannot be read or is larger.
bool readWholeFile(const CString& path, std::string& contents, std::size_t maxBytes);

struct FolderEntry {
    CString path;
    CString name;
    bool folder = false;
};

// Walks folder and its subfolders down to depth levels (0: the folder's own entries), calling
// visit for every file and folder. Hidden and system entries and links to other places are
// skipped; the walk stops when visit returns false or stop() turns true.
void walkFolder(const CString& folder, int depth,
                const std::function<bool(const FolderEntry&)>& visit,
                const std::function<bool()>& stop);

// Initialises COM on the current thread for a scope (when it is not already).
class ComScope {
public:
    ComScope();
    ~ComScope();
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool m_initialised;
};

} // namespace corvantile::core
