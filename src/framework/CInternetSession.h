// Reading from the web through WinINet: a session, the files it opens and the exception it
// throws when an address cannot be opened.
#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include <windows.h>
#include <wininet.h>

#include "framework/CString.h"

class CInternetException {
public:
    explicit CInternetException(DWORD error) : m_dwError(error) {}
    DWORD m_dwError;
};

// A file read line by line.
class CStdioFile {
public:
    virtual ~CStdioFile() = default;
    // The next line without its line end; FALSE, with line empty, at the end of the file.
    virtual BOOL ReadString(CString& line) = 0;
};

// A resource opened by a session; its handle is closed with it.
class CInternetFile : public CStdioFile {
public:
    explicit CInternetFile(HINTERNET handle) : m_handle(handle) {}
    ~CInternetFile() override;
    CInternetFile(const CInternetFile&) = delete;
    CInternetFile& operator=(const CInternetFile&) = delete;

    BOOL ReadString(CString& line) override;
    // The first line not yet read, without its end, when it comes within limit bytes before the
    // deadline; nothing when it is longer, comes later, cancelled is set or reading fails. The
    // file's end ends the line.
    std::optional<std::string> ReadLineBounded(std::size_t limit,
                                               std::chrono::steady_clock::time_point deadline,
                                               const std::atomic<bool>* cancelled = nullptr);

protected:
    HINTERNET m_handle;

private:
    // Reads more of the resource into the buffer; false at its end or on an error.
    bool Fill();

    std::string m_buffer;
    std::size_t m_read = 0; // bytes of the buffer already handed out
};

class CHttpFile : public CInternetFile {
public:
    using CInternetFile::CInternetFile;
    // The status code of the server's answer (200: found); 0 when there is none.
    DWORD GetStatusCode() const;
};

class CInternetSession {
public:
    explicit CInternetSession(const char* agent = nullptr, DWORD_PTR context = 1,
                              DWORD accessType = INTERNET_OPEN_TYPE_PRECONFIG,
                              const char* proxyName = nullptr, const char* proxyBypass = nullptr,
                              DWORD flags = 0);
    ~CInternetSession();
    CInternetSession(const CInternetSession&) = delete;
    CInternetSession& operator=(const CInternetSession&) = delete;

    // Opens an address; an http or https one gives a CHttpFile. Throws CInternetException when
    // the address cannot be opened.
    std::unique_ptr<CStdioFile> OpenURL(const char* url, DWORD_PTR context = 1,
                                        DWORD flags = INTERNET_FLAG_TRANSFER_ASCII);
    BOOL SetOption(DWORD option, DWORD value);

private:
    HINTERNET m_session = nullptr;
};
