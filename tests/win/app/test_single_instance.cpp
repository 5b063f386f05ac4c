#include <gtest/gtest.h>

#include <cctype>
#include <cstring>

#include "app/SingleInstance.h"

namespace {

const CString kBase = kSingleInstanceBase;

bool IsLowerHex(const CString& text) {
    for (int i = 0; i < text.GetLength(); ++i) {
        const char ch = text.GetAt(i);
        if (!std::isdigit(static_cast<unsigned char>(ch)) && !(ch >= 'a' && ch <= 'f'))
            return false;
    }
    return true;
}

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
    const CString name = CreateUniqueName(kSingleInstanceBase, kScopeSession);
    ASSERT_EQ(name.GetLength(), kBase.GetLength() + 17);
    EXPECT_EQ(name.Left(kBase.GetLength()), kBase);
    EXPECT_EQ(name.GetAt(kBase.GetLength()), '-');
    EXPECT_TRUE(IsLowerHex(name.Right(16))) << name.GetString();
    EXPECT_EQ(name, CreateUniqueName(kSingleInstanceBase, kScopeSession))
        << "stable within a session";
}

TEST(UniqueName, SessionScopeFormatsHighPartFirst) {
    UniqueNameApi api;
    api.openProcessToken = FakeOpenToken;
    api.getTokenInformation = FakeTokenStatistics;
    EXPECT_EQ(CreateUniqueName("base", kScopeSession, api), CString("base-00001a2bdeadbeef"));
}

TEST(UniqueName, SessionScopeFallsBackToBaseWhenTheTokenCannotBeRead) {
    UniqueNameApi noToken;
    noToken.openProcessToken = FailOpenToken;
    EXPECT_EQ(CreateUniqueName("base", kScopeSession, noToken), CString("base"));

    UniqueNameApi noStatistics;
    noStatistics.openProcessToken = FakeOpenToken;
    noStatistics.getTokenInformation = FailTokenInformation;
    EXPECT_EQ(CreateUniqueName("base", kScopeSession, noStatistics), CString("base"));
}

TEST(UniqueName, UserScopeIsDomainThenUser) {
    UniqueNameApi api;
    api.getUserName = FakeUserName;
    api.expandEnvironmentStrings = FakeDomain;
    EXPECT_EQ(CreateUniqueName("base", kScopeUser, api), CString("base-HOME-alice"));

    api.getUserName = FailUserName;
    EXPECT_EQ(CreateUniqueName("base", kScopeUser, api), CString("base"));

    const CString real = CreateUniqueName("base", kScopeUser);
    EXPECT_EQ(real.Left(5), CString("base-"));
    EXPECT_GE(real.Find('-', 5), 5)
        << "domain and user are separated by a hyphen: " << real.GetString();
}

TEST(UniqueName, DesktopScopeUsesTheDesktopName) {
    UniqueNameApi api;
    api.getUserObjectInformation = FakeDesktopName;
    EXPECT_EQ(CreateUniqueName("base", kScopeDesktop, api), CString("base-Default"));

    api.getUserObjectInformation = DesktopNamesUnsupported;
    EXPECT_EQ(CreateUniqueName("base", kScopeDesktop, api), CString("base-Win9x"));

    const CString real = CreateUniqueName("base", kScopeDesktop);
    EXPECT_GT(real.GetLength(), 5);
    EXPECT_EQ(real.Left(5), CString("base-"));
}

TEST(UniqueName, OtherScopesAreTheMachine) {
    for (int scope : {0, 3, 8, -1})
        EXPECT_EQ(CreateUniqueName("base", scope), CString("base")) << scope;
}
