#include <gtest/gtest.h>

#include <cstring>
#include <iterator>

#include "app/SingleInstance.h"

namespace {

// Stand-ins for the system calls that the name builder makes for the session scope.
BOOL WINAPI FailOpenToken(HANDLE, DWORD, PHANDLE) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

BOOL WINAPI FakeOpenToken(HANDLE, DWORD, PHANDLE token) {
    // A real handle, so the builder's CloseHandle has something to close.
    *token = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    return TRUE;
}

BOOL WINAPI FakeTokenStatistics(HANDLE, TOKEN_INFORMATION_CLASS, LPVOID buffer, DWORD size,
                                PDWORD needed) {
    *needed = sizeof(TOKEN_STATISTICS);
    if (!buffer || size < sizeof(TOKEN_STATISTICS)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    TOKEN_STATISTICS statistics{};
    statistics.AuthenticationId.HighPart = 0x1A2B;
    statistics.AuthenticationId.LowPart = 0xDEADBEEF;
    std::memcpy(buffer, &statistics, sizeof(statistics));
    return TRUE;
}

BOOL WINAPI FailTokenInformation(HANDLE, TOKEN_INFORMATION_CLASS, LPVOID, DWORD, PDWORD needed) {
    *needed = 0;
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

} // namespace

TEST(UniqueName, SessionScopeAddsHyphenAndSixteenLowercaseHexDigits) {
    const CString base = kSingleInstanceBase;
    const CString name = CreateUniqueName(kSingleInstanceBase, kScopeSession);
    ASSERT_EQ(name.GetLength(), base.GetLength() + 17);
    EXPECT_EQ(name.Left(base.GetLength() + 1), base + "-");
    EXPECT_EQ(name.Right(16).str().find_first_not_of("0123456789abcdef"), std::string::npos)
        << name.GetString();
    EXPECT_EQ(name, CreateUniqueName(kSingleInstanceBase, kScopeSession))
        << "stable within a session";
}

// With the system's answers replaced: the logon session's id, high part first, or the base
// alone when the system cannot tell. (The program uses only the session scope.)
TEST(UniqueName, SessionScopeIsTheLogonSessionOrTheBaseWhenItCannotBeRead) {
    const struct {
        UniqueNameApi api;
        const char* name;
    } cases[] = {
        {{.openProcessToken = FakeOpenToken, .getTokenInformation = FakeTokenStatistics},
         "base-00001a2bdeadbeef"},
        {{.openProcessToken = FailOpenToken}, "base"},
        {{.openProcessToken = FakeOpenToken, .getTokenInformation = FailTokenInformation}, "base"},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(CreateUniqueName("base", kScopeSession, cases[i].api), CString(cases[i].name));
    }
}
