#include "app/CrashReport.h"

#include <windows.h>

#include <dbghelp.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <exception>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>

#include "support/event_report.h"
#include "support/file_io.h"
#include "support/log_file.h"

namespace {

// Set up before any crash, so that the filter itself needs little.
std::wstring g_folder;
std::wstring g_logFile;
std::atomic<bool> g_crashing{false};

// The file that tells the next start which dump is waiting.
const wchar_t* const kNoteName = L"Corvantile.crash";

bool writeDump(const std::wstring& path, EXCEPTION_POINTERS* pointers) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    MINIDUMP_EXCEPTION_INFORMATION exception{GetCurrentThreadId(), pointers, FALSE};
    const BOOL written =
        MiniDumpWriteDump(GetCurrentProcess(), GetCurrentProcessId(), file, MiniDumpNormal,
                          pointers ? &exception : nullptr, nullptr, nullptr);
    CloseHandle(file);
    return written != FALSE;
}

void writeNote(const std::wstring& dump) {
    const std::string text = WideToUtf8(dump);
    const HANDLE file = CreateFileW((g_folder + kNoteName).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

// Writes the dump (with the faulting thread's state when pointers are given), the log line and
// the note for the next start. False when this is not the first crash of the process.
bool writeCrashReport(EXCEPTION_POINTERS* pointers, const std::string& what) {
    // A crash inside the report, or on a second thread at once, ends the process as it is.
    if (g_crashing.exchange(true))
        return false;
    SYSTEMTIME now{};
    GetLocalTime(&now);
    wchar_t name[64];
    std::swprintf(name, 64, L"Corvantile-crash-%04u%02u%02u-%02u%02u%02u.dmp", now.wYear,
                  now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
    const std::wstring dump = g_folder + name;
    const bool dumped = writeDump(dump, pointers);
    const std::string line = "Corvantile crashed (" + what + "). " +
                             (dumped ? "Crash report: " + WideToUtf8(dump)
                                     : std::string("No crash report could be written."));
    corvantile::support::append_log_line_now(
        corvantile::support::path_from_utf8(WideToUtf8(g_logFile)), line);
    if (dumped)
        writeNote(dump);
    return true;
}

LONG WINAPI onUnhandledException(EXCEPTION_POINTERS* pointers) {
    char what[128];
    const EXCEPTION_RECORD* record = pointers ? pointers->ExceptionRecord : nullptr;
    std::snprintf(what, sizeof(what), "exception 0x%08lX at %p",
                  record ? static_cast<unsigned long>(record->ExceptionCode) : 0ul,
                  record ? record->ExceptionAddress : nullptr);
    writeCrashReport(pointers, what);
    return EXCEPTION_EXECUTE_HANDLER;
}

// A C++ exception that nothing caught (on any thread) ends the program here rather than in a
// bare abort, so that it leaves a report too.
[[noreturn]] void onTerminate() {
    std::string what = "an exception nothing caught";
    if (std::current_exception()) {
        try {
            what += ": " + corvantile::support::describe_current_exception();
        } catch (...) {
        }
    }
    writeCrashReport(nullptr, what);
    TerminateProcess(GetCurrentProcess(), 3);
    std::_Exit(3);
}

} // namespace

void crashreport::install(const CString& folder) {
    g_folder = Utf8ToWide(folder.GetString());
    g_logFile = g_folder + L"Corvantile.log";
    SetUnhandledExceptionFilter(&onUnhandledException);
    std::set_terminate(&onTerminate);
}

CString crashreport::takeUntoldDump(const CString& folder) {
    const std::filesystem::path note =
        corvantile::support::path_from_utf8((folder + "Corvantile.crash").GetString());
    const std::optional<std::string> dump = corvantile::support::read_file(note, 4096);
    if (!dump)
        return CString();
    std::error_code error;
    std::filesystem::remove(note, error);
    // A dump the user has already deleted needs no word.
    if (!std::filesystem::exists(corvantile::support::path_from_utf8(*dump), error))
        return CString();
    return CString(dump->c_str());
}

void crashreport::crashIfTestAsks() {
    wchar_t value[8] = {};
    if (GetEnvironmentVariableW(L"CORVANTILE_CRASH_TEST", value, 8) != 1)
        return;
    if (value[0] == L'2')
        std::thread([] { throw std::runtime_error("naïve café"); }).join();
    if (value[0] == L'1') {
        // Read through a volatile, the address is not known to be null, so a real write happens.
        static volatile std::uintptr_t nowhere = 0;
        *reinterpret_cast<volatile int*>(nowhere) = 1;
    }
}
