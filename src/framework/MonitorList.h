// The monitors of the desktop as the program sees them: each one's rectangle, work area and
// DPI. Windows ask the current list (the system's unless a test put another in its place), so
// that where they open and how large they draw can be checked on any desktop.
#pragma once

#include <windows.h>

#include <vector>

struct MonitorInfo {
    RECT monitor{};
    RECT work{};
    UINT dpi = USER_DEFAULT_SCREEN_DPI;
    bool primary = false;
};

class MonitorList {
public:
    virtual ~MonitorList() = default;

    // Every monitor of the desktop, in no particular order.
    virtual std::vector<MonitorInfo> monitors() const = 0;
    // The DPI a window draws at: that of the monitor it is on.
    virtual UINT dpiForWindow(HWND window) const;

    // The list windows ask; the system's own unless one was installed.
    static const MonitorList& current();
    // Puts list in the system's place (null: the system's again). The caller keeps it alive.
    static void install(const MonitorList* list);
};

// The list read from the system at each call.
class SystemMonitorList : public MonitorList {
public:
    std::vector<MonitorInfo> monitors() const override;
    UINT dpiForWindow(HWND window) const override;
};
