#include <gtest/gtest.h>

#include <cstring>
#include <iterator>

#include "app/SingleInstance.h"

namespace {

// Stand-ins for the system calls that the name builder makes.
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

BOOL WINAPI FakeUserName(LPSTR buffer, LPDWORD size) {
    EXPECT_EQ(*size, 64u);
    std::strcpy(buffer, "alice");
    *size = 6;
    return TRUE;
}

BOOL WINAPI FailUserName(LPSTR, LPDWORD) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
}

DWORD WINAPI FakeDomain(LPCSTR text, LPSTR buffer, DWORD size) {
    EXPECT_STREQ(text, "%USERDOMAIN%");
    EXPECT_EQ(size, 64u);
    std::strcpy(buffer, "HOME");
    return 5;
}

BOOL WINAPI DesktopNamesUnsupported(HANDLE, int, PVOID, DWORD, LPDWORD) {
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return FALSE;
}

BOOL WINAPI FakeDesktopName(HANDLE, int index, PVOID buffer, DWORD size, LPDWORD needed) {
    EXPECT_EQ(index, UOI_NAME);
    *needed = 8;
    if (!buffer || size < 8) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::strcpy(static_cast<char*>(buffer), "Default");
    return TRUE;
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

// With the system's answers replaced: what each scope adds, and the base alone when the system
// cannot tell.
TEST(UniqueName, EachScopeAddsItsPartAndAFailedQueryLeavesTheBase) {
    const struct {
        int scope;
        UniqueNameApi api;
        const char* name;
    } cases[] = {
        {kScopeSession,
         {.openProcessToken = FakeOpenToken, .getTokenInformation = FakeTokenStatistics},
         "base-00001a2bdeadbeef"},
        {kScopeSession, {.openProcessToken = FailOpenToken}, "base"},
        {kScopeSession,
         {.openProcessToken = FakeOpenToken, .getTokenInformation = FailTokenInformation},
         "base"},
        {kScopeUser,
         {.getUserName = FakeUserName, .expandEnvironmentStrings = FakeDomain},
         "base-HOME-alice"},
        {kScopeUser, {.getUserName = FailUserName, .expandEnvironmentStrings = FakeDomain}, "base"},
        {kScopeDesktop, {.getUserObjectInformation = FakeDesktopName}, "base-Default"},
        {kScopeDesktop, {.getUserObjectInformation = DesktopNamesUnsupported}, "base-Win9x"},
        {kScopeMachine, {}, "base"},
        {3, {}, "base"},
        {8, {}, "base"},
        {-1, {}, "base"},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(CreateUniqueName("base", cases[i].scope, cases[i].api), CString(cases[i].name));
    }

    // On this machine: a domain and a user, and a desktop name.
    const CString user = CreateUniqueName("base", kScopeUser);
    EXPECT_EQ(user.Left(5), CString("base-"));
    EXPECT_GE(user.Find('-', 5), 5) << "domain and user are separated by a hyphen: " << user;
    const CString desktop = CreateUniqueName("base", kScopeDesktop);
    EXPECT_GT(desktop.GetLength(), 5);
    EXPECT_EQ(desktop.Left(5), CString("base-"));
}
