#include "dialogs/VersionFetch.h"

#include <chrono>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

#include "dialogs/UpdateCheckDlg.h"
#include "framework/CInternetSession.h"
#include "ui/ProgramEvents.h"

struct VersionFetch::State {
    std::atomic<bool> cancelled{false};
    std::mutex mutex;
    CString result;
};

CString VersionFetch::fetch(const CString& url, const Limits& limits,
                            const std::atomic<bool>* cancelled) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(limits.deadlineMs);
    try {
        CInternetSession session(("CorvantileUpdater/" + UpdateCheckDlg::ownVersion()).GetString(),
                                 1, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
        session.SetOption(INTERNET_OPTION_CONNECT_TIMEOUT, limits.deadlineMs);
        session.SetOption(INTERNET_OPTION_RECEIVE_TIMEOUT, limits.deadlineMs);
        session.SetOption(INTERNET_OPTION_SEND_TIMEOUT, limits.deadlineMs);
        const auto file =
            session.OpenURL(url, 1, INTERNET_FLAG_RELOAD | INTERNET_FLAG_TRANSFER_ASCII);
        // An error page is no version file.
        auto* http = dynamic_cast<CHttpFile*>(file.get());
        if (!http || http->GetStatusCode() != 200)
            return {};
        const auto line = http->ReadLineBounded(limits.lineBytes, deadline, cancelled);
        if (!line || !isVersion(CString(*line)))
            return {};
        return CString(*line);
    } catch (const CInternetException&) {
        return {};
    }
}

bool VersionFetch::isVersion(const CString& text) {
    int fields = 1;
    bool digit = false;
    for (const char c : text.str()) {
        if (c >= '0' && c <= '9') {
            digit = true;
        } else if (c == '.' && digit) {
            ++fields;
            digit = false;
        } else {
            return false;
        }
    }
    return fields == 4 && digit;
}

VersionFetch::~VersionFetch() {
    cancel();
}

void VersionFetch::start(const CString& url, const Limits& limits, HWND window, UINT message) {
    cancel();
    auto state = std::make_shared<State>();
    m_state = state;
    // The thread holds its own share of the state, so it may outlive this object and the
    // window; a message to a window that is gone goes nowhere.
    const auto body = [state, url, limits, window, message] {
        CString text;
        try {
            text = fetch(url, limits, &state->cancelled);
            ProgramEvents::record(text.IsEmpty()
                                      ? "Update check: no version could be read from " + url
                                      : "Update check: the latest version is " + text);
        } catch (const std::exception& error) {
            ProgramEvents::record(
                ("The update check failed: " + std::string(error.what())).c_str());
        } catch (...) {
            ProgramEvents::record("The update check failed.");
        }
        if (state->cancelled)
            return;
        {
            const std::lock_guard lock(state->mutex);
            state->result = text;
        }
        ::PostMessageW(window, message, 0, 0);
    };
    try {
        std::thread(body).detach();
    } catch (const std::system_error&) {
        ProgramEvents::record("The update check could not start a thread.");
        ::PostMessageW(window, message, 0, 0);
    }
}

void VersionFetch::cancel() {
    if (m_state)
        m_state->cancelled = true;
    m_state.reset();
}

CString VersionFetch::result() const {
    if (!m_state)
        return {};
    const std::lock_guard lock(m_state->mutex);
    return m_state->result;
}
