#include "framework/CInternetSession.h"

#include <algorithm>

CInternetFile::~CInternetFile() {
    if (m_handle)
        ::InternetCloseHandle(m_handle);
}

bool CInternetFile::Fill() {
    char chunk[4096];
    DWORD got = 0;
    if (!m_handle || !::InternetReadFile(m_handle, chunk, sizeof chunk, &got) || got == 0)
        return false;
    m_buffer.erase(0, m_read);
    m_read = 0;
    m_buffer.append(chunk, got);
    return true;
}

BOOL CInternetFile::ReadString(CString& line) {
    for (;;) {
        const std::size_t end = m_buffer.find('\n', m_read);
        if (end != std::string::npos || !Fill()) {
            const std::size_t stop = end == std::string::npos ? m_buffer.size() : end;
            if (stop == m_read && end == std::string::npos) {
                line.Empty();
                return FALSE;
            }
            std::string text = m_buffer.substr(m_read, stop - m_read);
            if (!text.empty() && text.back() == '\r')
                text.pop_back();
            m_read = end == std::string::npos ? stop : stop + 1;
            line = CString(std::move(text));
            return TRUE;
        }
    }
}

std::optional<std::string>
CInternetFile::ReadLineBounded(std::size_t limit, std::chrono::steady_clock::time_point deadline,
                               const std::atomic<bool>* cancelled) {
    using namespace std::chrono;
    for (;;) {
        const std::size_t end = m_buffer.find('\n', m_read);
        const std::size_t have = (end == std::string::npos ? m_buffer.size() : end) - m_read;
        if (have > limit)
            return std::nullopt;
        if (end != std::string::npos) {
            std::string text = m_buffer.substr(m_read, have);
            m_read = end + 1;
            if (!text.empty() && text.back() == '\r')
                text.pop_back();
            return text;
        }
        const auto left = duration_cast<milliseconds>(deadline - steady_clock::now()).count();
        if (!m_handle || left <= 0 || (cancelled && cancelled->load()))
            return std::nullopt;
        // Each wait for data ends by the deadline; asking for no more than has arrived keeps the
        // read itself from waiting on a server that sends a byte at a time.
        DWORD timeout = DWORD(left);
        ::InternetSetOptionW(m_handle, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout);
        DWORD available = 0;
        if (!::InternetQueryDataAvailable(m_handle, &available, 0, 0))
            return std::nullopt;
        char chunk[1024];
        DWORD got = 0;
        const DWORD wanted = DWORD(std::min<std::size_t>(available, sizeof chunk));
        if (wanted > 0 && !::InternetReadFile(m_handle, chunk, wanted, &got))
            return std::nullopt;
        if (got == 0) {
            std::string text = m_buffer.substr(m_read);
            m_read = m_buffer.size();
            if (!text.empty() && text.back() == '\r')
                text.pop_back();
            return text;
        }
        m_buffer.erase(0, m_read);
        m_read = 0;
        m_buffer.append(chunk, got);
    }
}

DWORD CHttpFile::GetStatusCode() const {
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!::HttpQueryInfoW(m_handle, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                          nullptr))
        return 0;
    return status;
}

CInternetSession::CInternetSession(const char* agent, DWORD_PTR, DWORD accessType,
                                   const char* proxyName, const char* proxyBypass, DWORD flags) {
    const std::wstring wideAgent = CString(agent).W();
    const std::wstring proxy = CString(proxyName).W();
    const std::wstring bypass = CString(proxyBypass).W();
    m_session = ::InternetOpenW(wideAgent.c_str(), accessType, proxyName ? proxy.c_str() : nullptr,
                                proxyBypass ? bypass.c_str() : nullptr, flags);
}

CInternetSession::~CInternetSession() {
    if (m_session)
        ::InternetCloseHandle(m_session);
}

BOOL CInternetSession::SetOption(DWORD option, DWORD value) {
    return m_session && ::InternetSetOptionW(m_session, option, &value, sizeof value);
}

std::unique_ptr<CStdioFile> CInternetSession::OpenURL(const char* url, DWORD_PTR context,
                                                      DWORD flags) {
    if (!m_session)
        throw CInternetException(::GetLastError());
    const std::wstring address = CString(url).W();
    const HINTERNET file =
        ::InternetOpenUrlW(m_session, address.c_str(), nullptr, 0, flags, context);
    if (!file)
        throw CInternetException(::GetLastError());
    const CString lower = CString(url).MakeLower();
    if (lower.Find("http://") == 0 || lower.Find("https://") == 0)
        return std::make_unique<CHttpFile>(file);
    return std::make_unique<CInternetFile>(file);
}
