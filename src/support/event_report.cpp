#include "support/event_report.h"

#include <atomic>
#include <exception>

namespace corvantile::support {

namespace {
std::atomic<EventReporter> g_reporter{nullptr};
}

void set_event_reporter(EventReporter reporter) {
    g_reporter.store(reporter);
}

void report_event(std::string_view text) noexcept {
    if (const EventReporter reporter = g_reporter.load())
        reporter(text);
}

std::string describe_current_exception() {
    try {
        throw;
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "an exception of a type that is not a standard one";
    }
}

void report_caught(std::string_view where) noexcept {
    if (!g_reporter.load())
        return;
    try {
        std::string line = "Caught at ";
        line += where;
        line += ": ";
        line += describe_current_exception();
        report_event(line);
    } catch (...) {
        // Out of memory while describing it: nothing more can be done here.
    }
}

} // namespace corvantile::support
