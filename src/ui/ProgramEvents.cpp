#include "ui/ProgramEvents.h"

#include <windows.h>

#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "support/event_report.h"
#include "support/file_io.h"
#include "support/log_file.h"

namespace {

// Notes recorded before the log is open are kept for it, up to this many.
constexpr std::size_t kMaxEarlyNotes = 200;

struct State {
    std::mutex mutex;
    std::unique_ptr<corvantile::support::LogFile> log;
    std::vector<std::string> early;
    std::size_t earlyDropped = 0;
    std::vector<std::string> notices;
};

State& state() {
    static State* instance = new State; // outlives every thread that may still record
    return *instance;
}

void toDebugger(std::string_view text) {
    const std::wstring line = L"Corvantile: " + Utf8ToWide(text) + L"\n";
    OutputDebugStringW(line.c_str());
}

void recordLine(std::string_view text) noexcept {
    try {
        toDebugger(text);
        State& s = state();
        std::lock_guard lock(s.mutex);
        if (s.log)
            s.log->write(text);
        else if (s.early.size() < kMaxEarlyNotes)
            s.early.emplace_back(text);
        else
            ++s.earlyDropped;
    } catch (...) {
        // Out of memory: the note is lost, the program goes on.
    }
}

} // namespace

void ProgramEvents::record(const char* text) {
    recordLine(text ? text : "");
}

void ProgramEvents::openLog(const CString& folder) {
    const CString file = folder + "Corvantile.log";
    std::unique_ptr<corvantile::support::LogFile> log;
    try {
        log = std::make_unique<corvantile::support::LogFile>(
            corvantile::support::path_from_utf8(file.GetString()));
    } catch (...) {
        // No writer thread could be had: notes go to the debugger only.
        toDebugger("The log " + file.str() + " could not be started.");
        return;
    }
    {
        State& s = state();
        std::lock_guard lock(s.mutex);
        for (const std::string& note : s.early)
            log->write(note);
        if (s.earlyDropped > 0)
            log->write(std::to_string(s.earlyDropped) +
                       " notes from before the log was open were dropped.");
        s.early.clear();
        s.earlyDropped = 0;
        s.log = std::move(log);
    }
    corvantile::support::set_event_reporter(&recordLine);
}

void ProgramEvents::closeLog() {
    corvantile::support::set_event_reporter(nullptr);
    std::unique_ptr<corvantile::support::LogFile> log;
    {
        State& s = state();
        std::lock_guard lock(s.mutex);
        log = std::move(s.log);
    }
    // The destructor writes what is queued, outside the lock so that recording goes on.
    log.reset();
}

void ProgramEvents::flushLog() {
    State& s = state();
    std::lock_guard lock(s.mutex);
    if (s.log)
        s.log->flush();
}

CString ProgramEvents::logPath() {
    State& s = state();
    std::lock_guard lock(s.mutex);
    return s.log ? CString(corvantile::support::path_to_utf8(s.log->path()).c_str()) : CString();
}

void ProgramEvents::tellUser(const char* text) {
    record(text);
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.notices.emplace_back(text ? text : "");
}

std::vector<std::string> ProgramEvents::takeUserNotices() {
    State& s = state();
    std::lock_guard lock(s.mutex);
    std::vector<std::string> notices;
    notices.swap(s.notices);
    return notices;
}
