#include "app/SingleInstance.h"

#include <vector>

namespace {

CString DesktopSuffix(const UniqueNameApi& api) {
    HDESK desktop = api.getThreadDesktop(GetCurrentThreadId());
    DWORD needed = 0;
    if (!api.getUserObjectInformation(desktop, UOI_NAME, nullptr, 0, &needed) &&
        GetLastError() == ERROR_INSUFFICIENT_BUFFER && needed > 0) {
        std::vector<char> name(needed + 1, '\0');
        if (api.getUserObjectInformation(desktop, UOI_NAME, name.data(), needed, &needed))
            return CString("-") + name.data();
    }
    return "-Win9x";
}

CString SessionSuffix(const UniqueNameApi& api) {
    HANDLE token = nullptr;
    if (!api.openProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return "";
    CString suffix;
    DWORD needed = 0;
    api.getTokenInformation(token, TokenStatistics, nullptr, 0, &needed);
    if (needed >= sizeof(TOKEN_STATISTICS)) {
        std::vector<BYTE> buffer(needed);
        if (api.getTokenInformation(token, TokenStatistics, buffer.data(), needed, &needed)) {
            const auto* statistics = reinterpret_cast<const TOKEN_STATISTICS*>(buffer.data());
            suffix.Format("-%08x%08x", static_cast<unsigned>(statistics->AuthenticationId.HighPart),
                          static_cast<unsigned>(statistics->AuthenticationId.LowPart));
        }
    }
    CloseHandle(token);
    return suffix;
}

CString UserSuffix(const UniqueNameApi& api) {
    char user[64] = {};
    DWORD size = sizeof(user);
    if (!api.getUserName(user, &size))
        return "";
    char domain[64] = {};
    api.expandEnvironmentStrings("%USERDOMAIN%", domain, sizeof(domain));
    CString suffix;
    suffix.Format("-%s-%s", domain, user);
    return suffix;
}

} // namespace

CString CreateUniqueName(const char* base, int scope, const UniqueNameApi& api) {
    CString name(base);
    switch (scope) {
    case kScopeDesktop:
        return name + DesktopSuffix(api);
    case kScopeSession:
        return name + SessionSuffix(api);
    case kScopeUser:
        return name + UserSuffix(api);
    default:
        return name;
    }
}
