// The name of the mutex that tells a second start of the program that a first one runs.
#pragma once

#include <windows.h>

#include "framework/CString.h"

// The fixed part of the name; a suffix narrows it to a scope.
inline constexpr const char* kSingleInstanceBase = "{3D1B7E20-95AC-4C6E-8F14-2B9D60A7C5E3}";

enum SingleInstanceScope {
    kScopeMachine = 0,
    kScopeDesktop = 1,
    kScopeSession = 2,
    kScopeUser = 4,
};

// The system calls the name builder makes, so tests can stand in for the system.
struct UniqueNameApi {
    decltype(&::GetThreadDesktop) getThreadDesktop = ::GetThreadDesktop;
    decltype(&::GetUserObjectInformationA) getUserObjectInformation = ::GetUserObjectInformationA;
    decltype(&::OpenProcessToken) openProcessToken = ::OpenProcessToken;
    decltype(&::GetTokenInformation) getTokenInformation = ::GetTokenInformation;
    decltype(&::GetUserNameA) getUserName = ::GetUserNameA;
    decltype(&::ExpandEnvironmentStringsA) expandEnvironmentStrings = ::ExpandEnvironmentStringsA;
};

// base plus "-<desktop>" (scope 1, "-Win9x" where desktops have no names), "-%08x%08x" of the
// logon session's id (scope 2), "-<domain>-<user>" (scope 4), or nothing (any other scope).
// A query that fails leaves the base alone.
CString CreateUniqueName(const char* base, int scope, const UniqueNameApi& api = {});
