#include "core/shell/Shell.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/Win32Handles.h"

namespace corvantile::core {

bool shellOpen(const CString& target, const char* verb, const CString& arguments, HWND owner) {
    if (target.IsEmpty())
        return false;
    const std::wstring file = target.W();
    const std::wstring wideVerb = verb ? CString(verb).W() : std::wstring();
    const std::wstring parameters = arguments.W();
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    if (verb && CString(verb) == "properties")
        info.fMask |= SEE_MASK_INVOKEIDLIST;
    info.hwnd = owner;
    info.lpVerb = verb ? wideVerb.c_str() : nullptr;
    info.lpFile = file.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.nShow = SW_SHOWNORMAL;
    return ShellExecuteExW(&info) && reinterpret_cast<INT_PTR>(info.hInstApp) > 32;
}

namespace {

// The clipboard is shared with every program: try a few times before giving up.
bool openClipboard() {
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (OpenClipboard(nullptr))
            return true;
        Sleep(20);
    }
    return false;
}

} // namespace

bool copyToClipboard(const CString& text) {
    const std::wstring wide = text.W();
    const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory)
        return false;
    if (void* data = GlobalLock(memory)) {
        memcpy(data, wide.c_str(), bytes);
        GlobalUnlock(memory);
    }
    if (!openClipboard()) {
        GlobalFree(memory);
        return false;
    }
    EmptyClipboard();
    const bool placed = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    CloseClipboard();
    if (!placed)
        GlobalFree(memory);
    return placed;
}

CString clipboardText() {
    if (!openClipboard())
        return CString();
    CString text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = CString::FromW(wide);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

std::pair<CString, CString> splitCommandLine(const CString& commandLine) {
    CString text = commandLine;
    text.Trim();
    if (text.IsEmpty())
        return {};
    if (text[0] == '"') {
        const int close = text.Find('"', 1);
        if (close < 0)
            return {text.Mid(1), CString()};
        CString rest = text.Mid(close + 1);
        return {text.Mid(1, close - 1), rest.Trim()};
    }
    if (fileExists(text))
        return {text, CString()};
    const int blank = text.FindOneOf(" \t");
    if (blank < 0)
        return {text, CString()};
    CString rest = text.Mid(blank + 1);
    return {text.Left(blank), rest.Trim()};
}

CString urlEncode(const CString& text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (const char ch : text.str()) {
        const auto byte = static_cast<unsigned char>(ch);
        const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                           (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' ||
                           byte == '_' || byte == '~';
        if (plain) {
            encoded += ch;
        } else {
            encoded += '%';
            encoded += kHex[byte >> 4];
            encoded += kHex[byte & 0xF];
        }
    }
    return CString(std::move(encoded));
}

CString specialFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE))
        return CString();
    CString folder = CString::FromW(path);
    folder.TrimRight("\\");
    return folder;
}

CString environmentVariable(const char* name) {
    const std::wstring wideName = CString(name).W();
    const DWORD needed = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (needed == 0)
        return CString();
    std::wstring value(needed, L'\0');
    const DWORD length = GetEnvironmentVariableW(wideName.c_str(), value.data(), needed);
    value.resize(length < needed ? length : 0);
    return CString::FromW(value.c_str(), static_cast<int>(value.size()));
}

bool fileExists(const CString& path) {
    const DWORD attributes = GetFileAttributesW(path.W().c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool folderExists(const CString& path) {
    const DWORD attributes = GetFileAttributesW(path.W().c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool readWholeFile(const CString& path, std::string& contents, std::size_t maxBytes) {
    HANDLE file = CreateFileW(path.W().c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart >= 0 &&
              static_cast<unsigned long long>(size.QuadPart) <= maxBytes;
    if (ok) {
        contents.resize(static_cast<std::size_t>(size.QuadPart));
        std::size_t done = 0;
        while (ok && done < contents.size()) {
            DWORD read = 0;
            const DWORD chunk =
                static_cast<DWORD>(std::min<std::size_t>(contents.size() - done, 1 << 20));
            ok = ReadFile(file, contents.data() + done, chunk, &read, nullptr) && read > 0;
            done += read;
        }
    }
    CloseHandle(file);
    return ok;
}

void walkFolder(const CString& folder, int depth,
                const std::function<bool(const FolderEntry&)>& visit,
                const std::function<bool()>& stop) {
    struct Pending {
        std::wstring path;
        int depth;
    };
    std::vector<Pending> pending{{folder.W(), 0}};
    while (!pending.empty()) {
        const Pending current = std::move(pending.back());
        pending.pop_back();
        std::wstring base = current.path;
        if (!base.empty() && base.back() != L'\\')
            base += L'\\';
        WIN32_FIND_DATAW data{};
        const FindHandle find(FindFirstFileExW((base + L"*").c_str(), FindExInfoBasic, &data,
                                               FindExSearchNameMatch, nullptr,
                                               FIND_FIRST_EX_LARGE_FETCH));
        if (!find.valid())
            continue;
        do {
            if (stop && stop())
                return;
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const DWORD attributes = data.dwFileAttributes;
            if (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
                continue;
            const bool isFolder = attributes & FILE_ATTRIBUTE_DIRECTORY;
            FolderEntry entry{CString::FromW((base + name).c_str()), CString::FromW(name.c_str()),
                              isFolder};
            if (!visit(entry))
                return;
            // Links to other folders could lead in circles: do not follow them.
            if (isFolder && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT) && current.depth < depth)
                pending.push_back({base + name, current.depth + 1});
        } while (FindNextFileW(find.get(), &data));
    }
}

ComScope::ComScope() {
    const HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    m_initialised = SUCCEEDED(result);
}

ComScope::~ComScope() {
    if (m_initialised)
        CoUninitialize();
}

} // namespace corvantile::core
