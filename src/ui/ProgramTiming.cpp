#include "ui/ProgramTiming.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace ProgramTiming {
namespace {

using Clock = std::chrono::steady_clock;

// Taken while the program's globals are set up, before any of its code runs.
const Clock::time_point kCodeStart = Clock::now();

struct State {
    std::string file; // empty: timing is off
    Clock::time_point edited = kCodeStart;
    Clock::time_point started = kCodeStart;
    bool awaitingPaint = false;
};

State& state() {
    static State instance = [] {
        State made;
        if (const char* file = std::getenv("CORVANTILE_TIMING"))
            made.file = file;
        return made;
    }();
    return instance;
}

double millisecondsSince(Clock::time_point from) {
    return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
}

// Milliseconds since the system created this process (for a program run under a loader,
// that includes the loader's own start).
double millisecondsSinceProcessCreated() {
    FILETIME created{}, exited{}, kernel{}, user{}, now{};
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return 0;
    GetSystemTimeAsFileTime(&now);
    const auto ticks = [](const FILETIME& time) {
        return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    return static_cast<double>(ticks(now) - ticks(created)) / 10000.0;
}

void writeLine(const char* name, double first, double second) {
    if (FILE* out = std::fopen(state().file.c_str(), "a")) {
        std::fprintf(out, "%s %.1f %.1f\n", name, first, second);
        std::fclose(out);
    }
}

} // namespace

void ready() {
    if (!state().file.empty())
        writeLine("ready", millisecondsSinceProcessCreated(), millisecondsSince(kCodeStart));
}

void textEdited() {
    if (state().file.empty())
        return;
    state().edited = Clock::now();
    state().awaitingPaint = false;
}

void searchStarted() {
    if (state().file.empty())
        return;
    state().started = Clock::now();
    state().awaitingPaint = true;
}

void listPainted(bool rows) {
    State& current = state();
    if (current.file.empty() || !current.awaitingPaint || !rows)
        return;
    current.awaitingPaint = false;
    writeLine("results", millisecondsSince(current.edited), millisecondsSince(current.started));
}

} // namespace ProgramTiming
