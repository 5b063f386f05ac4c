#include "framework/MonitorList.h"

#include <shellscalingapi.h>

#include "framework/ScreenPlacement.h"

namespace {

const MonitorList* installed = nullptr;

BOOL CALLBACK addMonitor(HMONITOR handle, HDC, LPRECT, LPARAM data) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(handle, &info))
        return TRUE;
    MonitorInfo monitor;
    monitor.monitor = info.rcMonitor;
    monitor.work = info.rcWork;
    monitor.primary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
    UINT dpiX = 0;
    UINT dpiY = 0;
    monitor.dpi = SUCCEEDED(GetDpiForMonitor(handle, MDT_EFFECTIVE_DPI, &dpiX, &dpiY)) && dpiY
                      ? dpiY
                      : screen::systemDpi();
    reinterpret_cast<std::vector<MonitorInfo>*>(data)->push_back(monitor);
    return TRUE;
}

} // namespace

UINT MonitorList::dpiForWindow(HWND window) const {
    RECT rect{};
    if (window && GetWindowRect(window, &rect)) {
        const std::vector<MonitorInfo> all = monitors();
        if (const MonitorInfo* monitor = screen::monitorFor(all, rect))
            return monitor->dpi;
    }
    return screen::systemDpi();
}

const MonitorList& MonitorList::current() {
    static const SystemMonitorList system;
    return installed ? *installed : system;
}

void MonitorList::install(const MonitorList* list) {
    installed = list;
}

std::vector<MonitorInfo> SystemMonitorList::monitors() const {
    std::vector<MonitorInfo> all;
    EnumDisplayMonitors(nullptr, nullptr, addMonitor, reinterpret_cast<LPARAM>(&all));
    if (all.empty()) {
        // No monitor reported: the whole virtual screen, as the system's metrics give it.
        MonitorInfo whole;
        whole.monitor = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &whole.work, 0))
            whole.work = whole.monitor;
        whole.dpi = screen::systemDpi();
        whole.primary = true;
        all.push_back(whole);
    }
    return all;
}

UINT SystemMonitorList::dpiForWindow(HWND window) const {
    const UINT dpi = window ? GetDpiForWindow(window) : 0;
    return dpi ? dpi : MonitorList::dpiForWindow(window);
}
