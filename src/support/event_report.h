// How the parts of the program that know nothing of its windows (the engine, the search core,
// the window framework) tell the program's log what happened: an index built, an exception
// caught where a message handler or a worker thread ends so that it goes no further.
#pragma once

#include <string>
#include <string_view>

namespace corvantile::support {

// Receives one line of text. It must not throw and must be safe from any thread.
using EventReporter = void (*)(std::string_view line);

// Sets where reports go (nullptr: nowhere, the start-up state). Safe from any thread.
void set_event_reporter(EventReporter reporter);

// Reports one event, when a reporter is set.
void report_event(std::string_view text) noexcept;

// The exception being handled, as text: its what() for a standard exception, else a note that
// its type is not a standard one. Call only inside a catch block.
std::string describe_current_exception();

// Reports "Caught at <where>: <what>" for the exception being handled. Call only inside a
// catch block; never throws.
void report_caught(std::string_view where) noexcept;

// Runs body, reporting an exception it throws as caught at where instead of letting it leave:
// for the body of a thread, where an exception would end the program.
template <class Body> void run_reporting(std::string_view where, Body&& body) noexcept {
    try {
        body();
    } catch (...) {
        report_caught(where);
    }
}

} // namespace corvantile::support
